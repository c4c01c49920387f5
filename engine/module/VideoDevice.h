// The whole binary contract between the player and the media engine component: COM-style interfaces,
// identifiers, result codes, the frame header and the module's exported entry points.
//
// The component is a shared module loaded at run time (never linked by the player). Strings cross the
// boundary as UTF-8; every string the module hands out is freed with NrxFreeString. Every method returns
// an HRESULT: negative means failure, and the failing call's text is then available from
// NrxGetLastErrorText on the same thread.
#pragma once

#include <cstdint>

#ifdef _WIN32
#include <windows.h>
#include <unknwn.h>
#undef GetCurrentTime // winbase.h maps it to GetTickCount, which would rename our method
#else

using HRESULT = std::int32_t;
using ULONG = std::uint32_t;

struct GUID {
    std::uint32_t Data1;
    std::uint16_t Data2;
    std::uint16_t Data3;
    std::uint8_t Data4[8];
};
using IID = GUID;
using CLSID = GUID;
using REFIID = const IID&;
using REFCLSID = const CLSID&;

inline bool operator==(const GUID& a, const GUID& b) {
    if (a.Data1 != b.Data1 || a.Data2 != b.Data2 || a.Data3 != b.Data3) return false;
    for (int i = 0; i < 8; ++i)
        if (a.Data4[i] != b.Data4[i]) return false;
    return true;
}

// Layout and meaning as on Windows: a negative biHeight means the first row in memory is the top row;
// rows are padded to a multiple of 4 bytes; biBitCount is 24 (BGR) or 32 (BGRA).
struct BITMAPINFOHEADER {
    std::uint32_t biSize;
    std::int32_t biWidth;
    std::int32_t biHeight;
    std::uint16_t biPlanes;
    std::uint16_t biBitCount;
    std::uint32_t biCompression;
    std::uint32_t biSizeImage;
    std::int32_t biXPelsPerMeter;
    std::int32_t biYPelsPerMeter;
    std::uint32_t biClrUsed;
    std::uint32_t biClrImportant;
};

struct IUnknown {
    virtual HRESULT QueryInterface(REFIID iid, void** object) = 0;
    virtual ULONG AddRef() = 0;
    virtual ULONG Release() = 0;

protected:
    ~IUnknown() = default; // objects are destroyed by Release, never by delete through this type
};

constexpr HRESULT S_OK = 0;
constexpr HRESULT S_FALSE = 1;
constexpr HRESULT E_FAIL = static_cast<HRESULT>(0x80004005u);
constexpr HRESULT E_NOINTERFACE = static_cast<HRESULT>(0x80004002u);
constexpr HRESULT E_POINTER = static_cast<HRESULT>(0x80004003u);
constexpr HRESULT E_INVALIDARG = static_cast<HRESULT>(0x80070057u);
constexpr HRESULT E_OUTOFMEMORY = static_cast<HRESULT>(0x8007000Eu);
constexpr HRESULT REGDB_E_CLASSNOTREG = static_cast<HRESULT>(0x80040154u);
inline constexpr bool SUCCEEDED(HRESULT hr) { return hr >= 0; }
inline constexpr bool FAILED(HRESULT hr) { return hr < 0; }

inline constexpr IID IID_IUnknown = {0x00000000, 0x0000, 0x0000, {0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46}};
#endif

// {5C2E9A41-7D3B-4F60-9E18-A4B7C0D21F35}
inline constexpr CLSID CLSID_VideoDevice = {0x5C2E9A41, 0x7D3B, 0x4F60, {0x9E, 0x18, 0xA4, 0xB7, 0xC0, 0xD2, 0x1F, 0x35}};
// {0B6F4E2D-93A1-4C57-8D2E-6F1A3B9C7E40}
inline constexpr IID IID_IVideoDevice = {0x0B6F4E2D, 0x93A1, 0x4C57, {0x8D, 0x2E, 0x6F, 0x1A, 0x3B, 0x9C, 0x7E, 0x40}};
// {E14D7B92-3C5A-4B8E-A067-2D9F51C8B3A6}
inline constexpr CLSID CLSID_VideoDeviceProperty = {
    0xE14D7B92, 0x3C5A, 0x4B8E, {0xA0, 0x67, 0x2D, 0x9F, 0x51, 0xC8, 0xB3, 0xA6}};
// {7A93C1E5-2B6D-4F08-B4C1-9E3D5A7F2068}
inline constexpr IID IID_IVideoDeviceProperty = {
    0x7A93C1E5, 0x2B6D, 0x4F08, {0xB4, 0xC1, 0x9E, 0x3D, 0x5A, 0x7F, 0x20, 0x68}};

