#include "engine/VideoEngine.h"

#include "engine/ComError.h"
#include "engine/MediaPath.h"
#include "engine/PerfTimer.h"
#include "settings/ProgramParams.h"

#include <QDir>
#include <algorithm>
#include <cstring>
#include <utility>

#ifdef _WIN32
#include <windows.h>
#undef GetCurrentTime // winbase.h maps it to GetTickCount, which would rename our method
#endif

namespace {
const QString NoDeviceAvailable = QStringLiteral("No video device available");
const QString NoDeviceSelected = QStringLiteral("No video device selected");
const char* const DeviceError = "Error to get video device.\nError: %1";
const char* const PropertyError = "Error to get video device property.\nError: %1";
constexpr int DisplayNameLimit = 30;
// A component reporting an absurd list length must not keep the UI busy for minutes.
constexpr std::int32_t MaxListLength = 65536;
} // namespace

CVideoEngine::CVideoEngine(const QString& modulePath)
    : module(CEngineModule::Load(modulePath.isEmpty() ? CEngineModule::DefaultPath() : modulePath)),
      displayName(NoDeviceAvailable) {}

CVideoEngine::~CVideoEngine() {
    ReleaseProperty();
    Close(true);
}

void CVideoEngine::Check(HRESULT hr) const {
    if (FAILED(hr)) throw CComError(hr, module->LastErrorText());
}

bool CVideoEngine::Initialize() {
    creationErrors.clear();
    const bool deviceOk = CreateDevice();
    const bool propertyOk = CreateDeviceProperty();
    ready = deviceOk && propertyOk;
    if (ready) {
        const QString& name = Params.qualityName;
        quality = name == QLatin1String("Middle") ? 1 : name == QLatin1String("High") ? 2 : 0;
    }
    return ready;
}

bool CVideoEngine::CreateObject(const CLSID& clsid, const IID& iid, void** object, const char* errorTitle) {
    IUnknown* unknown = nullptr;
    HRESULT hr = module->CreateInstance(clsid, IID_IUnknown, reinterpret_cast<void**>(&unknown));
    if (SUCCEEDED(hr) && !unknown) hr = E_POINTER;
    if (SUCCEEDED(hr)) {
        hr = unknown->QueryInterface(iid, object);
        unknown->Release();
    }
    if (SUCCEEDED(hr) && *object) return true;
    *object = nullptr;
    // An object without the interface is simply not there: no message.
    if (hr == E_NOINTERFACE) return false;
    const CComError error(FAILED(hr) ? hr : E_POINTER, module->LastErrorText());
    creationErrors << QString::fromLatin1(errorTitle).arg(error.ErrorMessage());
    return false;
}

bool CVideoEngine::CreateDevice() {
    deviceCreated = false;
    if (!device) CreateObject(CLSID_VideoDevice, IID_IVideoDevice, reinterpret_cast<void**>(&device), DeviceError);
    deviceCreated = device != nullptr;
    if (deviceCreated && !DocumentsFolder.isEmpty()) {
        const QString folder = DocumentsFolder + QLatin1Char('/') + Params.productName + QStringLiteral("/Reports/Error Logs");
        // Error logs are a convenience; a component that cannot take the folder still plays.
        try {
            Check(device->SetErrorLogFolder(QDir::toNativeSeparators(folder).toUtf8().constData()));
        } catch (const CComError&) {
        }
    }
    return deviceCreated;
}

void CVideoEngine::ReadNameList(HRESULT (IVideoDeviceProperty::*count)(std::int32_t*),
                                HRESULT (IVideoDeviceProperty::*name)(std::int32_t, char**),
                                std::int32_t& countField, QStringList& names) {
    names.clear();
    std::int32_t n = 0;
    Check((property->*count)(&n));
    countField = n;
    for (std::int32_t i = 0; i < std::min(n, MaxListLength); ++i) {
        char* text = nullptr;
        const HRESULT hr = (property->*name)(i, &text);
        QString value = module->TakeString(text);
        Check(hr);
        names << value;
    }
}

