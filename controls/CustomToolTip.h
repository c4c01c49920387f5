// CCustomToolTip: a small borderless popup with one line of white text, used as the seek bar's time tip.
#pragma once

#include <QSize>
#include <QString>
#include <QWidget>
#include <memory>

class CCustomToolTip : public QWidget {
    Q_OBJECT
public:
    // The popup owned by owner's window (it stays above it and goes away with it); hidden until shown.
    static std::unique_ptr<CCustomToolTip> CreateToolTipWindow(QWidget* owner);

    // Shows text centred above the screen point p. The text is measured only when its length differs from the
    // last one (a running clock keeps its width), so the tip follows the mouse without re-measuring.
    // Does nothing without a font.
    void ShowTipAt(const QString& text, const QPoint& p);

    std::unique_ptr<QFont> font; // owned; null: the tip draws nothing
    QPoint anchor{-999, -999};
    QString text;
    QSize textSize{-999, -999};

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    explicit CCustomToolTip(QWidget* owner);
};
