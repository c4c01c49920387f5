// The module's binary boundary: creation by class and interface, reference counts, enumerations.
#include "tests/engine/module/EngineLoader.h"

using namespace nrxtest;

TEST(EngineModule, CreatesItsClassesWithComRules) {
    const EngineModule& m = Engine();
    ASSERT_TRUE(m.Loaded());
    void* object = reinterpret_cast<void*>(1);
    const CLSID unknown = {1, 2, 3, {4, 5, 6, 7, 8, 9, 10, 11}};
    EXPECT_EQ(m.create(&unknown, &IID_IUnknown, &object), REGDB_E_CLASSNOTREG);
    EXPECT_EQ(object, nullptr);
    EXPECT_EQ(m.create(&CLSID_VideoDevice, &IID_IVideoDeviceProperty, &object), E_NOINTERFACE);
    EXPECT_EQ(m.create(&CLSID_VideoDevice, &IID_IUnknown, nullptr), E_POINTER);

    ASSERT_EQ(m.create(&CLSID_VideoDevice, &IID_IUnknown, &object), S_OK);
    auto* unk = static_cast<IUnknown*>(object);
    void* device = nullptr;
    ASSERT_EQ(unk->QueryInterface(IID_IVideoDevice, &device), S_OK);
    void* none = reinterpret_cast<void*>(1);
    EXPECT_EQ(unk->QueryInterface(IID_IVideoDeviceProperty, &none), E_NOINTERFACE);
    EXPECT_EQ(none, nullptr);
    EXPECT_EQ(static_cast<IVideoDevice*>(device)->AddRef(), 3u);
    EXPECT_EQ(static_cast<IVideoDevice*>(device)->Release(), 2u);
    EXPECT_EQ(static_cast<IVideoDevice*>(device)->Release(), 1u);
    EXPECT_EQ(unk->Release(), 0u);
}

TEST(EngineModule, CallsWithoutAFileFailCleanlyButSettingsStick) {
    Device dev;
    std::int64_t value = 0;
    EXPECT_EQ(dev->GetDuration(0, &value), E_FAIL);
    EXPECT_EQ(Engine().LastError(), "No file is open.");
    EXPECT_EQ(dev->SetPosition(0, 5), E_FAIL);
    EXPECT_EQ(dev->Close(0), S_OK);
    EXPECT_EQ(dev->GetDuration(1, &value), E_INVALIDARG) << "only channel 0 exists";

    EXPECT_EQ(dev->SetVolume(0, 250), S_OK);
    EXPECT_EQ(dev.Get(&IVideoDevice::GetVolume), 100);
    EXPECT_EQ(dev->SetRate(0, 9.0f), S_OK);
    EXPECT_FLOAT_EQ(dev.Get(&IVideoDevice::GetRate), 4.0f);
    dev->SetRate(0, 0.01f);
    EXPECT_FLOAT_EQ(dev.Get(&IVideoDevice::GetRate), 0.1f);
    EXPECT_TRUE(FAILED(dev->SetRate(0, std::numeric_limits<float>::quiet_NaN())));

    // A rate set before opening applies to the file opened later (and sound at 0.1x still plays).
    ASSERT_EQ(dev.Open("h264_aac_640x360_25.mp4"), S_OK);
    EXPECT_FLOAT_EQ(dev.Get(&IVideoDevice::GetRate), 0.1f);
}

TEST(EngineModule, EnumerationsListRealCapabilities) {
    auto* p = Engine().New<IVideoDeviceProperty>(CLSID_VideoDeviceProperty, IID_IVideoDeviceProperty);
    ASSERT_NE(p, nullptr);
    char* raw = nullptr;
    ASSERT_EQ(p->GetSupportedExtensions(&raw), S_OK);
    const std::string filter = Engine().TakeString(raw);
    EXPECT_EQ(filter.rfind("Video Files|", 0), 0u);
    // Transport streams and Windows Media files are recognised by contents only, yet must be offered too.
    for (const char* ext : {"*.mp4;", "*.mkv;", "*.avi;", "*.mp3;", "*.ts;", "*.wmv;", "*.mpg;"})
        EXPECT_NE(filter.find(ext), std::string::npos) << ext;
    EXPECT_EQ(filter.find("*.srt"), std::string::npos) << "subtitles alone do not play";
    const std::string tail = "|All Files (*.*)|*.*";
    EXPECT_EQ(filter.substr(filter.size() - tail.size()), tail);

    std::int32_t count = 0;
    ASSERT_EQ(p->GetDeviceCount(&count), S_OK);
    EXPECT_GE(count, 1);
    ASSERT_EQ(p->GetVideoCodecCount(&count), S_OK);
    bool h264 = false;
    for (int i = 0; i < count; ++i) {
        ASSERT_EQ(p->GetVideoCodecName(i, &raw), S_OK);
        h264 |= Engine().TakeString(raw).find("H.264") != std::string::npos;
    }
    EXPECT_TRUE(h264);
    EXPECT_EQ(p->GetVideoCodecName(count, &raw), E_INVALIDARG);
    EXPECT_EQ(raw, nullptr);
    p->Release();
}
