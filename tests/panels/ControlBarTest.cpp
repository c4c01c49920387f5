// The control bar on a real player: its buttons and sliders clicked as a user does, what it shows for a file
// and after a stop, where presses on its see-through parts go, and how rarely it repaints while playing.
#include "tests/document/DocumentFixture.h"

#include "controls/CustomButton.h"
#include "controls/CustomSlider.h"
#include "controls/CustomStatic.h"
#include "document/RedadIzivad.h"
#include "panels/VideoControl.h"

#include <QTest>

namespace {
class ControlBar : public DocumentTest {
protected:
    void SetUp() override {
        DocumentTest::SetUp();
        ASSERT_TRUE(doc->videoControl) << "the document makes the bar with the player";
        bar = doc->videoControl.get();
    }
    void Click(QWidget* control) { QTest::mouseClick(control, Qt::LeftButton, {}, control->rect().center()); }
    CPlayList& List() const { return doc->Player()->playList; }

    CVideoControl* bar = nullptr;
};
} // namespace

TEST_F(ControlBar, IsAShownOverlayOfTheFrameThatNeverTakesTheKeyboard) {
    EXPECT_EQ(bar->parentWidget(), frame.get());
    EXPECT_FALSE(bar->isWindow());
    EXPECT_TRUE(bar->isVisible());
    EXPECT_EQ(CVideoControl::CreateControlBar(nullptr, "Video Control"), nullptr);
    for (QWidget* child : bar->findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) EXPECT_EQ(child->focusPolicy(), Qt::NoFocus);
    EXPECT_EQ(bar->playButton->toolTip(), "Play/Pause");
    EXPECT_EQ(bar->infoButton->toolTip(), "Video File Info");
}

TEST_F(ControlBar, ShowsTheFileWhilePlayingAndEmptiesAtStop) {
    OpenFiles({Clip("numbered_320x240_25.mp4")});
    EXPECT_TRUE(bar->MediaShown());
    EXPECT_EQ(bar->seekSlider->maximum, Engine().GetFrameCount());
    EXPECT_EQ(bar->durationLabel->text(), "00:00:10");
    EXPECT_TRUE(bar->playButton->isChecked());
    ASSERT_TRUE(WaitFor([this] { return bar->currentTimeLabel->text() == "00:00:01"; }));

    Click(bar->stopButton);
    EXPECT_EQ(GetPlayState(), PlayState::Stopped);
    EXPECT_FALSE(bar->MediaShown()) << "a stop brings no picture, yet the bar must empty";
    EXPECT_EQ(bar->durationLabel->text(), "--:--:--");
    EXPECT_EQ(bar->currentTimeLabel->text(), "--:--:--");
    EXPECT_EQ(bar->seekSlider->maximum, 100);
    EXPECT_FALSE(bar->playButton->isChecked());
}

TEST_F(ControlBar, MuteTwiceRestoresAndTheVolumeSliderEndsMute) {
    OpenFiles({Clip("numbered_320x240_25.mp4")});
    ASSERT_EQ(Engine().GetVolume(), CVideoControl::InitialVolume);
    Click(bar->muteButton);
    EXPECT_TRUE(bar->muteButton->isChecked());
    EXPECT_EQ(Engine().GetVolume(), 0);
    EXPECT_EQ(bar->VolumePosition(), 0);
    Click(bar->muteButton);
    EXPECT_FALSE(bar->muteButton->isChecked());
    EXPECT_EQ(Engine().GetVolume(), CVideoControl::InitialVolume);

    Click(bar->muteButton);
    const QPoint quarter(bar->volumeSlider->width() / 4, bar->volumeSlider->height() / 2);
    const auto wanted = bar->volumeSlider->PositionFromPoint(quarter);
    ASSERT_GT(wanted, 0);
    QTest::mouseClick(bar->volumeSlider, Qt::LeftButton, {}, quarter);
    EXPECT_FALSE(bar->muteButton->isChecked());
    EXPECT_EQ(Engine().GetVolume(), wanted);
    EXPECT_EQ(StatusText(), QStringLiteral("Volume: %1%").arg(wanted));
}

TEST_F(ControlBar, PlayWithAnEmptyPlaylistDoesNothing) {
    Click(bar->playButton);
    EXPECT_EQ(GetPlayState(), PlayState::Stopped);
    EXPECT_FALSE(doc->IsFileOpen());
    EXPECT_TRUE(prompts.isEmpty());
}

