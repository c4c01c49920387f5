// CCustomButton: the image button of every skinned panel: a normal and a checked image stretched over the
// button, on the piece of the panel's skin behind it or a flat colour, growing a little under the mouse.
// Keys and wheel turns are handed to the forward window so hot keys work whatever has the focus.
#pragma once

#include <QFont>
#include <functional>
#include <memory>

#include <QAbstractButton>
#include <QColor>
#include <QImage>
#include <QPointer>

#include "skins/SkinImage.h"

class CCustomButton : public QAbstractButton {
    Q_OBJECT
public:
    explicit CCustomButton(QWidget* parent = nullptr);

    // Loads the images. An empty normal path changes nothing; a non-empty checked path makes the button a
    // two-state (checkable) one. Missing files leave that image empty: the button still works, drawing less.
    void SetImages(const QString& normal, const QString& checked = {}, const QString& third = {});
    // Sets the width when cx >= 1 and the height when cy >= 1.
    void Resize(int cx, int cy);
    // The normal image's size (logical pixels); unless calcOnly, also resizes the button to it.
    QSize SizeToContent(bool calcOnly = false);
    // Draws the current look (hover enlargement, checked or normal image) into rect of another surface, for
    // panels that paint their buttons themselves.
    void DrawButtonImage(QPainter& painter, const QRect& rect) const;

    bool IsHovered() const { return hover; }
    QSize ImageSize() const { return imageSize; }

    QPointer<QWidget> forwardWindow;         // receives keys and wheel turns; none: they are swallowed
    QColor backgroundColor = Qt::black;      // flat background when there is no parent image
    const QImage* parentImage = nullptr;     // the panel's skin, stretched over the panel; not owned
    CSkinImage normalImage, checkedImage, thirdImage; // empty when not given or unreadable

    QSize sizeHint() const override;

protected:
    bool event(QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void enterEvent(QEnterEvent* event) override;
    void leaveEvent(QEvent* event) override;

private:
    QSize imageSize;
    bool hover = false;
};

// The colour the floating bars leave unpainted: a control whose background is this colour draws no background,
// so the picture under the bar shows through around it.
inline const QColor TransparentKey{5, 5, 5};
inline bool IsTransparentKey(const QColor& colour) { return colour.rgb() == TransparentKey.rgb(); }

// Posts a copy of a key or wheel event to target, positions taken relative to target. Shared by the controls.
void ForwardInputEvent(QWidget* from, QWidget* target, QEvent* event);
// The event handling every skinned control shares, at its edge with the event loop: keys and wheel turns
// go to forwardWindow (when forwardInput), a tooltip becomes the accessible name, and base handles the rest.
// Nothing throws out of it.
bool HandleControlEvent(QWidget* control, QWidget* forwardWindow, bool forwardInput, QEvent* event,
                        const std::function<bool()>& base);
// The skin font of a control: family when the system has it, else the system's sans-serif face.
std::unique_ptr<QFont> MakeControlFont(const QString& family, int pointSize, bool bold);
// Draws the part of parentImage lying behind control (the image being stretched over control's parent).
void DrawParentBackground(QPainter& painter, const QWidget* control, const QImage& parentImage);
