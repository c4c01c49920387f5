// CCustomStatic: a skinned text label (the control bar's clocks): white text centred on black.
#pragma once

#include <QImage>
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
    // Over the picture the label is painted again with every frame under it; its text is shaped and drawn
    // only when it, the size or the density changes.
    QImage cached;
    QString cachedText;
};
