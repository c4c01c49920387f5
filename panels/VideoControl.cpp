// The control bar's controls, layout, painting, input hand-over and its refresh from the engine. The button
// actions are in VideoControlButtons.cpp.
#include "panels/VideoControl.h"

#include "controls/CustomButton.h"
#include "controls/CustomSlider.h"
#include "controls/CustomStatic.h"
#include "controls/SkinGeometry.h"
#include "document/Guarded.h"
#include "document/MediaPlayerDoc.h"
#include "document/RedadIzivad.h"
#include "panels/FormatClock.h"
#include "panels/OverlayInput.h"
#include "settings/ProgramParams.h"
#include "skins/ProgramSkin.h"

#include <QContextMenuEvent>
#include <QCoreApplication>
#include <QFontMetricsF>
#include <QMouseEvent>
#include <QPainter>
#include <algorithm>
#include <cmath>
#include <exception>

namespace {
const QString EmptyClock = QStringLiteral("--:--:--");
const QColor SeparatorColour(150, 150, 150);
// How long a seek may wait for its picture before the next one is sent anyway (a seek at the very end, or
// one the engine could not serve, brings no picture).
constexpr int SeekPatienceMs = 300;
// A knob that moves by at most this many device pixels since it was drawn is creeping with playback; it is
// drawn again after KnobCreepIntervalMs, or with the clock's change of second.
constexpr int KnobCreepPixels = 8;
constexpr int KnobCreepIntervalMs = 500;
// The bar's width as it was designed, kept until the frame docks it.
constexpr int DesignWidth = 597;

// The bar sets the checked look itself: Play follows the engine, Mute its own action. A click must not
// flip it first, or the action would read the state the user is leaving as the one to reach.
class CBarButton final : public CCustomButton {
public:
    using CCustomButton::CCustomButton;

protected:
    void nextCheckState() override {}
};

// Where the seek bar's value part ends, in device pixels, for the slider's current position and size.
int ValueEndPixel(const CCustomSlider& slider) {
    const QRect track = SliderTrackRect(slider.rect(), SliderTrackThickness(slider.thickness, slider.height()));
    const SliderValueSpan span = SliderValueSpanFor(track, slider.minimum, slider.maximum, slider.position);
    return static_cast<int>(std::lround(span.end * slider.devicePixelRatioF()));
}

// The clocks have a fixed width made for the skin font. A face standing in for it may run wider, so it is
// made smaller until a whole clock fits and no digit is cut off.
void FitClockFont(CCustomStatic& label, int width) {
    if (!label.staticFont) return;
    QFont& font = *label.staticFont;
    const QString widest = QStringLiteral("00:00:00");
    while (font.pointSizeF() > 5.0 && QFontMetricsF(font).horizontalAdvance(widest) > width - 2)
        font.setPointSizeF(font.pointSizeF() - 0.5);
}
} // namespace

CVideoEngine* CVideoControl::CurrentEngine() {
    const CMediaPlayerDoc* doc = CMediaPlayerDoc::Instance();
    CRedadIzivad* player = doc ? doc->Player() : nullptr;
    return player ? player->engine.get() : nullptr;
}

CVideoControl* CVideoControl::CreateControlBar(QWidget* view, const QString& name) {
    if (!view) return nullptr;
    auto* bar = new CVideoControl(view, view->window());
    bar->setObjectName(name);
    bar->show();
    bar->raise();
    return bar;
}

CVideoControl::CVideoControl(QWidget* mainView, QWidget* parent) : QWidget(parent), view(mainView) {
    // The picture must stay visible between the controls, and the keyboard must stay with the view.
    setAutoFillBackground(false);
    setFocusPolicy(Qt::NoFocus);
    setFixedHeight(BarHeight);
    resize(DesignWidth, BarHeight);
    seekPatience.setSingleShot(true);
    seekPatience.setInterval(SeekPatienceMs);
    connect(&seekPatience, &QTimer::timeout, this, &CVideoControl::ServeSeek);
    CreateControls();
    LoadButtonImages();
    RecalcLayout();
}

CVideoControl::~CVideoControl() = default;

