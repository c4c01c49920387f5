// CVideoControl: the floating control bar over the lower edge of the video: seek bar with its two clocks,
// the transport buttons, Mute and volume, and the buttons that open the tool windows. Everything around the
// controls is see-through, so the picture shows between them.
//
// The bar is a child overlay of the main frame; the document owns it, places it and shows or hides it.
// It reaches the document through CMediaPlayerDoc::Instance() and reads the engine only to display
// position, duration and play state. UI thread only.
#pragma once

#include "panels/ControlBarLayout.h"

#include <QColor>
#include <QElapsedTimer>
#include <QPointer>
#include <QTimer>
#include <QWidget>
#include <cstdint>

class CCustomButton;
class CCustomSlider;
class CCustomStatic;
class CMediaPlayerDoc;
class CVideoEngine;

class CVideoControl : public QWidget {
    Q_OBJECT
public:
    // The bar's height in logical pixels; its width is the frame's docking.
    static constexpr int BarHeight = 62;
    // The volume the bar starts with and Mute restores until the user sets another.
    static constexpr int InitialVolume = 70;

    // A new bar over view's window (the frame), shown and raised; null when view is null. name is the
    // panel's name and changes nothing. The caller owns the bar.
    static CVideoControl* CreateControlBar(QWidget* view, const QString& name);
    ~CVideoControl() override;

    // Brings the display up to the engine: on the first refresh that sees playing (or when forced) the seek
    // range and the duration, then the position and the clock; back to the empty display at the first
    // refresh that sees it stopped. While paused only the Play button follows. Runs after every painted
    // frame, so it repaints only what changes on screen.
    void UpdateFromEngine(bool force);
    // The volume the document just set (0..100): moves the slider and becomes the volume Mute restores;
    // a volume above 0 releases Mute.
    void SetVolumePosition(int volume);
    // Checks the Play button exactly while a file plays.
    void SyncPlayButton();
    // The volume slider's position: what a newly opened file plays at.
    int VolumePosition() const;
    // True from the refresh that filled the seek range for the open file until the display is emptied.
    bool MediaShown() const { return mediaShown; }
    // What the bar last laid out (logical pixels, bar coordinates).
    const ControlBarLayout& Layout() const { return layout; }

    // The controls, children of the bar (public so the document and tests can reach them).
    CCustomSlider* seekSlider = nullptr;
    CCustomSlider* volumeSlider = nullptr;
    CCustomStatic* durationLabel = nullptr;
    CCustomStatic* currentTimeLabel = nullptr;
    CCustomButton* playButton = nullptr;
    CCustomButton* stopButton = nullptr;
    CCustomButton* previousButton = nullptr;
    CCustomButton* nextButton = nullptr;
    CCustomButton* slowButton = nullptr;
    CCustomButton* fastButton = nullptr;
    CCustomButton* muteButton = nullptr;
    CCustomButton* infoButton = nullptr;
    CCustomButton* listButton = nullptr;
    CCustomButton* toolsButton = nullptr;

public slots:
    // Stopped: opens the playlist's current entry (else its next one); otherwise Play/Pause. The view's
    // middle click runs it too.
    void OnPlayButton();
    // Mutes (keeping the slider's volume to restore) or restores; the document's ToggleMute runs it too.
    void OnMuteButton();
    void OnStopButton();
    void OnPreviousButton();
    void OnNextButton();
    void OnSlowButton();
    void OnFastButton();
    void OnInfoButton();
    void OnToolsButton();
    void OnListButton();

protected:
    bool event(QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;

private:
    explicit CVideoControl(QWidget* view, QWidget* parent);
    // The player's engine wrapper; null without document, player or engine.
    static CVideoEngine* CurrentEngine();
    void CreateControls();
    void LoadButtonImages();
    void RecalcLayout();
    // Steps of UpdateFromEngine.
    void ShowMedia(CVideoEngine& engine);
    void ShowEmpty();
    // clockTicks: the clock changes with this picture, so the bar is drawn anyway.
    void MoveSeekKnob(std::int64_t frame, bool clockTicks);
    void ShowCurrentTime(std::int64_t seconds);
    // The seek slider asked for a position: the document seeks; the next one waits for a painted frame.
    void OnSeekRequested(qint64 frame);
    void ServeSeek();
    void OnVolumeChanging(qint64 volume);
    // Prev / Next: the playlist's neighbour opened in place, at the picture's own size.
    void OpenNeighbour(bool next);

    QPointer<QWidget> view; // the main view: gets keys, wheel turns and presses on the see-through parts
    ControlBarLayout layout;
    int savedVolume = InitialVolume;
    bool mediaShown = false;
    // The seek bar's last drawn state in device pixels: where the value part ends and the slider's width.
    struct SeekPixels {
        int end = -1;
        int width = -1;
        bool operator==(const SeekPixels&) const = default;
    } seekPixels;
    QElapsedTimer seekPainted; // since the knob was last drawn where playback took it
    std::int64_t shownSecond = -1; // the second the current-time clock shows; -1: "--:--:--"
    bool seekInFlight = false;     // a seek was sent and no picture has been painted since
    QTimer seekPatience;           // serves a seek that no picture answers (end of file, a failed seek)
};
