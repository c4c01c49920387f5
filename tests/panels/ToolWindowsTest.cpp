// The video tools window, the file information window and the about box on the real document, view and
// engine module: what they show, what their controls do to the engine and the settings, and how they close.
#include "controls/CustomButton.h"
#include "controls/CustomSlider.h"
#include "controls/CustomTabCtrl.h"
#include "controls/MFCWebLink.h"
#include "document/RedadIzivad.h"
#include "panels/AboutDlg.h"
#include "panels/FileInfoDlg.h"
#include "panels/VideoToolPages.h"
#include "panels/VideoTools.h"
#include "settings/ProgramParams.h"
#include "tests/document/DocumentFixture.h"

#include <QLabel>
#include <QPointer>
#include <QTextEdit>

namespace {
// The average of the front picture's bytes: brighter pictures give more.
double MeanOfPicture(CVideoEngine& engine) {
    CFrameView frame = engine.LockFrame();
    if (!frame.Bits() || frame.Bytes() == 0) return -1;
    double sum = 0;
    for (std::size_t i = 0; i < frame.Bytes(); ++i) sum += frame.Bits()[i];
    return sum / double(frame.Bytes());
}

std::uint64_t PictureSerial(CVideoEngine& engine) { return engine.LockFrame().Serial(); }

// A point of the slider's track that stands for value (the track spans most of the slider's width).
QPoint PointFor(const CCustomSlider* slider, std::int64_t value) {
    for (int x = 0; x < slider->width(); ++x)
        if (slider->PositionFromPoint(QPoint(x, slider->height() / 2)) >= value) return QPoint(x, slider->height() / 2);
    return QPoint(slider->width() - 1, slider->height() / 2);
}

class ToolWindows : public DocumentTest {
protected:
    void SetUp() override {
        DocumentTest::SetUp();
        Params.AudioBalance = 0;
    }
    void OpenPaused(const QString& clip) {
        OpenFiles({clip});
        ASSERT_TRUE(WaitFor([&] { return PictureSerial(Engine()) != 0; })) << "no picture came";
        Press(ID_PLAY_PAUSE);
        ASSERT_TRUE(WaitFor([&] { return GetPlayState() == PlayState::Paused; }));
        QTest::qWait(100); // the thread's last playing picture has been handed over
    }
    CVideoTools* OpenTools() {
        Press(ID_VIDEO_TOOLS);
        CVideoTools* tools = doc->videoTools.get();
        if (tools) {
            EXPECT_TRUE(QTest::qWaitForWindowExposed(tools));
        }
        return tools;
    }
};
} // namespace

TEST(FileInfoFormat, LinesOfTheReport) {
    const struct {
        FileInfoFacts facts;
        QStringList lines;
    } cases[] = {
        {{"film.mkv", 1920, 1080, 25.0f, 90 * 60, 2147483648LL},
         {"Width:\t\t1920 pixels\n", "Height:\t1080 pixels\n", "Frame rate:\t25.00 fps\n", "Duration:\t01h 30min 00sec\n",
          "Aspect ratio:\t1.78:1\n", "File Size:\t 2.00 GiB\n"}},
        // No status for the file: everything but the size; a day and more wraps around like a clock.
        {{"gone.avi", 640, 480, 29.97f, 25 * 3600 + 61, std::nullopt},
         {"Width:\t\t640 pixels\n", "Height:\t480 pixels\n", "Frame rate:\t29.97 fps\n", "Duration:\t01h 01min 01sec\n",
          "Aspect ratio:\t1.33:1\n"}},
    };
    for (const auto& c : cases) EXPECT_EQ(FileInfoLines(c.facts), c.lines) << c.facts.name.toStdString();
    EXPECT_EQ(FileInfoReport(std::nullopt), "No Video File Opened\n" + QString(44, '-') + "\n\n");
}

