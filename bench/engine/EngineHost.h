// Loads the engine module through its exported creation function only, exactly as the player does,
// so that every benchmark measures the module a user would get.
#pragma once

#include "engine/module/VideoDevice.h"

#include <memory>
#include <string>

struct DeviceRelease {
    void operator()(IVideoDevice* device) const { device->Release(); }
};
using DevicePtr = std::unique_ptr<IVideoDevice, DeviceRelease>;

class CEngineHost {
public:
    CEngineHost() = default;
    CEngineHost(const CEngineHost&) = delete;
    CEngineHost& operator=(const CEngineHost&) = delete;

    // Loads NRX_ENGINE_MODULE, or engines/libnrxvideoengine.so beside the bench folder. False with
    // Error() set when the file is missing or lacks the entry points.
    bool Load();
    // A fresh device object, or null with Error() set.
    DevicePtr CreateDevice();
    // Opens path for playback (24-bit frames unless bgra); false with Error() set.
    bool OpenClip(IVideoDevice& device, const std::string& path, bool bgra = false);
    // Status of ReadFrame(mode): NRX_FRAME_NEW/NONE/END; a failed call counts as END.
    std::int32_t Read(IVideoDevice& device, std::int32_t mode);
    std::int64_t CurrentFrame(IVideoDevice& device);

    const std::string& Error() const { return error; }

private:
    // Text of the module's last failure on this thread, or the bare code when it gives none.
    std::string FailureText(HRESULT hr);

    void* handle = nullptr; // never closed: the module's threads may still be winding down at exit
    NrxCreateInstanceFn create = nullptr;
    NrxFreeStringFn freeString = nullptr;
    NrxGetLastErrorTextFn lastErrorText = nullptr;
    std::string error;
};
