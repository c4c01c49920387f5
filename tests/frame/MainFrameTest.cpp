// The real main frame: its painted border, black client area, minimum size, hosting and menus.
#include "frame/MainFrame.h"

#include <QApplication>
#include <QMenu>
#include <QMouseEvent>
#include <QTest>
#include <gtest/gtest.h>

namespace {
const QRgb Light = qRgb(0x60, 0x60, 0x60);
const QRgb Dark = qRgb(32, 31, 29);
const QRgb Black = qRgb(0, 0, 0);

class MainFrameTest : public ::testing::Test {
protected:
    void SetUp() override {
        frame.setGeometry(40, 40, 640, 360);
        frame.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&frame));
    }
    // A press at local in target, a drag by offset and a release, as the mouse reports them.
    void Drag(QWidget* target, QPoint local, QPoint offset) {
        const QPoint global = target->mapToGlobal(local), to = global + offset;
        QMouseEvent down(QEvent::MouseButtonPress, local, global, Qt::LeftButton, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(target, &down);
        QMouseEvent move(QEvent::MouseMove, frame.mapFromGlobal(to), to, Qt::NoButton, Qt::LeftButton,
                         Qt::NoModifier);
        QApplication::sendEvent(&frame, &move);
        QMouseEvent up(QEvent::MouseButtonRelease, frame.mapFromGlobal(to), to, Qt::LeftButton, Qt::NoButton,
                       Qt::NoModifier);
        QApplication::sendEvent(&frame, &up);
    }
    CMainFrame frame;
};
} // namespace

TEST_F(MainFrameTest, BorderIsLightOutsideAndInsideWithFourDarkLinesBetween) {
    const QImage img = frame.grab().toImage().convertToFormat(QImage::Format_RGB32);
    ASSERT_EQ(img.size(), QSize(640, 360));
    const int w = img.width(), h = img.height();
    const QRgb expectedAcross[] = {Light, Dark, Dark, Dark, Dark, Light, Black};
    for (int i = 0; i < 7; ++i) {
        EXPECT_EQ(img.pixel(i, h / 2), expectedAcross[i]) << "left column " << i;
        EXPECT_EQ(img.pixel(w - 1 - i, h / 2), expectedAcross[i]) << "right column " << i;
        EXPECT_EQ(img.pixel(w / 2, i), expectedAcross[i]) << "top row " << i;
        EXPECT_EQ(img.pixel(w / 2, h - 1 - i), expectedAcross[i]) << "bottom row " << i;
    }
    // Rows are drawn after columns: the dark rows cross the light outer column, the inner light row stops
    // at the columns, which keep their own colours there.
    EXPECT_EQ(img.pixel(0, 3), Dark);
    EXPECT_EQ(img.pixel(3, 5), Dark);
    EXPECT_EQ(img.pixel(5, 5), Light);
    EXPECT_EQ(frame.ClientArea()->geometry(), QRect(6, 6, w - 12, h - 12));
}

TEST_F(MainFrameTest, NeverSmallerThanTheMinimumWhenResizedOrDraggedAtTheLeftBorder) {
    const QRect before = frame.geometry();
    Drag(&frame, QPoint(2, 180), QPoint(400, 0));
    const QRect dragged = frame.geometry();
    frame.resize(100, 100);
    EXPECT_EQ(frame.size(), QSize(480, 280));
    if (dragged == before) GTEST_SKIP() << "the window system took over the resize";
    EXPECT_EQ(dragged.right(), before.right());
    EXPECT_EQ(dragged.width(), 480);
}

TEST_F(MainFrameTest, DraggingTheClientAreaMovesTheWindowWithoutResizingIt) {
    const QRect before = frame.geometry();
    Drag(frame.ClientArea(), QPoint(100, 100), QPoint(50, 30));
    EXPECT_FALSE(frame.MovingOrSizing()) << "the move ends with the button";
    EXPECT_EQ(QWidget::mouseGrabber(), nullptr) << "the mouse is released with the button";
    if (frame.geometry() == before) GTEST_SKIP() << "the window system took over the move";
    EXPECT_EQ(frame.geometry(), before.translated(50, 30));
}

TEST_F(MainFrameTest, CentralViewFillsTheClientAreaAndOverlaysStackAboveIt) {
    auto* view = new QWidget;
    frame.SetCentralView(view);
    auto* bar = new QWidget;
    bar->setGeometry(10, 10, 100, 20);
    frame.AddOverlay(bar);
    frame.resize(700, 420);
    QApplication::processEvents();
    EXPECT_EQ(view->size(), QSize(700 - 12, 420 - 12));
    EXPECT_EQ(frame.childAt(50, 20), bar);
    EXPECT_EQ(frame.childAt(300, 200), view);
}

TEST_F(MainFrameTest, OnlyTopLevelMenusCountAsAnOpenPopupMenu) {
    QMenu menu;
    QMenu* sub = menu.addMenu("Sub");
    sub->addAction("Item");
    menu.popup(frame.mapToGlobal(QPoint(50, 50)));
    EXPECT_TRUE(frame.popupMenuOpen);
    sub->popup(frame.mapToGlobal(QPoint(120, 50)));
    sub->hide();
    EXPECT_TRUE(frame.popupMenuOpen) << "closing a submenu leaves the context menu open";
    menu.hide();
    EXPECT_FALSE(frame.popupMenuOpen);
}