TEST_F(ToolWindows, FileInformationFollowsTheOpenFileAndLeavesOutTheSizeOfADeletedOne) {
    const QString first = temp.filePath("first clip.mp4"), second = temp.filePath("second.mp4");
    ASSERT_TRUE(QFile::copy(Clip("h264_aac_640x360_25.mp4"), first));
    ASSERT_TRUE(QFile::copy(Clip("numbered_320x240_25.mp4"), second));
    OpenFiles({first});
    Press(ID_FILE_INFORMATION);
    CFileInfoDlg* info = doc->fileInfoDlg.get();
    ASSERT_TRUE(info && info->isVisible());
    QString text = info->ReportText();
    EXPECT_TRUE(text.startsWith("first clip.mp4\n" + QString(44, '-') + "\n\nWidth:\t\t640 pixels\n")) << text.toStdString();
    EXPECT_TRUE(text.contains("Aspect ratio:\t1.78:1\n")) << text.toStdString();
    EXPECT_TRUE(text.contains("File Size:\t 0.00 GiB")) << text.toStdString();

    // Another file while the window is up: the whole report is the new file's.
    OpenFiles({second});
    text = info->ReportText();
    EXPECT_TRUE(text.startsWith("second.mp4\n")) << text.toStdString();
    EXPECT_TRUE(text.contains("Width:\t\t320 pixels\nHeight:\t240 pixels\n")) << text.toStdString();
    EXPECT_FALSE(text.contains("first clip")) << text.toStdString();

    // Deleted after it was opened: every line but the size.
    ASSERT_TRUE(QFile::remove(second));
    const QPointer<CFileInfoDlg> before(info);
    Press(ID_FILE_INFORMATION);
    // Compared through a guard: the new window may well be given the old one's address.
    EXPECT_TRUE(before.isNull() && doc->fileInfoDlg) << "each command makes the window anew";
    text = doc->fileInfoDlg->ReportText();
    EXPECT_TRUE(text.contains("Duration:\t00h 00min 10sec\nAspect ratio:\t1.33:1\n")) << text.toStdString();
    EXPECT_FALSE(text.contains("File Size")) << text.toStdString();
}

TEST_F(ToolWindows, SlidersHaveTheirRangesAndStartFromTheSettings) {
    Params.Brightness = -40, Params.Contrast = 30, Params.Saturation = 255, Params.AudioBalance = -100;
    OpenFiles({Clip("h264_aac_640x360_25.mp4")});
    CVideoTools* tools = OpenTools();
    ASSERT_TRUE(tools);
    const struct {
        CCustomSlider* slider;
        int minimum, maximum, position;
    } rows[] = {
        {tools->imagePage->sliders[CVideoDlg::Brightness], -255, 255, -40},
        {tools->imagePage->sliders[CVideoDlg::Contrast], -100, 100, 30},
        {tools->imagePage->sliders[CVideoDlg::Saturation], -255, 255, 255},
        {tools->soundPage->balanceSlider, -100, 100, -100},
    };
    for (const auto& r : rows) {
        EXPECT_EQ(r.slider->minimum, r.minimum);
        EXPECT_EQ(r.slider->maximum, r.maximum);
        EXPECT_EQ(r.slider->position, r.position);
    }
    EXPECT_TRUE(tools->imagePage->isVisible());
    EXPECT_FALSE(tools->soundPage->isVisible());
    QTest::mouseClick(tools->tabControl, Qt::LeftButton, {}, tools->tabControl->tabRect(1).center());
    EXPECT_TRUE(tools->soundPage->isVisible());
    EXPECT_FALSE(tools->imagePage->isVisible());

    // The balance goes to the settings; its reset puts the slider in the middle.
    CCustomSlider* balance = tools->soundPage->balanceSlider;
    QTest::mouseClick(balance, Qt::LeftButton, {}, PointFor(balance, 50));
    EXPECT_EQ(Params.AudioBalance, balance->position);
    EXPECT_GE(Params.AudioBalance, 50);
    QTest::mouseClick(tools->soundPage->resetButton, Qt::LeftButton);
    EXPECT_EQ(Params.AudioBalance, 0);
    EXPECT_EQ(balance->position, 0);
}

