#pragma once
// What Explorer does with a DropTarget verb: activates its class out of process and calls DragEnter
// and Drop with the selection's data object. Shared by the tests and the benchmark.
#include <objbase.h>
#include <oleidl.h>
#include <shlobj.h>
#include <windows.h>

#include <filesystem>
#include <string>
#include <vector>

namespace explorer {

// Releases a COM pointer on every way out.
template <typename Interface> struct Held {
    Interface* pointer = nullptr;
    Held() = default;
    Held(const Held&) = delete;
    Held& operator=(const Held&) = delete;
    ~Held() {
        if (pointer != nullptr)
            pointer->Release();
    }
    Interface** put() { return &pointer; }
    Interface* operator->() const { return pointer; }
};

inline const wchar_t* const kVerbs = L"Software\\Classes\\SystemFileAssociations\\";

inline void setValue(HKEY root, const std::wstring& key, const wchar_t* name, const std::wstring& value) {
    RegSetKeyValueW(root, key.c_str(), name, REG_SZ, value.c_str(),
                    static_cast<DWORD>((value.size() + 1) * 2));
}

// The key of a class under the user's or the machine's classes.
inline std::wstring classKey(const CLSID& id) {
    wchar_t text[64] = {};
    StringFromGUID2(id, text, 64);
    return L"Software\\Classes\\CLSID\\" + std::wstring(text);
}

// A DropTarget verb and its class served by `program`, as the installer writes them.
inline void registerVerb(const std::wstring& extension, const std::wstring& verb, const CLSID& id,
                         const std::wstring& program) {
    const std::wstring key = classKey(id);
    setValue(HKEY_CURRENT_USER, kVerbs + extension + L"\\shell\\" + verb + L"\\DropTarget", L"CLSID",
             key.substr(key.rfind(L'\\') + 1));
    setValue(HKEY_CURRENT_USER, key + L"\\LocalServer32", nullptr, L"\"" + program + L"\"");
}

// Registers droptargetps.dll, found beside the running program, as regsvr32 does.
inline bool registerProxy() {
    wchar_t self[MAX_PATH] = {};
    GetModuleFileNameW(nullptr, self, MAX_PATH);
    const HMODULE proxy =
        LoadLibraryW((std::filesystem::path(self).parent_path() / L"droptargetps.dll").c_str());
    const auto registerServer = reinterpret_cast<HRESULT(WINAPI*)()>(
        reinterpret_cast<void*>(GetProcAddress(proxy, "DllRegisterServer")));
    return registerServer != nullptr && SUCCEEDED(registerServer());
}

// A text value of the registry; empty when there is none.
inline std::wstring value(HKEY root, const std::wstring& key, const wchar_t* name) {
    wchar_t text[1024] = {};
    DWORD size = sizeof text;
    RegGetValueW(root, key.c_str(), name, RRF_RT_REG_SZ, nullptr, text, &size);
    return text;
}

// The class of the verb on files of `extension` in the user's classes; CLSID_NULL when none.
inline CLSID verbClass(const std::wstring& extension, const std::wstring& verb) {
    CLSID found = CLSID_NULL;
    const std::wstring key = kVerbs + extension + L"\\shell\\" + verb + L"\\DropTarget";
    return SUCCEEDED(CLSIDFromString(value(HKEY_CURRENT_USER, key, L"CLSID").c_str(), &found)) ? found
                                                                                               : CLSID_NULL;
}

// The data object Explorer's view hands over for these files of one folder.
inline HRESULT selection(const std::wstring& folder, const std::vector<std::wstring>& names,
                         IDataObject** data) {
    std::vector<LPITEMIDLIST> items;
    HRESULT result = names.empty() ? E_INVALIDARG : S_OK;
    for (auto name = names.begin(); SUCCEEDED(result) && name != names.end(); ++name) {
        items.push_back(nullptr);
        result = SHParseDisplayName((folder + L"\\" + *name).c_str(), nullptr, &items.back(), 0, nullptr);
    }
    Held<IShellFolder> parent;
    if (SUCCEEDED(result))
        result =
            SHBindToParent(items.front(), IID_IShellFolder, reinterpret_cast<void**>(parent.put()), nullptr);
    std::vector<LPCITEMIDLIST> children;
    for (LPITEMIDLIST item : items)
        children.push_back(ILFindLastID(item));
    if (SUCCEEDED(result))
        result = parent->GetUIObjectOf(nullptr, static_cast<UINT>(children.size()), children.data(),
                                       IID_IDataObject, nullptr, reinterpret_cast<void**>(data));
    for (LPITEMIDLIST item : items)
        CoTaskMemFree(item);
    return result;
}

// The verb's call: the drop target, activated out of process, entered and dropped on.
inline HRESULT dropOn(const CLSID& verb, IDataObject* data) {
    Held<IDropTarget> target;
    HRESULT result = CoCreateInstance(verb, nullptr, CLSCTX_LOCAL_SERVER, IID_IDropTarget,
                                      reinterpret_cast<void**>(target.put()));
    if (FAILED(result))
        return result;
    DWORD effect = DROPEFFECT_COPY | DROPEFFECT_LINK;
    result = target->DragEnter(data, MK_RBUTTON, POINTL{}, &effect);
    if (FAILED(result))
        return result;
    if (effect == DROPEFFECT_NONE)
        return S_FALSE;
    effect = DROPEFFECT_COPY | DROPEFFECT_LINK;
    return target->Drop(data, MK_RBUTTON, POINTL{}, &effect);
}

} // namespace explorer
