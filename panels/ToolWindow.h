// CToolWindow: what the playlist, video tools and file information windows and the about box share: a
// frameless window kept above the player's frame, dragged by any point that is not a control, with the
// skin's picture stretched over its background, handing keys and wheel turns to the main view so hot keys
// (Esc among them) work while it is the active window.
#pragma once

#include "skins/SkinImage.h"

#include <QPoint>
#include <QPointer>
#include <QRect>
#include <QWidget>
#include <optional>

class CCustomButton;

class CToolWindow : public QWidget {
    Q_OBJECT
public:
    // owner: the window it stays above (the frame; may be null); view: where keys and wheel turns go.
    CToolWindow(QWidget* owner, QWidget* view);

    // The background picture, stretched over the window; none (or unreadable): plain black.
    void SetSkinImage(const QString& path);
    // The picture at the density of this window's screen, for controls that show the part behind them
    // (CCustomButton::parentImage); null without one.
    const QImage* SkinImageForControls() const;
    // A button with the skin's close image, its tooltip and the view as forward window; a click runs Close().
    CCustomButton* MakeCloseButton(const QString& toolTip, QSize size);
    // What the close button does: hides the window (the owner deletes it later).
    virtual void Close();

    QWidget* View() const { return view_; }

protected:
    bool event(QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    QPointer<QWidget> view_;
    CSkinImage skin_;
    // A move done by hand where the window system would not move the window itself.
    struct ManualDrag {
        QPoint startPos;
        QPoint startTopLeft;
    };
    std::optional<ManualDrag> drag_;
};