void CVideoControl::CreateControls() {
    const auto prepare = [](QWidget* control) {
        control->setFocusPolicy(Qt::NoFocus);
        return control;
    };
    const auto slider = [&] {
        auto* made = new CCustomSlider(this);
        prepare(made);
        // Around its capsule the slider is see-through, so Qt must paint what lies behind it first.
        made->setAttribute(Qt::WA_OpaquePaintEvent, false);
        made->forwardWindow = view;
        made->backgroundColor = TransparentKey;
        made->trackColor = QColor(100, 100, 100);
        made->knobShown = true;
        made->hoverCursor = QCursor(Qt::PointingHandCursor);
        return made;
    };
    seekSlider = slider();
    seekSlider->SetSliderFont(Params.FontName);
    seekSlider->valueColor = QColor(88, 159, 195);
    seekSlider->thickness = 55.0f;
    seekSlider->CreateTimeToolTip();

    volumeSlider = slider();
    volumeSlider->maximum = 100;
    volumeSlider->position = savedVolume;
    volumeSlider->valueColor = QColor(151, 255, 255);
    volumeSlider->thickness = 40.0f;

    for (CCustomStatic** label : {&durationLabel, &currentTimeLabel}) {
        *label = new CCustomStatic(this);
        prepare(*label);
        (*label)->SetStaticFont(Params.FontName);
        FitClockFont(**label, ComputeControlBarLayout(width(), height()).currentTime.width());
        (*label)->setText(EmptyClock);
    }

    const auto button = [&](const char* tip, void (CVideoControl::*action)()) {
        auto* made = new CBarButton(this);
        prepare(made);
        made->backgroundColor = TransparentKey;
        made->forwardWindow = view;
        made->setToolTip(QString::fromLatin1(tip));
        connect(made, &QAbstractButton::clicked, this, action);
        return made;
    };
    playButton = button("Play/Pause", &CVideoControl::OnPlayButton);
    stopButton = button("Stop", &CVideoControl::OnStopButton);
    previousButton = button("Previous", &CVideoControl::OnPreviousButton);
    nextButton = button("Next", &CVideoControl::OnNextButton);
    slowButton = button("Slow", &CVideoControl::OnSlowButton);
    fastButton = button("Fast", &CVideoControl::OnFastButton);
    muteButton = button("", &CVideoControl::OnMuteButton);
    infoButton = button("Video File Info", &CVideoControl::OnInfoButton);
    listButton = button("Play List", &CVideoControl::OnListButton);
    toolsButton = button("Tools", &CVideoControl::OnToolsButton);
    // Their checked look carries meaning even without a skin to show it.
    playButton->setCheckable(true);
    muteButton->setCheckable(true);

    // The seek slider asks for one seek at a time; a drag follows with pictures without flooding the engine.
    connect(seekSlider, &CCustomSlider::SeekRequested, this, &CVideoControl::OnSeekRequested);
    // Whatever the user did to the slider is what it shows now; the next refresh compares against that.
    connect(seekSlider, &CCustomSlider::PositionChanging, this, [this] { seekPixels = {}; });
    connect(volumeSlider, &CCustomSlider::PositionChanging, this, &CVideoControl::OnVolumeChanging);
    for (CCustomSlider* each : {seekSlider, volumeSlider}) {
        // Queued: the slider is inside its own mouse handler, and raising windows can wait for it to finish.
        connect(each, &CCustomSlider::KeepToolWindowsOnTop, this, [] {
            if (CMediaPlayerDoc* doc = CMediaPlayerDoc::Instance()) doc->KeepToolWindowsOnTop();
        }, Qt::QueuedConnection);
    }
}

void CVideoControl::LoadButtonImages() {
    const CProgramSkin* skin = CProgramSkin::Current();
    if (!skin) return;
    const QString folder = skin->GetControlFolder();
    const struct {
        CCustomButton* button;
        const QString& file;
        const QString* checkedSuffix;
    } images[] = {
        {playButton, Params.PlayFileName, &PauseImageSuffix}, {stopButton, Params.StopFileName, nullptr},
        {previousButton, Params.PreviousFile, nullptr},      {nextButton, Params.NextFileName, nullptr},
        {slowButton, Params.SlowFileName, nullptr},          {fastButton, Params.FastFileName, nullptr},
        {muteButton, Params.VolumeFileName, &MuteImageSuffix}, {listButton, Params.PlayListName, nullptr},
        {toolsButton, Params.VideoToolsName, nullptr},       {infoButton, Params.VideoFileInfo, nullptr},
    };
    for (const auto& image : images) {
        const QString normal = folder + image.file;
        image.button->SetImages(normal, image.checkedSuffix
                                            ? CProgramSkin::SecondStateImage(normal, *image.checkedSuffix)
                                            : QString());
    }
}

void CVideoControl::RecalcLayout() {
    layout = ComputeControlBarLayout(width(), height());
    durationLabel->setGeometry(layout.duration);
    currentTimeLabel->setGeometry(layout.currentTime);
    seekSlider->setGeometry(layout.seek);
    volumeSlider->setGeometry(layout.volume);
    muteButton->setGeometry(layout.mute);
    playButton->setGeometry(layout.play);
    previousButton->setGeometry(layout.previous);
    slowButton->setGeometry(layout.slow);
    stopButton->setGeometry(layout.stop);
    nextButton->setGeometry(layout.next);
    fastButton->setGeometry(layout.fast);
    infoButton->setGeometry(layout.info);
    toolsButton->setGeometry(layout.tools);
    listButton->setGeometry(layout.list);
    seekPixels = {};
}

void CVideoControl::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    RecalcLayout();
}

void CVideoControl::paintEvent(QPaintEvent*) {
    // Only the two separators: everything else of the bar is see-through.
    QPainter painter(this);
    painter.setPen(QPen(SeparatorColour, 2));
    painter.drawLine(layout.stopSeparator);
    painter.drawLine(layout.infoSeparator);
}

bool CVideoControl::event(QEvent* event) {
    // Keys and wheel turns belong to the view, whatever part of the bar they reach.
    return HandleControlEvent(this, view, true, event, [&] { return QWidget::event(event); });
}

