// The skinned button, slider and clock as real widgets: hover, the checked look, missing art, keys and
// wheel turns handed to the forward window, drag rules, the coalesced seek requests, kept drawings that
// follow every change, and the 2x art on dense surfaces.
#include "controls/CustomButton.h"
#include "controls/CustomSlider.h"
#include "controls/CustomStatic.h"
#include "tests/TestSupport.h"

#include <QKeyEvent>
#include <QPainter>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <gtest/gtest.h>

namespace {
class Recorder : public QWidget {
public:
    QList<int> keys;
    int wheels = 0;

protected:
    void keyPressEvent(QKeyEvent* event) override { keys << event->key(); }
    void wheelEvent(QWheelEvent*) override { ++wheels; }
};

class Controls : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(dir.isValid()); }
    // A solid image with a transparent margin, so the hover enlargement shows at the button's edge.
    QString Image(const QString& name, QColor colour, int size = 20) {
        QImage image(size, size, QImage::Format_ARGB32);
        image.fill(Qt::transparent);
        QPainter(&image).fillRect(size / 4, size / 4, size / 2, size / 2, colour);
        const QString path = dir.filePath(name);
        EXPECT_TRUE(image.save(path));
        return path;
    }
    static QColor Pixel(QWidget& widget, int x, int y) { return widget.grab().toImage().pixelColor(x, y); }

    QTemporaryDir dir;
    QWidget panel;
};
} // namespace

TEST_F(Controls, ButtonShowsTheCheckedLookOnlyWhenItHasOne) {
    CCustomButton button(&panel);
    button.SetImages(Image("red.png", Qt::red), Image("blue.png", Qt::blue));
    button.SizeToContent();
    EXPECT_EQ(button.size(), QSize(20, 20));
    EXPECT_TRUE(button.isCheckable());
    EXPECT_EQ(Pixel(button, 10, 10), QColor(Qt::red));
    button.setChecked(true);
    EXPECT_EQ(Pixel(button, 10, 10), QColor(Qt::blue));

    button.SetImages(Image("green.png", Qt::green), dir.filePath("missing.png"));
    button.setChecked(true);
    EXPECT_EQ(Pixel(button, 10, 10), QColor(Qt::green)) << "a missing second look falls back to the first";
    button.SetImages(QString(), Image("blue.png", Qt::blue));
    EXPECT_EQ(Pixel(button, 10, 10), QColor(Qt::green)) << "an empty normal path keeps the images";

    CCustomButton broken(&panel);
    broken.backgroundColor = QColor(40, 80, 120);
    broken.SetImages(dir.filePath("missing.png"));
    broken.Resize(12, 12);
    EXPECT_EQ(Pixel(broken, 6, 6), QColor(40, 80, 120)) << "no art: the background, and no complaint";
}

TEST_F(Controls, ButtonGrowsUnderTheMouse) {
    CCustomButton button(&panel);
    button.SetImages(Image("red.png", Qt::red));
    button.SizeToContent();
    button.move(20, 20);
    panel.resize(100, 100);
    panel.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&panel));
    EXPECT_LT(Pixel(button, 4, 4).red(), 60) << "outside the image's opaque square";
    QTest::mouseMove(&button, QPoint(10, 10));
    ASSERT_TRUE(QTest::qWaitFor([&] { return button.IsHovered(); }));
    EXPECT_GT(Pixel(button, 4, 4).red(), 150) << "the enlarged image covers it";
    QTest::mouseMove(&panel, QPoint(90, 90));
    ASSERT_TRUE(QTest::qWaitFor([&] { return !button.IsHovered(); }));
}

TEST_F(Controls, KeysAndWheelTurnsGoToTheForwardWindowNotTheControl) {
    Recorder view;
    CCustomButton button(&panel);
    CCustomSlider slider(&panel);
    button.forwardWindow = &view;
    slider.forwardWindow = &view;
    QSignalSpy clicks(&button, &QAbstractButton::clicked);
    QTest::keyClick(&button, Qt::Key_Space);
    QTest::keyClick(&slider, Qt::Key_Right);
    QWheelEvent wheel(QPointF(5, 5), slider.mapToGlobal(QPointF(5, 5)), {}, QPoint(0, 120), Qt::NoButton,
                      Qt::NoModifier, Qt::NoScrollPhase, false);
    QApplication::sendEvent(&slider, &wheel);
    QCoreApplication::processEvents();
    EXPECT_EQ(view.keys, (QList<int>{Qt::Key_Space, Qt::Key_Right}));
    EXPECT_EQ(view.wheels, 1);
    EXPECT_EQ(clicks.count(), 0) << "Space went to the view, not to the button";

    CCustomButton alone(&panel); // no forward window: swallowed, and nothing breaks
    QTest::keyClick(&alone, Qt::Key_Space);
}

