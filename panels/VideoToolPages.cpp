#include "panels/VideoToolPages.h"

#include "controls/CustomButton.h"
#include "controls/CustomSlider.h"
#include "document/Guarded.h"
#include "document/MediaPlayerDoc.h"
#include "document/RedadIzivad.h"
#include "panels/VideoTools.h"
#include "settings/ProgramParams.h"
#include "skins/ProgramSkin.h"

#include <QFontMetricsF>
#include <QPainter>

namespace {
// One row of the image page: its range, the setting that keeps it and the engine call that applies it.
struct PictureRow {
    int limit; // the range is -limit..limit
    std::int32_t CProgramParams::*setting;
    void (CVideoEngine::*apply)(std::int32_t);
    const char* resetTip;
    QString CProgramParams::*iconName;
};
const PictureRow Rows[CVideoDlg::kRows] = {
    {BRIGHTNESS_LIMIT, &CProgramParams::Brightness, &CVideoEngine::SetBrightness, "Reset Brightness",
     &CProgramParams::BrightnessName},
    {CONTRAST_LIMIT, &CProgramParams::Contrast, &CVideoEngine::SetContrast, "Reset Contrast",
     &CProgramParams::ContrastName},
    {SATURATION_LIMIT, &CProgramParams::Saturation, &CVideoEngine::SetSaturation, "Reset Saturation",
     &CProgramParams::SaturationName},
};
// Longest wait for the redraw of a picture change before the next waiting move goes anyway.
constexpr int kRedrawPatienceMs = 300;
// The width of a window border: what the page geometry of the tools window is counted in.
constexpr int kBorder = CVideoTools::kBorder;

bool Paused(const CVideoEngine* engine) { return engine && engine->GetPlayState() == PlayState::Paused; }
} // namespace

const QColor CVideoDlg::Background(50, 50, 50);

CRedadIzivad* ToolsPlayer() {
    const CMediaPlayerDoc* doc = CMediaPlayerDoc::Instance();
    return doc ? doc->Player() : nullptr;
}

CVideoEngine* ToolsEngine() {
    CRedadIzivad* player = ToolsPlayer();
    return player ? player->engine.get() : nullptr;
}

void StyleToolSlider(CCustomSlider* slider, QWidget* view, int minimum, int maximum, int position) {
    slider->backgroundColor = CVideoDlg::Background;
    slider->trackColor = QColor(90, 90, 90);
    slider->valueColor = QColor(151, 255, 255);
    slider->thickness = 30.0f;
    slider->knobShown = true;
    slider->minimum = minimum;
    slider->maximum = maximum;
    slider->position = std::clamp(position, minimum, maximum);
    slider->forwardWindow = view;
    slider->setFocusPolicy(Qt::NoFocus);
    slider->update();
}

CCustomButton* MakeResetButton(QWidget* page, QWidget* view, const QString& toolTip) {
    auto* button = new CCustomButton(page);
    if (const CProgramSkin* skin = CProgramSkin::Current()) button->SetImages(skin->GetCommonFolder() + Params.ResetFileName);
    button->forwardWindow = view;
    button->SizeToContent();
    button->backgroundColor = CVideoDlg::Background;
    button->setToolTip(toolTip);
    button->setFocusPolicy(Qt::NoFocus);
    return button;
}

CVideoDlg::CVideoDlg(QWidget* parent, QWidget* view) : QWidget(parent) {
    setAttribute(Qt::WA_OpaquePaintEvent);
    redrawPatience.setSingleShot(true);
    redrawPatience.setInterval(kRedrawPatienceMs);
    connect(&redrawPatience, &QTimer::timeout, this, &CVideoDlg::RedrawDone);
    const CProgramSkin* skin = CProgramSkin::Current();
    for (int i = 0; i < kRows; ++i) {
        const PictureRow& row = Rows[i];
        if (skin) icons[i] = CSkinImage(skin->GetToolsFolder() + Params.*row.iconName);
        resetButtons[i] = MakeResetButton(this, view, QString::fromLatin1(row.resetTip));
        sliders[i] = new CCustomSlider(this);
        StyleToolSlider(sliders[i], view, -row.limit, row.limit, Params.*row.setting);
        // One value at a time reaches the engine: the slider holds back the moves made meanwhile.
        connect(sliders[i], &CCustomSlider::SeekRequested, this,
                [this, i](qint64 value) { ApplyValue(Row(i), int(value)); });
        connect(resetButtons[i], &QAbstractButton::clicked, this, [this, i] { Reset(Row(i)); });
    }
    // The playback thread's word that a picture is ready: the redraw asked for has been made.
    if (CRedadIzivad* player = ToolsPlayer())
        connect(&player->notifier, &CPlayerNotifier::frameReady, this, [this] {
            if (redrawPending) RedrawDone();
        }, Qt::QueuedConnection);
}

