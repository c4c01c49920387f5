// C entry points of the engine module: object creation, string release and the last error text.
#include "engine/module/ComObjects.h"
#include "engine/module/EngineLog.h"
#include "engine/module/VideoDevice.h"

#include <cstdlib>

#define NRX_EXPORT extern "C" __attribute__((visibility("default")))

NRX_EXPORT HRESULT NrxCreateInstance(const CLSID* clsid, const IID* iid, void** object) {
    if (!clsid || !iid || !object) return E_POINTER;
    *object = nullptr;
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
