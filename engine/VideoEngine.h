// CVideoEngine: the only caller of the media engine component. Creates its two objects, opens and closes
// files, caches what the renderers and panels read, forwards every playback and picture command and
// decodes one frame at a time for the playback thread.
//
// Errors: a failing component call throws CComError (HRESULT + the component's text). Creation catches it
// (message box, FALSE), Open catches it (FALSE, text kept in LastOpenError), the playback thread catches it
// in CRedadIzivad::ThreadProc. Every other operation runs on the UI thread on behalf of a command, and the
// command dispatcher is the place that catches it.
//
// Threads: the UI thread calls everything except ReadFrame; the playback thread calls ReadFrame,
// GetCurrentFrame, SetPosition, GetFrameRate, GetPlayState and GetDecodeMs. Open, ReadMediaInfo and Close
// run only while no playback thread runs (the player stops and joins it first).
//
// Pictures: the component decodes into a buffer of its own, which only the playback thread reads. ReadFrame
// calls the component with no lock held, however long the decode takes, and for a new picture copies that
// buffer into the back buffer (one copy per picture, nothing else). Then, under the frame lock, it swaps the
// back buffer with the front buffer and updates the picture's number and serial. The renderers read only
// the front buffer, through a CFrameView (LockFrame), which holds the frame lock while it is read. So the
// lock is only ever held for a swap, for the frame fields, or while a renderer takes the picture, and the UI
// thread never waits behind a decode. SetPlayState does not take it.
#pragma once

#include "engine/EngineModule.h"
#include "engine/PlayState.h"
#include "engine/FrameView.h"
#include "engine/module/VideoDevice.h"

#include <QSize>
#include <QString>
#include <QStringList>
#include <atomic>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <mutex>

class CVideoEngine {
public:
    // modulePath empty: CEngineModule::DefaultPath(). Nothing is created until Initialize.
    explicit CVideoEngine(const QString& modulePath = {});
    ~CVideoEngine();
    CVideoEngine(const CVideoEngine&) = delete;
    CVideoEngine& operator=(const CVideoEngine&) = delete;

    // Creates both objects; TRUE when both exist. A failure other than a missing interface is kept in
    // CreationErrors (the caller tells the user), and the player then runs with nothing to play.
    bool Initialize();
    bool CreateDevice();
    bool CreateDeviceProperty();

    // FALSE for anything the component cannot open (missing file, folder, empty or garbage file).
    bool Open(const QString& path);
    void ReadMediaInfo();
    // FALSE with no device. Never throws. release also gives up the device object.
    bool Close(bool release);
    bool ReleaseProperty();

    // Playback thread. mode: NRX_READ_NEXT, NRX_READ_POSITION or NRX_READ_REFRESH. Returns the frame
    // status (NRX_FRAME_*); -1 with no device. A new picture (NRX_FRAME_NEW) becomes the front picture, and
    // *frame (when given) receives its number. Takes the frame lock only for the hand-over.
    std::int32_t ReadFrame(NrxReadMode mode, std::int64_t* frame = nullptr);
    // 0 playing, 1 paused, 2 stopped. No device call unless a file is open and the value changes.
    void SetPlayState(PlayState state);

    void SetPosition(std::int64_t frame);
    // Frames a skip moves (five seconds at 25 frames per second).
    static constexpr std::int64_t SkipFrames = 125;
    void SkipForward();
    void SkipBackward();
    void SetRate(float rate);
    void SetVolume(std::int32_t volume);
    // Sound balance and picture adjustments for the open file. The caller keeps them in the settings
    // (AudioBalance, Brightness, Contrast, Saturation); Open applies the stored ones to every new file.
    void SetBalance(std::int32_t value);
    void SetBrightness(std::int32_t value);
    void SetContrast(std::int32_t value);
    void SetSaturation(std::int32_t value);
    void SetFlip(bool flip);
    void EnableOption(bool enable);

    // 1.0 with no device or no open file.
    float GetRate();
    float GetFrameRate();
    // 0 with no device. Times in whole seconds.
    std::int64_t GetCurrentFrame();
    std::int64_t GetFrameCount();
    std::int64_t GetCurrentTime();
    std::int64_t GetDuration();
    std::int32_t GetVolume();

    bool IsOpened() const { return opened; }
    // The open file has a picture of its own; false for sound only (the view shows its logo screen then).
    bool HasPicture() const { return hasPicture; }
    bool IsActive() const { return playState != PlayState::Stopped; }
    bool IsReady() const { return ready; }
    QString GetDisplayName() const { return displayName; }
    // Whether the file's extension occurs in the component's extension string (either case).
    bool IsSupportedFile(const QString& path) const;