TEST_F(ControlBar, PlayAfterNextPastTheEndStartsAgainAtTheFirstEntry) {
    const QString first = Clip("numbered_320x240_25.mp4"), second = Clip("nrx-demo.mp4");
    OpenFiles({first, second});
    Click(bar->nextButton);
    ASSERT_EQ(Engine().GetFilePath(), second);
    Click(bar->nextButton);
    ASSERT_EQ(List().Current(), -1) << "past the end nothing is current";

    Click(bar->stopButton);
    Click(bar->playButton);
    EXPECT_EQ(Engine().GetFilePath(), first);
    EXPECT_EQ(GetPlayState(), PlayState::Playing);
    EXPECT_TRUE(bar->playButton->isChecked());
}

TEST_F(ControlBar, SlowAndFastDoNothingUnlessPlaying) {
    OpenFiles({Clip("numbered_320x240_25.mp4")});
    Click(bar->playButton);
    ASSERT_EQ(GetPlayState(), PlayState::Paused);
    EXPECT_FALSE(bar->playButton->isChecked());
    const QString before = StatusText();
    for (QWidget* button : {bar->fastButton, bar->slowButton}) Click(button);
    EXPECT_FLOAT_EQ(Engine().GetRate(), 1.0f);
    EXPECT_EQ(StatusText(), before);

    Click(bar->playButton);
    EXPECT_EQ(GetPlayState(), PlayState::Playing);
    Click(bar->fastButton);
    EXPECT_FLOAT_EQ(Engine().GetRate(), 1.5f) << "and they do act while playing";
}

TEST_F(ControlBar, PressesOnTheSeeThroughPartsGoToTheView) {
    OpenFiles({Clip("numbered_320x240_25.mp4")});
    const QPoint between = bar->Layout().list.topRight() + QPoint(40, 0); // right of the window buttons
    ASSERT_EQ(bar->childAt(between), nullptr);
    QTest::mouseClick(bar, Qt::MiddleButton, {}, between);
    EXPECT_EQ(GetPlayState(), PlayState::Paused) << "the view's middle click runs Play";
    QTest::mouseClick(bar->stopButton, Qt::MiddleButton);
    EXPECT_EQ(GetPlayState(), PlayState::Paused) << "a middle click on a button is not the view's";
}

TEST_F(ControlBar, DraggingTheSeekBarSeeksAndTheKnobStaysWithTheMouse) {
    OpenFiles({Clip("nrx-demo.mp4")});
    CCustomSlider* seek = bar->seekSlider;
    const QPoint target(seek->width() * 3 / 4, seek->height() / 2);
    QTest::mousePress(seek, Qt::LeftButton, {}, target);
    const auto wanted = seek->position;
    ASSERT_GT(wanted, Engine().GetFrameCount() / 2);
    QTest::qWait(300); // pictures keep coming meanwhile
    EXPECT_EQ(seek->position, wanted) << "the refresh did not pull the knob back while the button is held";
    QTest::mouseRelease(seek, Qt::LeftButton, {}, target);
    EXPECT_TRUE(WaitFor([&] { return std::llabs(Engine().GetCurrentFrame() - wanted) < 50; }));
    EXPECT_TRUE(WaitFor([&] { return seek->position > wanted; })) << "then it follows the playback again";
}

TEST_F(ControlBar, RepaintsTheSeekBarOnlyWhenTheKnobMovesByAPixel) {
    OpenFiles({Clip("nrx-demo.mp4")});
    // About a third of a pixel per frame: most pictures leave the seek bar as it was.
    bar->resize(200, bar->height());
    // The bars hide during playback unless the pointer is over the window, and other tests move the shared
    // display's pointer: an open menu keeps them shown whatever the pointer does.
    doc->popupMenuOpen = true;
    doc->UpdatePanelVisibility();
    ASSERT_TRUE(bar->isVisible());
    QCoreApplication::processEvents();
    EventCounter seekPaints(bar->seekSlider, QEvent::Paint);
    int notices = 0;
    QObject::connect(&doc->Player()->notifier, &CPlayerNotifier::frameReady, bar, [&] { ++notices; },
                     Qt::QueuedConnection);
    const auto from = Engine().GetCurrentFrame();
    ASSERT_TRUE(WaitFor([&] { return notices >= 60; }));
    EXPECT_GT(Engine().GetCurrentFrame() - from, 50);
    EXPECT_GT(seekPaints.count, 0) << "the knob does move";
    EXPECT_LT(seekPaints.count, notices / 2) << seekPaints.count << " paints for " << notices << " pictures";
}
