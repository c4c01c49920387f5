// The document's placement of the floating bars and tool windows around the main frame.
#include "document/PanelLayout.h"

#include "document/MediaPlayerDoc.h"
#include "frame/FrameSizing.h"
#include "frame/MainFrame.h"

#include <QCursor>
#include <QWidget>

namespace {
// The bars are overlays inside the window that holds the view, placed in that window's coordinates.
QRect HostRect(const QWidget* bar) {
    return bar->parentWidget() ? bar->parentWidget()->rect() : QRect();
}
} // namespace

QRect TitleBarRect(const QRect& frame, int barHeight, int cxEdge, int cyEdge) {
    const int e = FRAME_BORDER_WIDTH + cxEdge;
    return QRect(frame.x() + e, frame.y() + FRAME_BORDER_HEIGHT + cyEdge, frame.width() - 2 * e, barHeight);
}

QRect ControlBarRect(const QRect& frame, int barHeight, int cxEdge) {
    const int e = FRAME_BORDER_WIDTH + cxEdge;
    return QRect(frame.x() + e, frame.y() + frame.height() - barHeight - FRAME_BORDER_HEIGHT,
                 frame.width() - 2 * e, barHeight);
}

bool BarsWanted(const PanelVisibilityInputs& in) {
    return (in.cursorInFrame && in.cursorShown) || in.stopped || in.popupMenuOpen || in.opening;
}

void CMediaPlayerDoc::LayoutPanels(bool resized) {
    if (QWidget* title = videoTitle.window())
        title->setGeometry(TitleBarRect(HostRect(title), title->height(), cxEdge, cyEdge));
    if (QWidget* control = videoControl.window()) {
        control->setGeometry(ControlBarRect(HostRect(control), control->height(), cxEdge));
        if (resized) control->update();
    }
    KeepToolWindowsOnTop();
}

void CMediaPlayerDoc::KeepToolWindowsOnTop() {
    for (QWidget* tool : {playListDlg.window(), videoTools.window(), fileInfoDlg.window(), aboutDlg.window()}) {
        if (!tool) continue;
        SetWindowStaysOnTop(tool, true);
        tool->raise();
    }
    // The frame passes its focus on to the view, as a frame with an active view does.
    if (QWidget* viewWindow = view.window()) viewWindow->setFocus(Qt::OtherFocusReason);
}

void CMediaPlayerDoc::UpdatePanelVisibility() {
    QWidget* viewWindow = view.window();
    QWidget* control = videoControl.window();
    QWidget* title = videoTitle.window();
    if (!viewWindow || (!control && !title)) return;

    const bool current = (control ? control : title)->isVisible();
    const bool wanted =
        BarsWanted({windowRect.contains(QCursor::pos()), viewWindow->cursor().shape() != Qt::BlankCursor,
                    GetPlayState() == PlayState::Stopped, popupMenuOpen, opening});
    if (wanted == current) return;
    if (control) control->setVisible(wanted);
    if (title) title->setVisible(wanted);
    KeepToolWindowsOnTop();
}
