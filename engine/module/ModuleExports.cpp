// C entry points of the engine module: object creation, string release and the last error text.
#include "engine/module/ComObjects.h"
#include "engine/module/EngineLog.h"
#include "engine/module/VideoDevice.h"

#include <cstdlib>
#include <mutex>
#ifdef __GLIBC__
#include <malloc.h>
#endif

#define NRX_EXPORT extern "C" __attribute__((visibility("default")))

namespace {

// Every open starts new decoder, demuxer and sound threads, and glibc gives each new thread an arena of its
// own, where frame-sized buffers then fragment: over a long playlist session the process kept tens of
// megabytes it no longer used. Few arenas, and a fixed mmap threshold so that frame buffers always go back to
// the system when freed (the sliding threshold would move them into the arenas after the first close),
// keep a thousand opens within a few megabytes of one. The decoders allocate from pools, so the contention
// this could add is negligible.
void TuneAllocator() {
#ifdef __GLIBC__
    static std::once_flag once;
    std::call_once(once, [] {
        mallopt(M_ARENA_MAX, 2);
        mallopt(M_MMAP_THRESHOLD, 256 * 1024);
    });
#endif
}

} // namespace

NRX_EXPORT HRESULT NrxCreateInstance(const CLSID* clsid, const IID* iid, void** object) {
    if (!clsid || !iid || !object) return E_POINTER;
    *object = nullptr;
    TuneAllocator();
    nrx::EngineLog::InstallFFmpegHook();
    IUnknown* created = nullptr;
    if (*clsid == CLSID_VideoDevice) created = nrx::NewVideoDevice();
    else if (*clsid == CLSID_VideoDeviceProperty) created = nrx::NewVideoDeviceProperty();
    else {
        nrx::SetLastError("The engine module has no such class.");
        return REGDB_E_CLASSNOTREG;
    }
    if (!created) return E_OUTOFMEMORY;
    const HRESULT hr = created->QueryInterface(*iid, object);
    created->Release(); // the interface asked for holds the only reference now
    if (hr == E_NOINTERFACE) nrx::SetLastError("The class does not offer the interface asked for.");
    return hr;
}

NRX_EXPORT void NrxFreeString(char* text) { std::free(text); }

NRX_EXPORT char* NrxGetLastErrorText() {
    const std::string text = nrx::LastError();
    return text.empty() ? nullptr : nrx::DupString(text.c_str());
}