TEST_F(Controls, SliderClicksAndDragsWithThePlainLeftButtonOnly) {
    CCustomSlider slider(&panel);
    slider.resize(210, 20);
    slider.thickness = 50.0f; // track 10 high: x 5..205
    slider.minimum = -100;
    slider.maximum = 100;
    QSignalSpy moves(&slider, &CCustomSlider::PositionChanging);
    QTest::mousePress(&slider, Qt::LeftButton, {}, QPoint(5, 10));
    EXPECT_EQ(slider.position, -100);
    SendMouseMove(&slider, QPoint(900, 10));
    EXPECT_EQ(slider.position, 100) << "past the end: clamped";
    SendMouseMove(&slider, QPoint(105, 10), Qt::LeftButton, Qt::ShiftModifier);
    EXPECT_EQ(slider.position, 100) << "Shift+drag does nothing";
    SendMouseMove(&slider, QPoint(105, 10), Qt::NoButton);
    EXPECT_EQ(slider.position, 100) << "hovering does nothing";
    EXPECT_EQ(moves.count(), 2);
}

TEST_F(Controls, KeptDrawingsFollowEveryVisibleChange) {
    // Over the picture both keep what they drew; what they show must still follow each change.
    CCustomSlider slider(&panel);
    slider.resize(210, 20);
    slider.thickness = 50.0f; // track 10 high: x 5..205
    slider.maximum = 100;
    slider.trackColor = Qt::darkGray;
    slider.valueColor = Qt::green;
    slider.backgroundColor = TransparentKey;
    const auto valueShownAt = [&](int x) { return Pixel(slider, x, 10).green() > 200; };
    slider.position = 20;
    EXPECT_TRUE(valueShownAt(30));
    EXPECT_FALSE(valueShownAt(150));
    slider.position = 80;
    EXPECT_TRUE(valueShownAt(150)) << "a new position is drawn";
    slider.position = 20;
    EXPECT_FALSE(valueShownAt(150)) << "and so is the way back";
    slider.resize(420, 20);
    EXPECT_TRUE(valueShownAt(60)) << "a new size is drawn";
    EXPECT_FALSE(valueShownAt(300));

    CCustomStatic clock(&panel);
    clock.resize(80, 16);
    clock.SetStaticFont(QString());
    clock.setText("00:00:01");
    const QImage first = clock.grab().toImage();
    clock.setText("00:00:02");
    const QImage second = clock.grab().toImage();
    EXPECT_NE(first, second) << "a new time is drawn";
    clock.setText("00:00:01");
    EXPECT_EQ(clock.grab().toImage(), first);
}

TEST_F(Controls, SeekRequestsKeepOneOutstandingAndLandOnTheRelease) {
    CCustomSlider slider(&panel);
    slider.resize(210, 20);
    slider.thickness = 50.0f;
    slider.maximum = 200;
    QSignalSpy moves(&slider, &CCustomSlider::PositionChanging);
    QSignalSpy seeks(&slider, &CCustomSlider::SeekRequested);
    QTest::mousePress(&slider, Qt::LeftButton, {}, QPoint(5, 10));
    for (int x = 20; x <= 100; x += 20)
        SendMouseMove(&slider, QPoint(x, 10));
    QTest::mouseRelease(&slider, Qt::LeftButton, {}, QPoint(155, 10));
    EXPECT_EQ(moves.count(), 7) << "every step reaches the position at the mouse's pace";
    ASSERT_EQ(seeks.count(), 1) << "only the first seek is out while it is being served";
    slider.SeekServed();
    ASSERT_EQ(seeks.count(), 2);
    EXPECT_EQ(seeks.last().at(0).toLongLong(), 150) << "the newest position, where the button was let go";
    slider.SeekServed();
    EXPECT_EQ(seeks.count(), 2);
    QTest::mousePress(&slider, Qt::LeftButton, {}, QPoint(55, 10));
    EXPECT_EQ(seeks.count(), 3) << "with nothing out, the next move is sent at once";
}

TEST_F(Controls, DenseSurfacesGetTheTwinArt) {
    // The 1x file is red, its @2x twin blue: a 2x surface must show the twin, not an upscaled 1x image.
    const QString path = Image("Look.png", Qt::red);
    Image("Look@2x.png", Qt::blue, 40);
    CCustomButton button(&panel);
    button.SetImages(path);
    button.SizeToContent();
    QImage dense(40, 40, QImage::Format_ARGB32);
    dense.setDevicePixelRatio(2.0);
    button.render(&dense);
    EXPECT_EQ(dense.pixelColor(20, 20), QColor(Qt::blue));
    EXPECT_EQ(Pixel(button, 10, 10), QColor(Qt::red));
}

TEST_F(Controls, ControlsAreAnnouncedByTheirTooltip) {
    CCustomButton button(&panel);
    CCustomSlider slider(&panel);
    EXPECT_FALSE(button.accessibleName().isEmpty());
    button.setToolTip("Play");
    slider.setToolTip("Volume");
    EXPECT_EQ(button.accessibleName(), "Play");
    EXPECT_EQ(slider.accessibleName(), "Volume");
}
