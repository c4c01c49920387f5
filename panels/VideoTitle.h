// CVideoTitle: the floating title bar over the top of the picture: a dark band fading out downward, the
// program icon, the caption and the minimise, full-screen and close buttons.
#pragma once

#include "controls/KeptDrawing.h"
#include "skins/SkinImage.h"

#include <QPointer>
#include <QRect>
#include <QString>
#include <QWidget>

class CCustomButton;

// Where the three buttons of a title bar w x h go: squares of side h - 10, 5 below the top, right-aligned.
struct TitleBarLayout {
    QRect close, maximize, minimize;
};
TitleBarLayout ComputeTitleBarLayout(int w, int h);
// Opacity (0-255) of band line y in a band h lines high: opaque at the top, stepping down to nothing.
int TitleBandAlpha(int y, int h);

class CVideoTitle : public QWidget {
    Q_OBJECT
public:
    // The height the bar keeps, in logical pixels.
    static constexpr int kHeight = 26;

    // A new bar laid over the window that holds view (null without a view). The caller owns it; name is
    // only a label.
    static CVideoTitle* CreateTitleBar(QWidget* view, const QString& name);
    explicit CVideoTitle(QWidget* frame, QWidget* view);

    // The open file's display name; empty brings back the program's name.
    void SetCaption(const QString& caption);
    QString Caption() const { return caption_; }
    // The full-screen button shows "restore" exactly while the player is in full screen.
    void SyncMaximizeButton();

    // The button actions, also reached by a double click (maximise/restore).
    void OnMaximizeRestore();
    void OnMinimize();
    void OnClose();

    CCustomButton* closeButton = nullptr;
    CCustomButton* maximizeButton = nullptr;
    CCustomButton* minimizeButton = nullptr;

protected:
    bool event(QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;

private:
    void LoadSkin();
    void RecalcLayout();
    // The band, the icon and the caption.
    void DrawBand(QPainter& painter) const;

    QPointer<QWidget> view_;
    CSkinImage icon_;
    QString caption_;
    // Drawn anew only when the caption changes.
    CKeptDrawing<QString> band_;
};
