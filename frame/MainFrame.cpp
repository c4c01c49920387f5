#include "frame/MainFrame.h"

#include "document/MediaPlayerDoc.h"
#include "view/MediaPlayerView.h"

#include <QApplication>
#include <QKeyEvent>
#include <QMenu>
#include <QMouseEvent>
#include <QPainter>
#include <QVBoxLayout>
#include <QWindow>

namespace {
CMainFrame* currentFrame = nullptr;

const QColor LightLine(0x60, 0x60, 0x60);
const QColor DarkLine(32, 31, 29);
// Corners are easier to hit when they reach a little along each side.
constexpr int CornerReach = 16;

Qt::Edges ToQtEdges(SizingEdge edge) {
    switch (edge) {
    case SizingEdge::Left: return Qt::LeftEdge;
    case SizingEdge::Right: return Qt::RightEdge;
    case SizingEdge::Top: return Qt::TopEdge;
    case SizingEdge::Bottom: return Qt::BottomEdge;
    case SizingEdge::TopLeft: return Qt::TopEdge | Qt::LeftEdge;
    case SizingEdge::TopRight: return Qt::TopEdge | Qt::RightEdge;
    case SizingEdge::BottomLeft: return Qt::BottomEdge | Qt::LeftEdge;
    case SizingEdge::BottomRight: return Qt::BottomEdge | Qt::RightEdge;
    }
    return {};
}

Qt::CursorShape CursorFor(SizingEdge edge) {
    switch (edge) {
    case SizingEdge::Left:
    case SizingEdge::Right: return Qt::SizeHorCursor;
    case SizingEdge::Top:
    case SizingEdge::Bottom: return Qt::SizeVerCursor;
    case SizingEdge::TopLeft:
    case SizingEdge::BottomRight: return Qt::SizeFDiagCursor;
    case SizingEdge::TopRight:
    case SizingEdge::BottomLeft: return Qt::SizeBDiagCursor;
    }
    return Qt::ArrowCursor;
}

// The window system gives the pointer back when the user lets go: whatever pointer event comes next, other
// than one still sent with the left button held (queued before the system took over), ends its move or size.
bool EndsSystemMoveSize(QEvent* event) {
    switch (event->type()) {
    case QEvent::MouseButtonRelease:
    case QEvent::Enter: return true;
    case QEvent::MouseMove: return !(static_cast<QMouseEvent*>(event)->buttons() & Qt::LeftButton);
    default: return false;
    }
}

bool IsTopLevelMenu(QObject* object) {
    auto* menu = qobject_cast<QMenu*>(object);
    return menu && !qobject_cast<QMenu*>(menu->parentWidget());
}
} // namespace

CMainFrame::CMainFrame(QWidget* parent) : QWidget(parent, Qt::Window | Qt::FramelessWindowHint) {
    currentFrame = this;
    setWindowTitle(QStringLiteral("NRX MediaPlayer"));
    setMinimumSize(MIN_FRAME_WIDTH, MIN_FRAME_HEIGHT);
    setMouseTracking(true);
    setFocusPolicy(Qt::StrongFocus);

    clientArea_ = new QWidget(this);
    clientArea_->setAutoFillBackground(true);
    QPalette black = clientArea_->palette();
    black.setColor(QPalette::Window, Qt::black);
    clientArea_->setPalette(black);
    clientArea_->installEventFilter(this);
    auto* clientLayout = new QVBoxLayout(clientArea_);
    clientLayout->setContentsMargins(0, 0, 0, 0);

    auto* frameLayout = new QVBoxLayout(this);
    frameLayout->setContentsMargins(FRAME_BORDER_WIDTH, FRAME_BORDER_HEIGHT, FRAME_BORDER_WIDTH, FRAME_BORDER_HEIGHT);
    frameLayout->addWidget(clientArea_);

    // Every menu of the program, whoever opens it, counts for keeping the bars visible.
    qApp->installEventFilter(this);
}

