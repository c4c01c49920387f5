// Factories of the component's two COM-style classes, used by the module's exported creation function.
#pragma once

#include "engine/module/VideoDevice.h"

namespace nrx {

// Each returns a new object with one reference, already cast to its interface; null when out of memory.
IVideoDevice* NewVideoDevice();
IVideoDeviceProperty* NewVideoDeviceProperty();

// A copy of text the caller frees with NrxFreeString; null when out of memory.
char* DupString(const char* text);

} // namespace nrx