// ReadFrame modes (they cross the interface as int32).
enum NrxReadMode : std::int32_t {
    NRX_READ_NEXT = 0,     // the frame due now by the master clock (may report "no new frame")
    NRX_READ_POSITION = 1, // exactly the frame chosen by the last SetPosition
    NRX_READ_REFRESH = 2,  // the current frame again, with the current picture settings applied
};

// GetFrameStatus values (they cross the interface as int32).
enum NrxFrameStatus : std::int32_t {
    NRX_FRAME_NONE = 0,   // no new frame (the next one is not yet due)
    NRX_FRAME_NEW = 1,    // a new frame is in the buffer
    NRX_FRAME_END = -1,   // end of stream or a failure
};

// The decoding device. Every method but SetErrorLogFolder takes a channel number first (always 0).
// Threads: the player calls ReadFrame, GetFrameStatus, GetCurrentFrame, SetPosition and GetFrameRate from
// its playback thread and everything else from its UI thread; any method may be called while another runs.
// ReadFrame calls are served one at a time and may wait for decoding (up to seconds for an exact position);
// no other method waits for a ReadFrame in progress, except Open and Close, which first make it give up.
// Setters called during a ReadFrame take effect at once: a pause or a rate change applies immediately, and a
// stop or a new position redirects a ReadFrame still waiting for its frame. The frame buffer and its header
// are written only inside ReadFrame; the caller reads them after ReadFrame returns and before the next one,
// with no lock (the module has none around them). GetFrameBuffer, GetFrameFormat and GetFrameSize return at
// once, also while a ReadFrame runs. Methods fail with E_FAIL when no file is open unless noted.
struct IVideoDevice : IUnknown {
    // Opens a media file (UTF-8 path). Any file open before is closed first. Fails on anything unplayable.
    virtual HRESULT Open(std::int32_t channel, const char* path) = 0;
    // Closes the file and frees its buffers; succeeds also when nothing is open.
    virtual HRESULT Close(std::int32_t channel) = 0;
    // Decodes into the frame buffer; mode is one of NRX_READ_*. The outcome is read with GetFrameStatus.
    virtual HRESULT ReadFrame(std::int32_t channel, std::int32_t mode) = 0;
    // *open = 1 after a successful Open, 0 otherwise. Succeeds also with nothing open.
    virtual HRESULT IsOpen(std::int32_t channel, std::int32_t* open) = 0;
    // Result of the last ReadFrame: NRX_FRAME_NEW, NRX_FRAME_NONE or NRX_FRAME_END.
    virtual HRESULT GetFrameStatus(std::int32_t channel, std::int32_t* status) = 0;
    // The file's nominal frame rate in frames per second (25 when the file gives none); reserved is 0.
    virtual HRESULT GetFrameRate(std::int32_t channel, std::int32_t reserved, float* rate) = 0;
    // Size of the delivered frame in (square) pixels, and its bits per pixel (24 or 32).
    virtual HRESULT GetFrameSize(std::int32_t channel, std::int32_t* width, std::int32_t* height,
                                 std::int32_t* bitsPerPixel) = 0;
    // Address of the pixel buffer; it stays at one address while the file is open.
    virtual HRESULT GetFrameBuffer(std::int32_t channel, std::uint8_t** bits) = 0;
    // Address of the header describing the buffer; valid and unchanged while the file is open.
    virtual HRESULT GetFrameFormat(std::int32_t channel, BITMAPINFOHEADER** header) = 0;
    // Duration in whole seconds.
    virtual HRESULT GetDuration(std::int32_t channel, std::int64_t* seconds) = 0;
    // Time of the frame in the buffer, whole seconds from the stream's start (whatever the file's start time).
    virtual HRESULT GetCurrentTime(std::int32_t channel, std::int64_t* seconds) = 0;
    // Number of frames in the file (estimated from duration × rate when the container does not say).
    virtual HRESULT GetFrameCount(std::int32_t channel, std::int64_t* frames) = 0;
    // Number (from 0) of the frame in the buffer.
    virtual HRESULT GetCurrentFrame(std::int32_t channel, std::int64_t* frame) = 0;
    // Play rate, 1.0 normal.
    virtual HRESULT GetRate(std::int32_t channel, float* rate) = 0;
    // Volume 0..100.
    virtual HRESULT GetVolume(std::int32_t channel, std::int32_t* volume) = 0;
    // Chooses the frame that the next ReadFrame(NRX_READ_POSITION) delivers; clamped to 0..count-1.
    virtual HRESULT SetPosition(std::int32_t channel, std::int64_t frame) = 0;
    // Play rate 0.1..4.0 (clamped), pitch kept.
    virtual HRESULT SetRate(std::int32_t channel, float rate) = 0;
    // Volume 0..100 (clamped); 0 is silence, 100 the source level. Allowed with no file open.
    virtual HRESULT SetVolume(std::int32_t channel, std::int32_t volume) = 0;
    // Balance -100..100: -100 silences the right channel, +100 the left, 0 leaves both. Allowed with no file.
    virtual HRESULT SetBalance(std::int32_t channel, std::int32_t balance) = 0;
    // Nonzero: the rows are delivered in the opposite order. Allowed with no file open.
    virtual HRESULT SetFlip(std::int32_t channel, std::uint8_t flip) = 0;
    // Nonzero: frames are delivered as 32-bit BGRA instead of 24-bit BGR (takes effect at the next Open).
    virtual HRESULT EnableOption(std::int32_t channel, std::uint8_t enable) = 0;
    // 0 playing, 1 paused (sound and clock stop), 2 stopped (back to the first frame, buffers flushed).
    virtual HRESULT SetPlayState(std::int32_t channel, std::int32_t state) = 0;
    // Picture adjustments applied to later frames: brightness -255..255, contrast -100..100,
    // saturation -255..255. 0 for all three leaves the picture bit-identical. Allowed with no file open.
    virtual HRESULT SetBrightness(std::int32_t channel, std::int32_t value) = 0;
    virtual HRESULT SetContrast(std::int32_t channel, std::int32_t value) = 0;
    virtual HRESULT SetSaturation(std::int32_t channel, std::int32_t value) = 0;
    // Scaling quality: 0 fast, 1 balanced, 2 best. Allowed with no file open.
    virtual HRESULT SetQuality(std::int32_t channel, std::int32_t quality) = 0;
    // Folder (UTF-8) that receives the component's dated warning and error logs; created when needed.
    virtual HRESULT SetErrorLogFolder(const char* folder) = 0;
    // Move by count frames, clamped to the file.
    virtual HRESULT SkipForward(std::int32_t channel, std::int64_t count) = 0;
    virtual HRESULT SkipBackward(std::int32_t channel, std::int64_t count) = 0;
    // *picture = 1 when the file has a picture of its own (a video stream or cover art), 0 when it is sound
    // only and the buffer holds nothing but black.
    virtual HRESULT HasPicture(std::int32_t channel, std::int32_t* picture) = 0;

protected:
    ~IVideoDevice() = default;
};

