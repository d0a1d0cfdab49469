#pragma once

#include "GameVariant.h"

#include <oleidl.h>
#include <windows.h>

namespace relicwright::winui {

class LocalServer;

// What Explorer calls for a DropTarget verb: DragEnter, then Drop with every selected file as
// CF_HDROP. Drop only copies the paths; the server converts them after the call has returned, so
// that Explorer does not wait for a long selection.
class ConversionDropTarget final : public IDropTarget {
public:
    ConversionDropTarget(LocalServer& server, GameVariant target);
    ConversionDropTarget(const ConversionDropTarget&) = delete;
    ConversionDropTarget& operator=(const ConversionDropTarget&) = delete;

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID id, void** object) override;
    ULONG STDMETHODCALLTYPE AddRef() override;
    ULONG STDMETHODCALLTYPE Release() override;

    HRESULT STDMETHODCALLTYPE DragEnter(IDataObject* data, DWORD keys, POINTL point, DWORD* effect) override;
    HRESULT STDMETHODCALLTYPE DragOver(DWORD keys, POINTL point, DWORD* effect) override;
    HRESULT STDMETHODCALLTYPE DragLeave() override;
    HRESULT STDMETHODCALLTYPE Drop(IDataObject* data, DWORD keys, POINTL point, DWORD* effect) override;

private:
    ~ConversionDropTarget();

    LocalServer& server_;
    GameVariant target_;
    ULONG references_ = 1;
};

// Makes the drop targets of one game; registered with COM for the server's whole run.
class ConversionClassFactory final : public IClassFactory {
public:
    ConversionClassFactory(LocalServer& server, GameVariant target) : server_(server), target_(target) {}

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID id, void** object) override;
    ULONG STDMETHODCALLTYPE AddRef() override { return 2; }
    ULONG STDMETHODCALLTYPE Release() override { return 1; }

    HRESULT STDMETHODCALLTYPE CreateInstance(IUnknown* outer, REFIID id, void** object) override;
    HRESULT STDMETHODCALLTYPE LockServer(BOOL lock) override;

private:
    LocalServer& server_;
    GameVariant target_;
};

} // namespace relicwright::winui
