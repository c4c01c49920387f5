// Sends key presses and wheel turns that land on panels and skinned controls to the main view.
#pragma once

#include <QObject>
#include <QPointer>

class QWidget;

// An event filter: every key press and wheel event reaching a watched widget is posted to the target
// (the main view) and consumed, so hot keys and the wheel's volume step work whatever has the focus.
// Posting, not sending, lets the control finish its own event first, as the original posted messages
// did. Key releases and everything else pass untouched.
class CKeyForwarder : public QObject {
    Q_OBJECT
public:
    explicit CKeyForwarder(QWidget* target, QObject* parent = nullptr);

    // Watches one widget.
    void Watch(QWidget* widget);
    // Watches a panel with all its descendants, including children added later. The target itself
    // and anything inside it are never watched.
    void WatchTree(QWidget* root);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    bool IsInsideTarget(const QWidget* widget) const;

    QPointer<QWidget> target_;
};
