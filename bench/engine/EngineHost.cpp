#include "bench/engine/EngineHost.h"

#include "bench/engine/BenchPaths.h"

#include <cstdio>
#include <cstdlib>
#include <dlfcn.h>

bool CEngineHost::Load() {
    const std::string path = EngineModulePath();
    // RTLD_NOW: a module with unresolved symbols must fail here, not in the middle of a measurement.
    handle = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (!handle) {
        const char* why = dlerror();
        error = "cannot load engine module " + path + ": " + (why ? why : "unknown reason");
        return false;
    }
    create = reinterpret_cast<NrxCreateInstanceFn>(dlsym(handle, NRX_CREATE_INSTANCE_SYMBOL));
    freeString = reinterpret_cast<NrxFreeStringFn>(dlsym(handle, NRX_FREE_STRING_SYMBOL));
    lastErrorText = reinterpret_cast<NrxGetLastErrorTextFn>(dlsym(handle, NRX_LAST_ERROR_TEXT_SYMBOL));
    if (!create) {
        error = "engine module " + path + " does not export " NRX_CREATE_INSTANCE_SYMBOL;
        return false;
    }
    return true;
}

DevicePtr CEngineHost::CreateDevice() {
    void* object = nullptr;
    const HRESULT hr = create(&CLSID_VideoDevice, &IID_IVideoDevice, &object);
    if (FAILED(hr) || !object) {
        error = "creating the video device failed: " + FailureText(hr);
        return nullptr;
    }
    return DevicePtr(static_cast<IVideoDevice*>(object));
}

bool CEngineHost::OpenClip(IVideoDevice& device, const std::string& path, bool bgra) {
    device.EnableOption(0, bgra ? 1 : 0);
    const HRESULT hr = device.Open(0, path.c_str());
    if (FAILED(hr)) {
        error = "cannot open " + path + ": " + FailureText(hr);
        return false;
    }
    return true;
}

std::int32_t CEngineHost::Read(IVideoDevice& device, std::int32_t mode) {
    if (FAILED(device.ReadFrame(0, mode))) return NRX_FRAME_END;
    std::int32_t status = NRX_FRAME_END;
    if (FAILED(device.GetFrameStatus(0, &status))) return NRX_FRAME_END;
    return status;
}

std::int64_t CEngineHost::CurrentFrame(IVideoDevice& device) {
    std::int64_t frame = -1;
    device.GetCurrentFrame(0, &frame);
    return frame;
}

std::string CEngineHost::FailureText(HRESULT hr) {
    char code[16];
    std::snprintf(code, sizeof code, "0x%08X", static_cast<unsigned>(hr));
    if (!lastErrorText) return code;
    char* text = lastErrorText();
    if (!text) return code;
    std::string result = std::string(text) + " (" + code + ")";
    if (freeString) freeString(text);
    return result;
}
