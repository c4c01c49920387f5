// CMainFrame: the borderless top-level window with its two-tone border, hosting the view and the overlays.
#pragma once

#include "frame/FrameSizing.h"

#include <QPoint>
#include <QRect>
#include <QWidget>
#include <optional>

class QPainter;

// Keeps a top-level window above others or not without hiding it, so the keyboard focus stays where it was
// (changing a widget's window flags would hide the window and map it anew).
void SetWindowStaysOnTop(QWidget* window, bool onTop);

class CMainFrame : public QWidget {
    Q_OBJECT
public:
    explicit CMainFrame(QWidget* parent = nullptr);
    ~CMainFrame() override;

    // The single frame of the process; null before it is constructed and after it is destroyed.
    static CMainFrame* Instance();

    // Puts the view into the client area, filling it; the frame does not take ownership away from Qt's tree.
    void SetCentralView(QWidget* view);
    QWidget* CentralView() const { return centralView_; }
    QWidget* ClientArea() const { return clientArea_; }
    // Makes a bar a shown child overlay of the frame, stacked above the view.
    void AddOverlay(QWidget* panel);

    // Keeps the window above others or not, without hiding it: the keyboard focus stays where it was.
    void SetStaysOnTop(bool onTop);

    // Starts moving the whole window from a press at globalPos (for presses on the client area or the view).
    void BeginMove(const QPoint& globalPos);
    // True from the press that starts a move or a resize until the button is released.
    bool MovingOrSizing() const { return drag_.has_value() || systemMoveSize_; }

    // Paints the border into a w x h window surface; shared with tests that check it pixel by pixel.
    static void PaintFrameBorder(QPainter& painter, int w, int h);

    // True while a top-level pop-up menu (one without a parent menu) is open.
    bool popupMenuOpen = false;

signals:
    // Esc reached the frame before any view took the keyboard.
    void quitRequested();
    // The window moved or changed its size.
    void geometryChanged(const QRect& geometry);
    // A top-level pop-up menu opened or closed.
    void popupMenuOpenChanged(bool open);

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void moveEvent(QMoveEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    std::optional<SizingEdge> EdgeAt(const QPoint& pos) const;
    void TrackDrag(const QPoint& globalPos);
    // Tells the view when MovingOrSizing changes, so that it leaves the cursor alone meanwhile.
    void NotifyMoveSize();

    QWidget* clientArea_ = nullptr;
    QWidget* centralView_ = nullptr;

    // A move or resize done by hand because the window system would not do it.
    struct ManualDrag {
        std::optional<SizingEdge> edge; // empty: moving
        QPoint startPos;
        QRect startGeometry;
    };
    std::optional<ManualDrag> drag_;
    // The window system moves or sizes the window; it holds the pointer until the button is up, and the
    // first pointer event that reaches the program afterwards ends this.
    bool systemMoveSize_ = false;
    bool notifiedMoveSize_ = false;
};