// What the component can do. Each enumeration is a count followed by a name by index (0..count-1).
struct IVideoDeviceProperty : IUnknown {
    // Open-dialog filter "Video Files|*.avi;*.mp4;...|All Files (*.*)|*.*" listing every extension played.
    virtual HRESULT GetSupportedExtensions(char** extensions) = 0;
    // Audio output devices: "Default audio output" first, then the system's named outputs.
    virtual HRESULT GetDeviceCount(std::int32_t* count) = 0;
    virtual HRESULT GetDeviceName(std::int32_t index, char** name) = 0;
    // Video decoders.
    virtual HRESULT GetVideoCodecCount(std::int32_t* count) = 0;
    virtual HRESULT GetVideoCodecName(std::int32_t index, char** name) = 0;
    // Audio decoders.
    virtual HRESULT GetAudioCodecCount(std::int32_t* count) = 0;
    virtual HRESULT GetAudioCodecName(std::int32_t index, char** name) = 0;
    // Container formats that can be read.
    virtual HRESULT GetFormatCount(std::int32_t* count) = 0;
    virtual HRESULT GetFormatName(std::int32_t index, char** name) = 0;

protected:
    ~IVideoDeviceProperty() = default;
};

// Entry points the module exports with C linkage (looked up by name after loading the module).
extern "C" {
// Creates an object of class clsid and returns its iid interface in *object (AddRef'ed).
// REGDB_E_CLASSNOTREG for an unknown class, E_NOINTERFACE when the class lacks iid.
using NrxCreateInstanceFn = HRESULT (*)(const CLSID* clsid, const IID* iid, void** object);
// Frees a string handed out by the module.
using NrxFreeStringFn = void (*)(char* text);
// Text of the last failure on the calling thread (UTF-8, freed with NrxFreeString); null when none.
using NrxGetLastErrorTextFn = char* (*)();
}

#define NRX_CREATE_INSTANCE_SYMBOL "NrxCreateInstance"
#define NRX_FREE_STRING_SYMBOL "NrxFreeString"
#define NRX_LAST_ERROR_TEXT_SYMBOL "NrxGetLastErrorText"