TEST_F(ToolWindows, MovingASliderWhilePausedRedrawsThePictureAndOnlyTheNewestWaitingValueIsApplied) {
    OpenPaused(Clip("h264_aac_640x360_25.mp4"));
    CVideoTools* tools = OpenTools();
    ASSERT_TRUE(tools);
    CVideoDlg* page = tools->imagePage;
    CCustomSlider* brightness = page->sliders[CVideoDlg::Brightness];
    const double before = MeanOfPicture(Engine());
    const std::uint64_t serial = PictureSerial(Engine());

    QTest::mousePress(brightness, Qt::LeftButton, {}, PointFor(brightness, 100));
    const int first = Params.Brightness;
    EXPECT_GE(first, 100);
    EXPECT_TRUE(page->RedrawPending());
    // Two more moves before the redraw is back: they wait, and only the last of them counts.
    SendMouseMove(brightness, PointFor(brightness, 150));
    SendMouseMove(brightness, PointFor(brightness, 200));
    const int newest = int(brightness->position);
    EXPECT_EQ(Params.Brightness, first) << "a move reached the engine while a redraw was pending";
    ASSERT_TRUE(WaitFor([&] { return Params.Brightness == newest && !page->RedrawPending(); }));
    QTest::mouseRelease(brightness, Qt::LeftButton, {}, PointFor(brightness, 200));

    EXPECT_NE(PictureSerial(Engine()), serial) << "the paused picture was not redrawn";
    EXPECT_GT(MeanOfPicture(Engine()), before + 20);
    EXPECT_EQ(GetPlayState(), PlayState::Paused);

    // Reset: 0 to the engine, the slider in the middle, the picture back as it was.
    QTest::mouseClick(page->resetButtons[CVideoDlg::Brightness], Qt::LeftButton);
    EXPECT_EQ(Params.Brightness, 0);
    EXPECT_EQ(brightness->position, (brightness->minimum + brightness->maximum) / 2);
    EXPECT_TRUE(WaitFor([&] { return std::abs(MeanOfPicture(Engine()) - before) < 2; }));
}

TEST_F(ToolWindows, KeyboardPictureChangesMoveTheSlidersAndTheCommandMakesTheWindowAnew) {
    OpenFiles({Clip("h264_aac_640x360_25.mp4")});
    QPointer<CVideoTools> tools = OpenTools();
    ASSERT_TRUE(tools);
    for (int i = 0; i < 3; ++i) doc->ChangeBrightness(1);
    doc->ChangeContrast(-1);
    EXPECT_EQ(tools->imagePage->sliders[CVideoDlg::Brightness]->position, 3);
    EXPECT_EQ(tools->imagePage->sliders[CVideoDlg::Contrast]->position, -1);

    Params.AudioBalance = 40; // the balance is only read when the window is made
    EXPECT_EQ(tools->soundPage->balanceSlider->position, 0);
    Press(ID_VIDEO_TOOLS);
    EXPECT_TRUE(tools.isNull()) << "the old window is gone";
    ASSERT_EQ(CVideoTools::Instance(), doc->videoTools.get());
    EXPECT_EQ(doc->videoTools->soundPage->balanceSlider->position, 40);
    EXPECT_EQ(doc->videoTools->imagePage->sliders[CVideoDlg::Brightness]->position, 3);
}

