// The title bar over a real player: its band, its caption through open and close, its way in and out of
// full screen, and where the document docks it.
#include "document/PanelLayout.h"
#include "panels/VideoTitle.h"
#include "tests/document/DocumentFixture.h"

#include "controls/CustomButton.h"
#include "engine/VideoEngine.h"

#include <QImage>
#include <QTest>

TEST(TitleBand, FadesByWholeStepsToNothingAtTheLastLine) {
    // 30 lines: a step of 9 (255/30 rounded) leaves 3 on line 28 and nothing on line 29.
    EXPECT_EQ(TitleBandAlpha(0, 30), 255);
    EXPECT_EQ(TitleBandAlpha(28, 30), 3);
    EXPECT_EQ(TitleBandAlpha(29, 30), 0);
    // The bar's own 26 lines step by 10; a taller band never goes below zero.
    EXPECT_EQ(TitleBandAlpha(25, 26), 5);
    EXPECT_EQ(TitleBandAlpha(99, 100), 0);
}

TEST_F(DocumentTest, TitleBarIsDockedInsideTheBorderAndItsBandLetsThePictureThrough) {
    ASSERT_TRUE(doc->videoTitle);
    CVideoTitle& title = *doc->videoTitle.get();
    EXPECT_EQ(title.parentWidget(), frame.get()) << "an overlay of the frame, not a window of its own";
    frame->resize(800, 500);
    EXPECT_TRUE(WaitFor([&] {
        return title.geometry() == TitleBarRect(frame->rect(), CVideoTitle::kHeight, 0, 0);
    })) << "docked at "
        << title.geometry().x() << "," << title.geometry().y() << " " << title.width();
    EXPECT_EQ(title.closeButton->geometry().right(), title.width() - 6) << "close sits 5 from the right edge";

    // Drawn over a red picture: opaque grey at the top, the picture almost untouched on the last line.
    QImage image(title.size(), QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::red);
    title.render(&image, QPoint(), QRegion(), QWidget::DrawChildren);
    EXPECT_EQ(image.pixelColor(100, 0), QColor(50, 50, 50));
    const QColor last = image.pixelColor(100, title.height() - 1);
    EXPECT_GT(last.red(), 240);
    EXPECT_LT(last.green(), 10);
    const QColor middle = image.pixelColor(100, title.height() / 2);
    EXPECT_GT(middle.red(), 100) << "half-way the picture shows through";
    EXPECT_LT(middle.red(), 200);
}

TEST_F(DocumentTest, CaptionNamesTheOpenFileAndClosingBringsBackTheProgramName) {
    CVideoTitle& title = *doc->videoTitle.get();
    EXPECT_EQ(title.Caption(), "NRX MediaPlayer");
    OpenFiles({Clip("numbered_320x240_25.mp4")});
    EXPECT_EQ(title.Caption(), Engine().GetDisplayName());
    EXPECT_NE(title.Caption(), "NRX MediaPlayer");
    doc->OnCommand(ID_CLOSE_FILE);
    EXPECT_EQ(title.Caption(), "NRX MediaPlayer");
}

TEST_F(DocumentTest, FullScreenFromTheKeyboardIsLeftByTheTitleBarToTheSameRectangle) {
    OpenFiles({Clip("numbered_320x240_25.mp4")});
    CVideoTitle& title = *doc->videoTitle.get();
    frame->setGeometry(150, 120, 700, 420);
    ASSERT_TRUE(WaitFor([&] { return doc->windowRect == QRect(150, 120, 700, 420); }));
    const QRect windowed = frame->geometry();

    Press(ID_SIZE_FULLSCREEN);
    ASSERT_TRUE(doc->fullScreen);
    EXPECT_TRUE(title.maximizeButton->isChecked()) << "the button shows restore in full screen";
    QTest::mouseClick(title.maximizeButton, Qt::LeftButton);
    EXPECT_FALSE(doc->fullScreen);
    EXPECT_FALSE(title.maximizeButton->isChecked());
    EXPECT_TRUE(WaitFor([&] { return frame->geometry() == windowed; }))
        << "back at " << frame->geometry().x() << "," << frame->geometry().y() << " " << frame->width() << "x"
        << frame->height();
    EXPECT_FALSE(doc->savedWindowRect.isValid()) << "the kept rectangle is used once";

    // Two double clicks on the band: in and out again, to the same place.
    QTest::mouseDClick(&title, Qt::LeftButton, {}, QPoint(40, 10));
    EXPECT_TRUE(doc->fullScreen);
    QTest::mouseDClick(&title, Qt::LeftButton, {}, QPoint(40, 10));
    EXPECT_FALSE(doc->fullScreen);
    EXPECT_TRUE(WaitFor([&] { return frame->geometry() == windowed; }));
}

TEST_F(DocumentTest, TitleBarCloseQuitsAndKeysOverItReachTheView) {
    CVideoTitle& title = *doc->videoTitle.get();
    bool quit = false;
    QObject::connect(doc.get(), &CMediaPlayerDoc::quitRequested, [&] { quit = true; });
    OpenFiles({Clip("numbered_320x240_25.mp4")});
    // Space typed while the pointer rests on the bar still pauses.
    QKeyEvent space(QEvent::KeyPress, Qt::Key_Space, Qt::NoModifier, QStringLiteral(" "));
    QCoreApplication::sendEvent(&title, &space);
    EXPECT_TRUE(WaitFor([&] { return GetPlayState() == PlayState::Paused; }));
    QTest::mouseClick(title.closeButton, Qt::LeftButton);
    EXPECT_TRUE(quit);
}