    // The front picture with the frame lock held inside the value (see CFrameView). Before the first picture
    // of a file it carries the file's format without pixels; with no file open, neither.
    CFrameView LockFrame();
    // The open file's frame size; empty with no file open. Takes the frame lock briefly.
    QSize FrameSize();

    PlayState GetPlayState() const { return playState; }
    std::uint32_t GetDecodeMs() const { return decodeMs; }
    const QString& GetExtensions() const { return extensions; }
    const QString& GetFilePath() const { return filePath; }
    const QString& GetFileName() const { return fileName; }
    std::int32_t GetDeviceCount() const { return deviceCount; }
    const QStringList& GetDeviceNames() const { return deviceNames; }
    const QStringList& GetVideoCodecNames() const { return videoCodecNames; }
    const QStringList& GetAudioCodecNames() const { return audioCodecNames; }
    const QStringList& GetFormatNames() const { return formatNames; }
    std::int32_t GetQuality() const { return quality; }
    // Why the last Open failed, in the component's words; empty after a successful one.
    const QString& LastOpenError() const { return openError; }
    // One text per object the last Initialize could not create (the device's first), in the component's
    // words; empty when both exist or an object merely lacks the interface.
    const QStringList& CreationErrors() const { return creationErrors; }
    // The module file itself could not be used; ModuleError says which file and why.
    bool ModuleMissing() const { return !module->IsLoaded(); }
    const QString& ModuleError() const { return module->LoadError(); }
    // The module the component's objects come from; others that need an object of their own use it too.
    const std::shared_ptr<CEngineModule>& Module() const { return module; }

    // The display name rule: a name longer than 30 characters is shortened to its first 27 and "...".
    static QString MakeDisplayName(const QString& path, const QString& fileName);

private:
    // Raises CComError for a failed call, with the component's text.
    void Check(HRESULT hr) const;
    // The component's frame format and buffer address, as they are now. Playback thread, or no thread running.
    struct DeviceFrame {
        BITMAPINFOHEADER header{};
        QSize size;
        const std::uint8_t* bits = nullptr;
        std::size_t bytes = 0;
    };
    DeviceFrame QueryDeviceFrame();
    // Forgets the format and the picture (under the lock); freeBuffers also gives the memory back.
    void ClearFrame(bool freeBuffers);

    // Pixels of one picture; reallocated only when the size changes.
    struct PixelBuffer {
        std::unique_ptr<std::uint8_t[]> data;
        std::size_t size = 0;
        void Fit(std::size_t bytes);
    };

    void ReadNameList(HRESULT (IVideoDeviceProperty::*count)(std::int32_t*),
                      HRESULT (IVideoDeviceProperty::*name)(std::int32_t, char**), std::int32_t& countField,
                      QStringList& names);
    // Creates one object of clsid as iid; a failure other than E_NOINTERFACE adds errorTitle with its text
    // to creationErrors.
    bool CreateObject(const CLSID& clsid, const IID& iid, void** object, const char* errorTitle);

    // The frame lock. Guards front, frameHeader, frameSize, frameNumber, frameSerial and serialCounter (the
    // front picture and the format it was made in); nothing else, and it is never held across a component call.
    std::mutex lock;
    std::shared_ptr<CEngineModule> module;
    IVideoDevice* device = nullptr;
    IVideoDeviceProperty* property = nullptr;
    std::atomic<PlayState> playState{PlayState::Stopped}; // written by the UI thread only, read by both
    bool ready = false;
    bool deviceCreated = false;
    bool propertyCreated = false;
    bool opened = false;
    bool hasPicture = true;
    std::int32_t deviceCount = 0;
    std::int32_t videoCodecCount = 0;
    std::int32_t audioCodecCount = 0;
    std::int32_t formatCount = 0;
    std::int32_t selectedDevice = -1;
    std::int32_t quality = 0;
    std::int32_t channel = 0;
    std::atomic<std::uint32_t> decodeMs{0};
    PixelBuffer front;     // under the lock: what the renderers read
    PixelBuffer back;      // the playback thread's: the next picture is copied in here
    BITMAPINFOHEADER frameHeader{}; // under the lock; all zero with no file open
    QSize frameSize;                // under the lock
    std::int64_t frameNumber = -1;  // under the lock: the front picture's number
    std::uint64_t frameSerial = 0;  // under the lock: the front picture's serial; 0 while there is none
    std::uint64_t serialCounter = 0; // under the lock: the last serial given out
    QString extensions;
    QString displayName;
    QString filePath;
    QString fileName;
    QString openError;
    QStringList creationErrors;
    QStringList deviceNames, videoCodecNames, audioCodecNames, formatNames;
};