void CVideoDlg::ApplyValue(Row row, int value) {
    const PictureRow& r = Rows[row];
    CVideoEngine* engine = ToolsEngine();
    bool redraw = false;
    Guarded([&] {
        // Without an engine the slider moves alone: nothing is applied, nothing kept.
        if (!engine) return;
        Params.*r.setting = value;
        (engine->*r.apply)(value);
        if (Paused(engine)) {
            ToolsPlayer()->RefreshEvent.SetEvent();
            redraw = true;
        }
    });
    if (redraw) {
        redrawPending = true;
        redrawPatience.start();
    } else {
        RedrawDone();
    }
}

void CVideoDlg::RedrawDone() {
    redrawPending = false;
    redrawPatience.stop();
    // Each slider with a waiting move sends its newest value now (ApplyValue, at once).
    for (CCustomSlider* slider : sliders) {
        slider->SeekServed();
        if (redrawPending) break; // that move asked for a redraw of its own: the others wait for it
    }
}

void CVideoDlg::Reset(Row row) {
    if (!ToolsEngine()) return;
    sliders[row]->position = 0;
    sliders[row]->update();
    ApplyValue(row, 0);
}

void CVideoDlg::ReloadFromSettings() {
    for (int i = 0; i < kRows; ++i) {
        sliders[i]->position = std::clamp<std::int64_t>(Params.*Rows[i].setting, sliders[i]->minimum, sliders[i]->maximum);
        sliders[i]->update();
    }
}

void CVideoDlg::resizeEvent(QResizeEvent*) {
    const int w = width(), h = height();
    const int r = (h - 40) / 3;
    const int s = int(0.8 * w);
    const int x = (w - s) / 2 + 5;
    for (int i = 0; i < kRows; ++i) {
        const int y = 10 + i * (r + 10);
        sliders[i]->setGeometry(x, y, s, r);
        resetButtons[i]->setGeometry(x + s + 5, y, r, r);
    }
}

void CVideoDlg::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.fillRect(rect(), Background);
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    for (int i = 0; i < kRows; ++i) {
        if (icons[i].isNull()) continue;
        const QRect slider = sliders[i]->geometry();
        const QSize icon = icons[i].Size();
        // Drawn at 80 %, placed as if full size: the gap to the slider is a fifth of the icon and a border.
        const QRectF target(slider.left() - icon.width() - kBorder,
                            slider.top() + int(int(slider.height() - 0.8 * icon.height()) / 2),
                            0.8 * icon.width(), 0.8 * icon.height());
        painter.drawImage(target, icons[i].For(devicePixelRatioF()));
    }
}

CSoundDlg::CSoundDlg(QWidget* parent, QWidget* view) : QWidget(parent) {
    setAttribute(Qt::WA_OpaquePaintEvent);
    resetButton = MakeResetButton(this, view, QStringLiteral("Reset  Audio Balance"));
    balanceSlider = new CCustomSlider(this);
    StyleToolSlider(balanceSlider, view, -AUDIO_BALANCE_LIMIT, AUDIO_BALANCE_LIMIT, Params.AudioBalance);
    connect(balanceSlider, &CCustomSlider::SeekRequested, this, [this](qint64 value) {
        ApplyBalance(int(value));
        balanceSlider->SeekServed();
    });
    connect(resetButton, &QAbstractButton::clicked, this, [this] {
        if (!ToolsEngine()) return;
        balanceSlider->position = 0;
        balanceSlider->update();
        ApplyBalance(0);
    });
}

void CSoundDlg::ApplyBalance(int value) {
    Guarded([&] {
        CVideoEngine* engine = ToolsEngine();
        if (!engine) return;
        Params.AudioBalance = value;
        engine->SetBalance(value);
    });
}

void CSoundDlg::resizeEvent(QResizeEvent*) {
    const int w = width(), h = height();
    const int sh = int(0.2 * h), s = int(0.8 * w);
    const int x = (w - s) / 2, y = h / 2 - sh / 2;
    balanceSlider->setGeometry(x, y, s, sh);
    resetButton->setGeometry(x + s + 5, y, sh, sh);
}

void CSoundDlg::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.fillRect(rect(), CVideoDlg::Background);
    const CProgramSkin* skin = CProgramSkin::Current();
    if (!skin || !skin->textFont) return;
    const QString caption = QStringLiteral("Audio Balance");
    const QFontMetricsF metrics(*skin->textFont);
    painter.setFont(*skin->textFont);
    painter.setPen(Qt::white);
    const qreal x = width() / 2 - metrics.horizontalAdvance(caption) / 2;
    const qreal y = balanceSlider->y() - metrics.height();
    painter.drawText(QPointF(x, y + metrics.ascent()), caption);
}