CMainFrame::~CMainFrame() {
    if (currentFrame == this) currentFrame = nullptr;
}

CMainFrame* CMainFrame::Instance() { return currentFrame; }

void CMainFrame::SetCentralView(QWidget* view) {
    if (centralView_ == view) return;
    if (centralView_) clientArea_->layout()->removeWidget(centralView_);
    centralView_ = view;
    if (view) clientArea_->layout()->addWidget(view);
}

void CMainFrame::AddOverlay(QWidget* panel) {
    panel->setParent(this);
    panel->show(); // re-parenting hides a widget; visibility is UpdatePanelVisibility's from here on
    panel->raise();
}

void CMainFrame::PaintFrameBorder(QPainter& painter, int w, int h) {
    constexpr int b = FRAME_BORDER_WIDTH;
    const auto line = [](int i) { return i == 0 || i == b - 1 ? LightLine : DarkLine; };
    // Columns first, then rows drawn over them: the corners end up the way the rows leave them.
    for (int i = 0; i < b; ++i) {
        painter.fillRect(i, 0, 1, h, line(i));
        painter.fillRect(w - i - 1, 0, 1, h, line(i));
    }
    for (int j = 0; j < b; ++j) {
        const int from = j == b - 1 ? b : 0;
        const int to = j == b - 1 ? w - b : w;
        painter.fillRect(from, j, to - from, 1, line(j));
        painter.fillRect(from, h - j - 1, to - from, 1, line(j));
    }
}

void CMainFrame::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    PaintFrameBorder(painter, width(), height());
}

void CMainFrame::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    if (CMediaPlayerDoc* doc = CMediaPlayerDoc::Instance()) doc->LayoutPanels(true);
    update();
    emit geometryChanged(geometry());
}

void CMainFrame::moveEvent(QMoveEvent* event) {
    QWidget::moveEvent(event);
    if (CMediaPlayerDoc* doc = CMediaPlayerDoc::Instance()) doc->LayoutPanels(false);
    emit geometryChanged(geometry());
}

// The native window takes the hint in place (on X11 only the window manager's state changes), and the
// widget is told the new flags without acting on them.
void SetWindowStaysOnTop(QWidget* window, bool onTop) {
    Qt::WindowFlags flags = window->windowFlags();
    if (flags.testFlag(Qt::WindowStaysOnTopHint) == onTop) return;
    flags.setFlag(Qt::WindowStaysOnTopHint, onTop);
    QWindow* handle = window->windowHandle();
    if (!handle) return window->setWindowFlags(flags); // nothing shown yet, nothing to lose
    window->overrideWindowFlags(flags);
    handle->setFlags(flags);
}

void CMainFrame::SetStaysOnTop(bool onTop) { SetWindowStaysOnTop(this, onTop); }

std::optional<SizingEdge> CMainFrame::EdgeAt(const QPoint& pos) const {
    const bool left = pos.x() < FRAME_BORDER_WIDTH, right = pos.x() >= width() - FRAME_BORDER_WIDTH;
    const bool top = pos.y() < FRAME_BORDER_HEIGHT, bottom = pos.y() >= height() - FRAME_BORDER_HEIGHT;
    if (!left && !right && !top && !bottom) return std::nullopt;
    const bool nearLeft = pos.x() < CornerReach, nearRight = pos.x() >= width() - CornerReach;
    const bool nearTop = pos.y() < CornerReach, nearBottom = pos.y() >= height() - CornerReach;
    if (nearTop && nearLeft) return SizingEdge::TopLeft;
    if (nearTop && nearRight) return SizingEdge::TopRight;
    if (nearBottom && nearLeft) return SizingEdge::BottomLeft;
    if (nearBottom && nearRight) return SizingEdge::BottomRight;
    if (left) return SizingEdge::Left;
    if (right) return SizingEdge::Right;
    return top ? SizingEdge::Top : SizingEdge::Bottom;
}