bool CVideoEngine::CreateDeviceProperty() {
    propertyCreated = false;
    if (!property)
        CreateObject(CLSID_VideoDeviceProperty, IID_IVideoDeviceProperty, reinterpret_cast<void**>(&property),
                     PropertyError);
    if (!property) return false;
    try {
        char* text = nullptr;
        const HRESULT hr = property->GetSupportedExtensions(&text);
        extensions = module->TakeString(text);
        Check(hr);
        ReadNameList(&IVideoDeviceProperty::GetDeviceCount, &IVideoDeviceProperty::GetDeviceName, deviceCount,
                     deviceNames);
        if (deviceCount >= 1 && selectedDevice == -1) displayName = NoDeviceSelected;
    } catch (const CComError& error) {
        // Without its extensions and devices the component cannot be offered anything to play.
        creationErrors << QString::fromLatin1(PropertyError).arg(error.ErrorMessage());
        ReleaseProperty();
        return false;
    }
    // The codec and format names only describe the component; a list it cannot give stays empty.
    const struct {
        HRESULT (IVideoDeviceProperty::*count)(std::int32_t*);
        HRESULT (IVideoDeviceProperty::*name)(std::int32_t, char**);
        std::int32_t& countField;
        QStringList& names;
    } descriptive[] = {
        {&IVideoDeviceProperty::GetVideoCodecCount, &IVideoDeviceProperty::GetVideoCodecName, videoCodecCount,
         videoCodecNames},
        {&IVideoDeviceProperty::GetAudioCodecCount, &IVideoDeviceProperty::GetAudioCodecName, audioCodecCount,
         audioCodecNames},
        {&IVideoDeviceProperty::GetFormatCount, &IVideoDeviceProperty::GetFormatName, formatCount, formatNames}};
    for (const auto& list : descriptive) {
        try {
            ReadNameList(list.count, list.name, list.countField, list.names);
        } catch (const CComError&) {
            list.countField = 0;
            list.names.clear();
        }
    }
    propertyCreated = true;
    return true;
}

QString CVideoEngine::MakeDisplayName(const QString& path, const QString& name) {
    if (name.size() <= DisplayNameLimit) return name;
#ifdef _WIN32
    // Windows keeps a short 8.3 alias for long names; that is the shorter, still unique, form to show.
    WIN32_FIND_DATAW data;
    const HANDLE find = FindFirstFileW(reinterpret_cast<LPCWSTR>(path.utf16()), &data);
    if (find == INVALID_HANDLE_VALUE) return QString();
    FindClose(find);
    return QString::fromWCharArray(data.cAlternateFileName);
#else
    Q_UNUSED(path);
    return name.left(DisplayNameLimit - 3) + QStringLiteral("...");
#endif
}

void CVideoEngine::PixelBuffer::Fit(std::size_t bytes) {
    if (bytes == size) return;
    // Freed before the next is made: a 4K picture's buffers are big enough for the peak to matter.
    data.reset();
    size = 0;
    if (bytes == 0) return;
    data = std::make_unique_for_overwrite<std::uint8_t[]>(bytes);
    size = bytes;
}

void CVideoEngine::ClearFrame(bool freeBuffers) {
    std::lock_guard guard(lock);
    frameHeader = {};
    frameSize = QSize();
    frameNumber = -1;
    frameSerial = 0;
    if (freeBuffers) {
        front.Fit(0);
        back.Fit(0);
    }
}

CVideoEngine::DeviceFrame CVideoEngine::QueryDeviceFrame() {
    DeviceFrame frame;
    std::int32_t width = 0, height = 0, bitsPerPixel = 0;
    Check(device->GetFrameSize(channel, &width, &height, &bitsPerPixel));
    BITMAPINFOHEADER* header = nullptr;
    Check(device->GetFrameFormat(channel, &header));
    std::uint8_t* bits = nullptr;
    Check(device->GetFrameBuffer(channel, &bits));
    if (!header || !bits || width <= 0 || height <= 0) return frame;
    frame.header = *header;
    frame.size = QSize(width, height);
    frame.bits = bits;
    // Every row the renderers read, padded to 4 bytes; the header's stated image size is not trusted further
    // (reading past the component's buffer would be worse than a picture drawn black).
    const std::int64_t rows = header->biHeight < 0 ? -std::int64_t(header->biHeight) : header->biHeight;
    const std::int64_t stride = (std::int64_t(header->biWidth) * (header->biBitCount / 8) + 3) & ~std::int64_t(3);
    const std::int64_t bytes = stride * rows;
    frame.bytes = bytes > 0 ? static_cast<std::size_t>(bytes) : 0;
    return frame;
}

