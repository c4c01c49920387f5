// CCustomStatic: a skinned text label (the control bar's clocks): white text centred on black.
#pragma once

#include "controls/KeptDrawing.h"

#include <QLabel>
#include <memory>

class CCustomStatic : public QLabel {
    Q_OBJECT
public:
    explicit CCustomStatic(QWidget* parent = nullptr);

    // The font becomes that family at 8 points, regular (the generic sans-serif family when unknown).
    void SetStaticFont(const QString& family);

    std::unique_ptr<QFont> staticFont; // null: nothing is drawn but the label's own look
    QRect paintedRect;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    // The text is shaped and drawn only when it changes.
    CKeptDrawing<QString> kept;
};
