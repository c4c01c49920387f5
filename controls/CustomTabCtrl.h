// CCustomTabCtrl: the skinned tab strip of the video tools window, flat coloured tabs over the panel's skin.
#pragma once

#include <QColor>
#include <QPointer>
#include <QTabBar>
#include <memory>

// Which of the three text colours a tab uses: disabled wins, then the selected tab's colour, then the plain one.
QColor TabTextColor(bool enabled, bool selected, const QColor& text, const QColor& disabledText,
                    const QColor& selectedText);

class CCustomTabCtrl : public QTabBar {
    Q_OBJECT
public:
    explicit CCustomTabCtrl(QWidget* parent = nullptr);

    // Every tab gets this size (an invalid size: the tab bar's own measure); minimum width applies either way.
    void SetItemSize(const QSize& size);
    void SetMinTabWidth(int width);

    const QImage* parentImage = nullptr; // the panel's skin, stretched over the panel; not owned
    std::unique_ptr<QFont> tabFont;      // owned; null: tabs are filled but carry no text
    QColor itemFill;                     // the palette's window colour until the owner sets one
    QColor textColor{0, 0, 0};
    QColor disabledTextColor;            // the palette's disabled text colour until the owner sets one
    QColor selectedTextColor{255, 0, 0};
    bool drawParentBackground = true;

protected:
    bool event(QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    QSize tabSizeHint(int index) const override;
    QSize minimumTabSizeHint(int index) const override;

private:
    QSize itemSize;
    int minTabWidth = 0;
};
