// CVideoDlg and CSoundDlg: the two pages of the video tools window. The image page holds the brightness,
// contrast and saturation sliders with their reset buttons, the sound page the audio balance slider.
// Every move goes to the engine and into the settings, so the next file and the next start keep it.
#pragma once

#include "skins/SkinImage.h"

#include <QPointer>
#include <QTimer>
#include <QWidget>
#include <array>
#include <cstdint>

class CCustomButton;
class CCustomSlider;
class CRedadIzivad;
class CVideoEngine;

// The look all four sliders share: dark track, cyan value, a knob.
void StyleToolSlider(CCustomSlider* slider, QWidget* view, int minimum, int maximum, int position);
// The page's reset button: the skin's reset image on the page's grey.
CCustomButton* MakeResetButton(QWidget* page, QWidget* view, const QString& toolTip);

class CVideoDlg : public QWidget {
    Q_OBJECT
public:
    enum Row { Brightness, Contrast, Saturation };
    static constexpr int kRows = 3;
    static const QColor Background;

    // view: where keys and wheel turns go.
    CVideoDlg(QWidget* parent, QWidget* view);

    // Slider positions from the Brightness, Contrast and Saturation settings (the keyboard changed them).
    void ReloadFromSettings();
    // What a move of row's slider to value does: the engine and the setting take it and, while paused, the
    // playback thread redraws the picture. Moves made while that redraw is pending wait, and only the newest
    // of them is applied when it is done.
    void ApplyValue(Row row, int value);
    // Back to 0, the slider in the middle.
    void Reset(Row row);
    // A picture change is being redrawn; further moves wait for it.
    bool RedrawPending() const { return redrawPending; }

    std::array<CCustomSlider*, kRows> sliders{};
    std::array<CCustomButton*, kRows> resetButtons{};

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    // The redraw asked for is on screen (or will not come): the newest waiting move, if any, goes now.
    void RedrawDone();

    std::array<CSkinImage, kRows> icons;
    bool redrawPending = false;
    // Serves a redraw that no picture answers (the file ended, the thread is gone).
    QTimer redrawPatience;
};

class CSoundDlg : public QWidget {
    Q_OBJECT
public:
    CSoundDlg(QWidget* parent, QWidget* view);

    // The balance goes to the engine and the AudioBalance setting; nothing is redrawn for sound.
    void ApplyBalance(int value);

    CCustomSlider* balanceSlider = nullptr;
    CCustomButton* resetButton = nullptr;

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
};

// The document's player and its engine; null when there is none.
CRedadIzivad* ToolsPlayer();
CVideoEngine* ToolsEngine();
