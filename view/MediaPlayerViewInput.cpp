// The main view's keyboard, mouse and drag-and-drop handling.
#include "view/MediaPlayerView.h"

#include "document/MediaPlayerDoc.h"
#include "document/RedadIzivad.h"
#include "frame/MainFrame.h"
#include "panels/VideoControl.h"
#include "resources/CommandIds.h"
#include "resources/MainMenu.h"
#include "view/DropFilter.h"

#include <QContextMenuEvent>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QKeyEvent>
#include <QMenu>
#include <QMimeData>
#include <QMouseEvent>
#include <QWheelEvent>

namespace {
CDropFilter MakeDropFilter() {
    QStringList paths;
    if (ThePlayer)
        for (int i = 0; i < ThePlayer->playList.Count(); ++i) paths << ThePlayer->playList.GetPath(i);
    CVideoEngine* engine = ThePlayer ? ThePlayer->engine.get() : nullptr;
    return CDropFilter([engine](const QString& path) { return engine && engine->IsSupportedFile(path); }, paths);
}
} // namespace

bool CMediaPlayerView::event(QEvent* e) {
    // Ctrl+C/O/S are claimed before any shortcut or focused control can take them.
    if (e->type() == QEvent::ShortcutOverride) {
        auto* key = static_cast<QKeyEvent*>(e);
        if (PreTranslatedCommand(key->key(), key->modifiers()) != 0) {
            e->accept();
            return true;
        }
    }
    return QWidget::event(e);
}

void CMediaPlayerView::keyPressEvent(QKeyEvent* event) {
    event->accept();
    CKeyGuard::Scope scope(keyGuard_);
    if (!scope) return;
    const HotKeyAction action = DecodeHotKey(event->key(), event->modifiers());
    if (action.kind != HotKeyAction::None) RunHotKey(action);
}

void CMediaPlayerView::RunHotKey(const HotKeyAction& action) {
    CMediaPlayerDoc* doc = CMediaPlayerDoc::Instance();
    if (!doc) return;
    switch (action.kind) {
    case HotKeyAction::None: break;
    case HotKeyAction::Command: doc->OnCommand(action.command); break;
    case HotKeyAction::StepFrame: doc->StepFrame(action.value != 0); break;
    case HotKeyAction::ChangeContrast: doc->ChangeContrast(action.value); break;
    case HotKeyAction::ChangeBrightness: doc->ChangeBrightness(action.value); break;
    case HotKeyAction::ChangeSaturation: doc->ChangeSaturation(action.value); break;
    case HotKeyAction::ChangeVolume: doc->ChangeVolume(action.value, true); break;
    case HotKeyAction::ToggleMute: doc->ToggleMute(); break;
    case HotKeyAction::SkipFiveSeconds: doc->SkipFiveSeconds(action.value); break;
    case HotKeyAction::Escape:
        if (doc->HideToolWindow()) break;
        switch (DecideEscape(false, doc->fullScreen)) {
        case EscapeStep::HideToolWindow: break;
        case EscapeStep::LeaveFullScreen: doc->LeaveFullScreen(); break;
        case EscapeStep::Quit:
            keyGuard_.Quit();
            doc->ShutdownDocument();
            // Posted, so this key's handling unwinds before the windows go; the exit path saves the settings.
            QMetaObject::invokeMethod(
                doc, [doc] { doc->OnCommand(ID_APP_EXIT); }, Qt::QueuedConnection);
            break;
        }
        break;
    }
}

void CMediaPlayerView::wheelEvent(QWheelEvent* event) {
    event->accept();
    const int step = WheelVolumeStep(event->angleDelta().y());
    if (step == 0) return;
    if (auto* doc = CMediaPlayerDoc::Instance()) doc->ChangeVolume(step, true);
}

void CMediaPlayerView::mousePressEvent(QMouseEvent* event) {
    CMediaPlayerDoc* doc = CMediaPlayerDoc::Instance();
    if (event->button() == Qt::LeftButton) {
        if (!(doc && doc->fullScreen))
            if (CMainFrame* frame = CMainFrame::Instance()) frame->BeginMove(event->globalPosition().toPoint());
    } else if (event->button() == Qt::MiddleButton) {
        // The bar's Play also starts a stopped playlist again.
        if (doc && doc->videoControl)
            doc->videoControl->OnPlayButton();
        else if (doc)
            doc->OnCommand(ID_PLAY_PAUSE);
    }
    QWidget::mousePressEvent(event);
}

// The right button and the keyboard's menu key both arrive here, so they show the same menu.
void CMediaPlayerView::contextMenuEvent(QContextMenuEvent* event) {
    event->accept();
    ShowContextMenu(event->globalPos());
}

void CMediaPlayerView::ShowContextMenu(const QPoint& globalPos) {
    CMediaPlayerDoc* doc = CMediaPlayerDoc::Instance();
    if (!doc) return;
    QMenu* menu = CMainMenu::Build(
        this, [doc](int id) { doc->OnCommand(id); },
        [doc](int id) {
            const CommandState state = doc->GetCommandState(id);
            return MainMenuItemState{state.enabled, state.checked, state.visible, state.text};
        });
    menu->setAttribute(Qt::WA_DeleteOnClose);
    menu->popup(globalPos);
}

bool CMediaPlayerView::DropAcceptable(const QMimeData* data) const {
    return data && data->hasUrls() && ThePlayer && ThePlayer->engine && MakeDropFilter().AcceptsAny(data->urls());
}

void CMediaPlayerView::dragEnterEvent(QDragEnterEvent* event) { dragMoveEvent(event); }

// The cursor shows acceptance only while the drag carries at least one file the engine can play.
void CMediaPlayerView::dragMoveEvent(QDragMoveEvent* event) {
    if (DropAcceptable(event->mimeData())) {
        event->setDropAction(Qt::MoveAction);
        event->accept();
    } else {
        event->ignore();
    }
}

void CMediaPlayerView::dropEvent(QDropEvent* event) {
    if (!ThePlayer || !ThePlayer->engine || !event->mimeData()->hasUrls()) return;
    const QStringList files = MakeDropFilter().Acceptable(event->mimeData()->urls());
    if (files.isEmpty()) return;
    event->setDropAction(Qt::MoveAction);
    event->accept();
    if (auto* doc = CMediaPlayerDoc::Instance()) doc->OnFilesDropped(files);
}