bool CVideoEngine::Open(const QString& path) {
    opened = false;
    filePath.clear();
    fileName.clear();
    openError.clear();
    playState = PlayState::Stopped;
    // The previous file's picture must not be shown as this one's; the buffers stay for a file of its size.
    ClearFrame(false);
    if (!device) return false;
    try {
        Check(device->Open(channel, path.toUtf8().constData()));
        std::int32_t isOpen = 0;
        Check(device->IsOpen(channel, &isOpen));
        if (!isOpen) {
            openError = QStringLiteral("The engine did not open the file.");
            return false;
        }
        opened = true;
        filePath = path;
        fileName = FileNameOf(path);
        displayName = MakeDisplayName(path, fileName);
        ReadMediaInfo();
    } catch (const CComError& error) {
        openError = error.ErrorMessage();
        opened = false;
        filePath.clear();
        fileName.clear();
        device->Close(channel); // best effort: a half-opened file must not keep its buffers
        ClearFrame(true);
        return false;
    }
    return opened;
}

void CVideoEngine::ReadMediaInfo() {
    if (!device) return;
    const DeviceFrame frame = QueryDeviceFrame();
    {
        std::lock_guard guard(lock);
        frameHeader = frame.header;
        frameSize = frame.size;
    }
    std::int32_t picture = 1;
    Check(device->HasPicture(channel, &picture));
    hasPicture = picture != 0;
    Check(device->SetBrightness(channel, Params.Brightness));
    Check(device->SetContrast(channel, Params.Contrast));
    Check(device->SetSaturation(channel, Params.Saturation));
    Check(device->SetQuality(channel, quality));
    Check(device->SetBalance(channel, Params.AudioBalance));
}

bool CVideoEngine::Close(bool release) {
    if (!device) return false;
    // The wrapper lets go of the file whatever the component answers: nothing of it is used afterwards,
    // and closing runs from destructors and stop paths that must not fail.
    device->Close(channel);
    if (release) {
        device->Release();
        device = nullptr;
        deviceCreated = false;
        ready = false;
    }
    displayName = deviceCount < 1 ? NoDeviceAvailable : NoDeviceSelected;
    opened = false;
    filePath.clear();
    fileName.clear();
    ClearFrame(true);
    playState = PlayState::Stopped;
    return true;
}

bool CVideoEngine::ReleaseProperty() {
    if (!property) return false;
    deviceNames.clear();
    videoCodecNames.clear();
    audioCodecNames.clear();
    formatNames.clear();
    property->Release();
    property = nullptr;
    propertyCreated = false;
    ready = false;
    return true;
}

std::int32_t CVideoEngine::ReadFrame(NrxReadMode mode, std::int64_t* frame) {
    CPerfTimer timer;
    if (!device) return -1;
    // No lock around the component: a decode may take seconds, and painting must not wait for it.
    Check(device->ReadFrame(channel, mode));
    std::int32_t status = NRX_FRAME_NEW;
    if (mode != NRX_READ_REFRESH) Check(device->GetFrameStatus(channel, &status));
    if (status == NRX_FRAME_NEW) {
        const DeviceFrame picture = QueryDeviceFrame();
        std::int64_t number = 0;
        Check(device->GetCurrentFrame(channel, &number));
        // The component's buffer is written only by its ReadFrame, which only this thread calls, so it holds
        // still while it is copied. The back buffer is this thread's alone.
        back.Fit(picture.bytes);
        if (picture.bytes) std::memcpy(back.data.get(), picture.bits, picture.bytes);
        std::lock_guard guard(lock);
        std::swap(front, back);
        frameHeader = picture.header;
        frameSize = picture.size;
        frameNumber = picture.bytes ? number : -1;
        frameSerial = picture.bytes ? ++serialCounter : 0;
        if (frame) *frame = number;
    }
    decodeMs = timer.ElapsedMs();
    return status;
}

