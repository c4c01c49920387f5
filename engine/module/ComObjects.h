// Factories of the component's two COM-style classes, used by the module's exported creation function.
#pragma once

#include "engine/module/VideoDevice.h"

#include <atomic>

namespace nrx {

// Reference counting and QueryInterface shared by the component's classes: each answers for IUnknown
// and its own interface only, and deletes itself when the last reference goes.
template <class Interface, const IID& InterfaceId>
class ComObject : public Interface {
public:
    HRESULT QueryInterface(REFIID iid, void** object) override {
        if (!object) return E_POINTER;
        if (iid == IID_IUnknown || iid == InterfaceId) {
            *object = static_cast<Interface*>(this);
            AddRef();
            return S_OK;
        }
        *object = nullptr;
        return E_NOINTERFACE;
    }
    ULONG AddRef() override { return ++refs; }
    ULONG Release() override {
        const ULONG left = --refs;
        if (left == 0) delete this;
        return left;
    }

protected:
    virtual ~ComObject() = default;

private:
    std::atomic<ULONG> refs{1};
};

// Each returns a new object with one reference, already cast to its interface; null when out of memory.
IVideoDevice* NewVideoDevice();
IVideoDeviceProperty* NewVideoDeviceProperty();

// A copy of text the caller frees with NrxFreeString; null when out of memory.
char* DupString(const char* text);

} // namespace nrx