void CMainFrame::mousePressEvent(QMouseEvent* event) {
    const auto edge = EdgeAt(event->position().toPoint());
    if (event->button() != Qt::LeftButton || !edge) return QWidget::mousePressEvent(event);
    event->accept();
    if (windowHandle() && windowHandle()->startSystemResize(ToQtEdges(*edge))) {
        systemMoveSize_ = true;
        return NotifyMoveSize();
    }
    drag_ = ManualDrag{edge, event->globalPosition().toPoint(), geometry()};
    grabMouse();
    NotifyMoveSize();
}

void CMainFrame::BeginMove(const QPoint& globalPos) {
    if (windowHandle() && windowHandle()->startSystemMove()) {
        systemMoveSize_ = true;
        return NotifyMoveSize();
    }
    drag_ = ManualDrag{std::nullopt, globalPos, geometry()};
    // The press may have landed on any child; the frame follows the mouse itself until the button is up.
    grabMouse();
    NotifyMoveSize();
}

void CMainFrame::NotifyMoveSize() {
    if (MovingOrSizing() == notifiedMoveSize_) return;
    notifiedMoveSize_ = MovingOrSizing();
    if (auto* view = qobject_cast<CMediaPlayerView*>(centralView_)) view->SetFrameMovingOrSizing(notifiedMoveSize_);
}

void CMainFrame::TrackDrag(const QPoint& globalPos) {
    const QPoint delta = globalPos - drag_->startPos;
    const QRect g = drag_->startGeometry;
    if (!drag_->edge) return move(g.topLeft() + delta);

    FrameRect r{g.left(), g.top(), g.left() + g.width(), g.top() + g.height()};
    const Qt::Edges edges = ToQtEdges(*drag_->edge);
    if (edges & Qt::LeftEdge) r.left += delta.x();
    if (edges & Qt::RightEdge) r.right += delta.x();
    if (edges & Qt::TopEdge) r.top += delta.y();
    if (edges & Qt::BottomEdge) r.bottom += delta.y();
    r = EnforceMinimumSize(*drag_->edge, r);
    setGeometry(r.left, r.top, r.right - r.left, r.bottom - r.top);
}

void CMainFrame::mouseMoveEvent(QMouseEvent* event) {
    if (drag_) return TrackDrag(event->globalPosition().toPoint());
    const auto edge = EdgeAt(event->position().toPoint());
    if (edge)
        setCursor(CursorFor(*edge));
    else
        unsetCursor();
    QWidget::mouseMoveEvent(event);
}

void CMainFrame::mouseReleaseEvent(QMouseEvent* event) {
    if (drag_) releaseMouse();
    drag_.reset();
    systemMoveSize_ = false;
    NotifyMoveSize();
    QWidget::mouseReleaseEvent(event);
}

void CMainFrame::keyPressEvent(QKeyEvent* event) {
    // Until a view takes the keyboard, Esc is the quit key here.
    if (event->key() == Qt::Key_Escape && event->modifiers() == Qt::NoModifier) {
        emit quitRequested();
        return;
    }
    QWidget::keyPressEvent(event);
}

bool CMainFrame::eventFilter(QObject* watched, QEvent* event) {
    if (watched == clientArea_ && event->type() == QEvent::MouseButtonPress) {
        auto* mouse = static_cast<QMouseEvent*>(event);
        if (mouse->button() == Qt::LeftButton) {
            BeginMove(mouse->globalPosition().toPoint());
            return true;
        }
    } else if ((event->type() == QEvent::Show || event->type() == QEvent::Hide) && IsTopLevelMenu(watched)) {
        popupMenuOpen = event->type() == QEvent::Show;
        emit popupMenuOpenChanged(popupMenuOpen);
    } else if (systemMoveSize_ && EndsSystemMoveSize(event)) {
        systemMoveSize_ = false;
        NotifyMoveSize();
    }
    return QWidget::eventFilter(watched, event);
}