CFrameView CVideoEngine::LockFrame() {
    std::unique_lock guard(lock);
    const std::uint8_t* bits = frameSerial ? front.data.get() : nullptr;
    const std::size_t bytes = frameSerial ? front.size : 0;
    return CFrameView(std::move(guard), bits, bytes, frameHeader, frameSize, frameNumber, frameSerial);
}

QSize CVideoEngine::FrameSize() {
    std::lock_guard guard(lock);
    return frameSize;
}

void CVideoEngine::SetPlayState(PlayState state) {
    // No frame lock: the component serialises its own calls, and the UI must not wait for a decode here.
    if (!device || !opened || state == playState) return;
    Check(device->SetPlayState(channel, static_cast<std::int32_t>(state)));
    playState = state;
}

void CVideoEngine::SetPosition(std::int64_t frame) {
    if (device) Check(device->SetPosition(channel, frame));
}

void CVideoEngine::SkipForward() {
    if (device) Check(device->SkipForward(channel, SkipFrames));
}

void CVideoEngine::SkipBackward() {
    if (device) Check(device->SkipBackward(channel, SkipFrames));
}

void CVideoEngine::SetRate(float rate) {
    if (device) Check(device->SetRate(channel, rate));
}

void CVideoEngine::SetVolume(std::int32_t volume) {
    if (device) Check(device->SetVolume(channel, volume));
}

void CVideoEngine::SetBalance(std::int32_t value) {
    if (device) Check(device->SetBalance(channel, value));
}

void CVideoEngine::SetBrightness(std::int32_t value) {
    if (device) Check(device->SetBrightness(channel, value));
}

void CVideoEngine::SetContrast(std::int32_t value) {
    if (device) Check(device->SetContrast(channel, value));
}

void CVideoEngine::SetSaturation(std::int32_t value) {
    if (device) Check(device->SetSaturation(channel, value));
}

void CVideoEngine::SetFlip(bool flip) {
    if (device) Check(device->SetFlip(channel, flip ? 1 : 0));
}

void CVideoEngine::EnableOption(bool enable) {
    if (device) Check(device->EnableOption(channel, enable ? 1 : 0));
}

float CVideoEngine::GetRate() {
    if (!device || !opened) return 1.0f;
    float rate = 1.0f;
    Check(device->GetRate(channel, &rate));
    return rate;
}

float CVideoEngine::GetFrameRate() {
    if (!device || !opened) return 1.0f;
    float rate = 1.0f;
    Check(device->GetFrameRate(channel, 0, &rate));
    return rate;
}

std::int64_t CVideoEngine::GetCurrentFrame() {
    std::int64_t value = 0;
    if (device) Check(device->GetCurrentFrame(channel, &value));
    return value;
}

std::int64_t CVideoEngine::GetFrameCount() {
    std::int64_t value = 0;
    if (device) Check(device->GetFrameCount(channel, &value));
    return value;
}

std::int64_t CVideoEngine::GetCurrentTime() {
    std::int64_t value = 0;
    if (device) Check(device->GetCurrentTime(channel, &value));
    return value;
}

std::int64_t CVideoEngine::GetDuration() {
    std::int64_t value = 0;
    if (device) Check(device->GetDuration(channel, &value));
    return value;
}

std::int32_t CVideoEngine::GetVolume() {
    std::int32_t value = 0;
    if (device) Check(device->GetVolume(channel, &value));
    return value;
}

bool CVideoEngine::IsSupportedFile(const QString& path) const {
    if (!ready) return false;
    const qsizetype dot = path.lastIndexOf(QLatin1Char('.'));
    if (dot < 0) return false;
    const QString extension = path.mid(dot + 1);
    // "name." has nothing to look for; every string would contain the empty extension.
    if (extension.isEmpty()) return false;
    return extensions.contains(extension.toLower()) || extensions.contains(extension.toUpper());
}
