#include "view/KeyForwarder.h"

#include <QChildEvent>
#include <QCoreApplication>
#include <QKeyEvent>
#include <QWheelEvent>
#include <QWidget>

namespace {
// Marks a watched root whose future children are watched too.
constexpr const char* kTreeProperty = "nrxKeyForwarderTree";
} // namespace

CKeyForwarder::CKeyForwarder(QWidget* target, QObject* parent) : QObject(parent), target_(target) {}

bool CKeyForwarder::IsInsideTarget(const QWidget* widget) const
{
    return target_ && (widget == target_ || target_->isAncestorOf(widget));
}

void CKeyForwarder::Watch(QWidget* widget)
{
    if (!widget || IsInsideTarget(widget))
        return;
    // Installing twice would not duplicate delivery, but removing first keeps the filter order stable.
    widget->removeEventFilter(this);
    widget->installEventFilter(this);
}

void CKeyForwarder::WatchTree(QWidget* root)
{
    if (!root || IsInsideTarget(root))
        return;
    root->setProperty(kTreeProperty, true);
    Watch(root);
    for (QWidget* child : root->findChildren<QWidget*>())
        Watch(child);
}

bool CKeyForwarder::eventFilter(QObject* watched, QEvent* event)
{
    switch (event->type()) {
    case QEvent::ChildAdded: {
        auto* child = qobject_cast<QWidget*>(static_cast<QChildEvent*>(event)->child());
        // A child is announced before its own children exist, so a new sub-tree is watched as a tree.
        if (child && watched->property(kTreeProperty).toBool())
            WatchTree(child);
        return false;
    }
    case QEvent::KeyPress: {
        if (!target_)
            return false;
        const auto* key = static_cast<QKeyEvent*>(event);
        QCoreApplication::postEvent(target_, new QKeyEvent(QEvent::KeyPress, key->key(), key->modifiers(),
                                                           key->nativeScanCode(), key->nativeVirtualKey(),
                                                           key->nativeModifiers(), key->text(),
                                                           key->isAutoRepeat(), key->count()));
        return true;
    }
    case QEvent::Wheel: {
        if (!target_)
            return false;
        const auto* wheel = static_cast<QWheelEvent*>(event);
        const QPointF global = wheel->globalPosition();
        QCoreApplication::postEvent(target_, new QWheelEvent(target_->mapFromGlobal(global), global,
                                                             wheel->pixelDelta(), wheel->angleDelta(),
                                                             wheel->buttons(), wheel->modifiers(),
                                                             wheel->phase(), wheel->inverted()));
        return true;
    }
    default:
        return false;
    }
}