TEST_F(ToolWindows, EscAndKeysTypedOnAToolWindowGoToThePlayerAndEscHidesOneWindowAPress) {
    OpenFiles({Clip("h264_aac_640x360_25.mp4")});
    Press(ID_SIZE_FULLSCREEN);
    ASSERT_TRUE(doc->fullScreen);
    Press(ID_VIDEO_TOOLS);
    Press(ID_FILE_INFORMATION);
    Press(ID_APP_ABOUT);
    QList<QWidget*> windows{doc->aboutDlg.window(), doc->videoTools.window(), doc->fileInfoDlg.window()};
    for (QWidget* w : windows) {
        ASSERT_TRUE(w && w->isVisible());
        EXPECT_TRUE(w->windowFlags().testFlag(Qt::WindowStaysOnTopHint));
        EXPECT_EQ(w->parentWidget(), frame.get()) << "kept above the player's frame";
    }

    const int contrast = Params.Contrast;
    QTest::keyClick(windows[0], Qt::Key_E);
    EXPECT_TRUE(WaitFor([&] { return Params.Contrast == contrast + 1; })) << "a hot key typed on a tool window";

    for (int i = 0; i < windows.size(); ++i) {
        QTest::keyClick(windows[i], Qt::Key_Escape);
        ASSERT_TRUE(WaitFor([&] { return !windows[i]->isVisible(); })) << i;
        for (int j = i + 1; j < windows.size(); ++j) EXPECT_TRUE(windows[j]->isVisible()) << i << j;
        EXPECT_TRUE(doc->fullScreen) << "Esc left full screen while a tool window was open";
    }
    QTest::keyClick(view, Qt::Key_Escape);
    EXPECT_TRUE(WaitFor([&] { return !doc->fullScreen; }));
}

TEST_F(ToolWindows, AToolWindowIsDraggedByItsBackground) {
    Press(ID_FILE_INFORMATION);
    CFileInfoDlg* info = doc->fileInfoDlg.get();
    ASSERT_TRUE(info && QTest::qWaitForWindowExposed(info));
    EXPECT_EQ(info->ReportText(), "No Video File Opened\n" + QString(44, '-') + "\n\n");
    const QPoint start = info->pos(), grip(100, 8);
    QTest::mousePress(info, Qt::LeftButton, {}, grip);
    SendMouseMove(info, grip + QPoint(40, 30));
    QTest::mouseRelease(info, Qt::LeftButton, {}, grip + QPoint(40, 30));
    EXPECT_TRUE(WaitFor([&] { return info->pos() == start + QPoint(40, 30); }, 3000)) << info->pos().x() << "," << info->pos().y();
}

TEST_F(ToolWindows, AboutBoxShowsTheVersionTheHotKeyCardAndItsLinks) {
    const QString oldFolder = ProgramFolder;
    ProgramFolder = temp.path();
    const struct {
        const char* name;
        std::optional<QByteArray> card; // none: no file at all
    } cases[] = {{"card", QByteArray("Space  Play / Pause\n")}, {"empty card", QByteArray()}, {"no card", std::nullopt}};
    for (const auto& c : cases) {
        QFile::remove(CAboutDlg::HotKeysPath());
        if (c.card) {
            ASSERT_TRUE(WriteFile(CAboutDlg::HotKeysPath(), *c.card));
        }
        Press(ID_APP_ABOUT);
        CAboutDlg* about = doc->aboutDlg.get();
        ASSERT_TRUE(about && about->isVisible()) << c.name;
        EXPECT_EQ(about->windowTitle(), "NRX MediaPlayer v2.2.0");
        EXPECT_EQ(about->versionLabel->text(), "Version 2.2.0");
        EXPECT_EQ(about->hotKeys->toPlainText(), QString::fromLocal8Bit(c.card.value_or(QByteArray()))) << c.name;
        EXPECT_EQ(about->siteLink->toolTip(), "Visit our site");
        EXPECT_EQ(about->siteLink->url, Params.webSiteAddress);
        EXPECT_EQ(about->size(), QSize(465, 405));
    }
    ProgramFolder = oldFolder;
    EXPECT_TRUE(prompts.isEmpty()) << recorder.All();
}