void CVideoControl::mousePressEvent(QMouseEvent* event) {
    // A press on a control that ignored it (a right click on a button) stays with the bar.
    if (!view || childAt(event->position().toPoint())) return event->ignore();
    ForwardPressToView(view, event);
}

void CVideoControl::contextMenuEvent(QContextMenuEvent* event) {
    if (!view || childAt(event->pos())) return event->ignore();
    ForwardContextMenuToView(view, event);
}

void CVideoControl::UpdateFromEngine(bool force) {
    try {
        CVideoEngine* engine = CurrentEngine();
        if (!engine) return;
        // Called for every new picture: the seek that brought it has been served.
        if (seekInFlight) ServeSeek();
        const PlayState state = engine->GetPlayState();
        if (state == PlayState::Playing) {
            if (!mediaShown || force) ShowMedia(*engine);
            const std::int64_t seconds = engine->GetCurrentTime();
            MoveSeekKnob(engine->GetCurrentFrame(), seconds != shownSecond);
            ShowCurrentTime(seconds);
        } else if (mediaShown && state == PlayState::Stopped) {
            ShowEmpty();
        }
        SyncPlayButton();
    } catch (const std::exception&) {
        // A component that cannot answer leaves the display as it was; the next picture asks again.
    }
}

void CVideoControl::ShowMedia(CVideoEngine& engine) {
    const float frameRate = engine.GetFrameRate();
    const std::int64_t frames = engine.GetFrameCount();
    seekSlider->maximum = frames < 1 ? 100 : frames;
    seekSlider->minimum = 0;
    seekSlider->position = 0;
    seekSlider->fpsFactor = frameRate;
    seekPixels = {};
    seekSlider->update();
    durationLabel->setText(FormatClock(engine.GetDuration()));
    mediaShown = true;
}

void CVideoControl::ShowEmpty() {
    currentTimeLabel->setText(EmptyClock);
    durationLabel->setText(EmptyClock);
    shownSecond = -1;
    seekSlider->maximum = 100;
    seekSlider->minimum = 0;
    seekSlider->position = 0;
    seekSlider->fpsFactor = -999.0f;
    seekPixels = {};
    seekSlider->update();
    playButton->setChecked(false);
    mediaShown = false;
}

void CVideoControl::MoveSeekKnob(std::int64_t frame, bool clockTicks) {
    // The user's position stands while they drag and until the engine has served their last seek.
    if (seekSlider->Dragging() || seekInFlight) return;
    seekSlider->position = frame;
    // A frame is usually less than a pixel of the bar: repaint only when the drawing really changes.
    const SeekPixels now{ValueEndPixel(*seekSlider), seekSlider->width()};
    if (now == seekPixels) return;
    // Over an OpenGL picture, Qt redraws the window's whole raster layer over the picture in any frame that
    // also repaints a bar control, and uploads it again. On a short file the knob creeps a pixel every other
    // frame, so creeping is drawn twice a second, once of them with the clock's own change so the two cost
    // one redraw; a jump (a seek, a skip) is drawn at once.
    const bool creeping = now.width == seekPixels.width && std::abs(now.end - seekPixels.end) <= KnobCreepPixels;
    if (creeping && !clockTicks && seekPainted.isValid() && seekPainted.elapsed() < KnobCreepIntervalMs)
        return;
    seekPixels = now;
    seekPainted.start();
    seekSlider->update();
}

void CVideoControl::ShowCurrentTime(std::int64_t seconds) {
    // Once a second, not once a frame: no text is made while the second is the same.
    if (seconds == shownSecond) return;
    shownSecond = seconds;
    currentTimeLabel->setText(FormatClock(seconds));
}

void CVideoControl::SyncPlayButton() {
    CMediaPlayerDoc* doc = CMediaPlayerDoc::Instance();
    if (!doc || !doc->IsFileOpen()) return;
    const bool playing = doc->GetPlayState() == PlayState::Playing;
    if (playButton->isChecked() != playing) playButton->setChecked(playing);
}

int CVideoControl::VolumePosition() const { return static_cast<int>(volumeSlider->position); }

void CVideoControl::SetVolumePosition(int volume) {
    volume = std::clamp(volume, 0, 100);
    savedVolume = volume;
    volumeSlider->position = volume;
    volumeSlider->update();
    if (volume > 0 && muteButton->isChecked()) muteButton->setChecked(false);
}

void CVideoControl::OnSeekRequested(qint64 frame) {
    seekInFlight = true;
    seekPatience.start();
    if (CMediaPlayerDoc* doc = CMediaPlayerDoc::Instance()) doc->SeekToFrame(frame);
}

void CVideoControl::ServeSeek() {
    seekInFlight = false;
    seekPatience.stop();
    // May ask for the newest position the user moved to meanwhile (OnSeekRequested, at once).
    seekSlider->SeekServed();
}

void CVideoControl::OnVolumeChanging(qint64 volume) {
    Guarded([&] {
        if (CMediaPlayerDoc* doc = CMediaPlayerDoc::Instance()) doc->ChangeVolume(static_cast<int>(volume), false);
        if (muteButton->isChecked()) muteButton->setChecked(false);
    });
}
