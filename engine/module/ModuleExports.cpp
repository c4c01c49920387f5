// C entry points of the engine module.
#include "engine/module/VideoDevice.h"

#include <cstdlib>

#define NRX_EXPORT extern "C" __attribute__((visibility("default")))

NRX_EXPORT HRESULT NrxCreateInstance(const CLSID* clsid, const IID* iid, void** object) {
    if (!clsid || !iid || !object) return E_POINTER;
    *object = nullptr;
    return REGDB_E_CLASSNOTREG;
}

NRX_EXPORT void NrxFreeString(char* text) { std::free(text); }

NRX_EXPORT char* NrxGetLastErrorText() { return nullptr; }
