#include "ConversionDropTarget.h"

#include "LocalServer.h"

#include "WideText.h"

#include <shellapi.h>

#include <new>
#include <string>
#include <utility>
#include <vector>

namespace relicwright::winui {

namespace {

FORMATETC fileListFormat() {
    return FORMATETC{CF_HDROP, nullptr, DVASPECT_CONTENT, -1, TYMED_HGLOBAL};
}

bool holdsFiles(IDataObject* data) {
    FORMATETC format = fileListFormat();
    return data != nullptr && data->QueryGetData(&format) == S_OK;
}

} // namespace

ConversionDropTarget::ConversionDropTarget(LocalServer& server, GameVariant target)
    : server_(server), target_(target) {
    server_.hold();
}

ConversionDropTarget::~ConversionDropTarget() {
    server_.release();
}

HRESULT ConversionDropTarget::QueryInterface(REFIID id, void** object) {
    if (object == nullptr) {
        return E_POINTER;
    }
    if (IsEqualIID(id, IID_IUnknown) || IsEqualIID(id, IID_IDropTarget)) {
        *object = static_cast<IDropTarget*>(this);
        AddRef();
        return S_OK;
    }
    *object = nullptr;
    return E_NOINTERFACE;
}

ULONG ConversionDropTarget::AddRef() {
    return ++references_;
}

ULONG ConversionDropTarget::Release() {
    const ULONG left = --references_;
    if (left == 0) {
        delete this;
    }
    return left;
}

HRESULT ConversionDropTarget::DragEnter(IDataObject* data, DWORD, POINTL, DWORD* effect) {
    if (effect == nullptr) {
        return E_INVALIDARG;
    }
    *effect = holdsFiles(data) ? (*effect & DROPEFFECT_COPY) : DROPEFFECT_NONE;
    return S_OK;
}

HRESULT ConversionDropTarget::DragOver(DWORD, POINTL, DWORD* effect) {
    if (effect == nullptr) {
        return E_INVALIDARG;
    }
    *effect &= DROPEFFECT_COPY;
    return S_OK;
}

HRESULT ConversionDropTarget::DragLeave() {
    return S_OK;
}

HRESULT ConversionDropTarget::Drop(IDataObject* data, DWORD, POINTL, DWORD* effect) {
    if (effect == nullptr) {
        return E_INVALIDARG;
    }
    *effect = DROPEFFECT_NONE;
    FORMATETC format = fileListFormat();
    STGMEDIUM medium{};
    if (data == nullptr || data->GetData(&format, &medium) != S_OK) {
        return E_INVALIDARG;
    }
    std::vector<std::string> files;
    std::vector<FileError> refused;
    if (const auto list = static_cast<HDROP>(GlobalLock(medium.hGlobal))) {
        const UINT count = DragQueryFileW(list, 0xFFFFFFFF, nullptr, 0);
        files.reserve(count);
        for (UINT index = 0; index < count; ++index) {
            std::wstring path(DragQueryFileW(list, index, nullptr, 0), L'\0');
            DragQueryFileW(list, index, path.data(), static_cast<UINT>(path.size() + 1));
            try {
                files.push_back(narrow(path));
            } catch (const FileError& refusal) {
                refused.push_back(refusal); // listed in the summary, never opened under another name
            }
        }
        GlobalUnlock(medium.hGlobal);
    }
    ReleaseStgMedium(&medium);
    if (files.empty() && refused.empty()) {
        return S_OK;
    }
    if (!server_.convert(target_, std::move(files), std::move(refused))) {
        return E_OUTOFMEMORY;
    }
    *effect = DROPEFFECT_COPY;
    return S_OK;
}

HRESULT ConversionClassFactory::QueryInterface(REFIID id, void** object) {
    if (object == nullptr) {
        return E_POINTER;
    }
    if (IsEqualIID(id, IID_IUnknown) || IsEqualIID(id, IID_IClassFactory)) {
        *object = static_cast<IClassFactory*>(this);
        return S_OK;
    }
    *object = nullptr;
    return E_NOINTERFACE;
}

HRESULT ConversionClassFactory::CreateInstance(IUnknown* outer, REFIID id, void** object) {
    if (object == nullptr) {
        return E_POINTER;
    }
    *object = nullptr;
    if (outer != nullptr) {
        return CLASS_E_NOAGGREGATION;
    }
    auto* target = new (std::nothrow) ConversionDropTarget(server_, target_);
    if (target == nullptr) {
        return E_OUTOFMEMORY;
    }
    server_.called();
    const HRESULT result = target->QueryInterface(id, object);
    target->Release();
    return result;
}

HRESULT ConversionClassFactory::LockServer(BOOL lock) {
    if (lock) {
        server_.hold();
    } else {
        server_.release();
    }
    return S_OK;
}

} // namespace relicwright::winui
