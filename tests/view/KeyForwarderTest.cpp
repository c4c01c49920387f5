#include "view/HotKeys.h"
#include "view/KeyForwarder.h"

#include <QHBoxLayout>
#include <QKeyEvent>
#include <QPushButton>
#include <QSlider>
#include <QTest>
#include <QWheelEvent>
#include <gtest/gtest.h>

#include <memory>
#include <vector>

namespace {

// Stands in for the main view: records what reaches it.
class TargetView : public QWidget {
public:
    std::vector<std::pair<int, Qt::KeyboardModifiers>> keys;
    std::vector<int> wheelSteps;

protected:
    void keyPressEvent(QKeyEvent* event) override { keys.emplace_back(event->key(), event->modifiers()); }
    void wheelEvent(QWheelEvent* event) override { wheelSteps.push_back(WheelVolumeStep(event->angleDelta().y())); }
};

void SendWheel(QWidget* widget, int delta)
{
    const QPointF local(widget->width() / 2.0, widget->height() / 2.0);
    QWheelEvent wheel(local, widget->mapToGlobal(local), QPoint(), QPoint(0, delta), Qt::NoButton, Qt::NoModifier,
                      Qt::NoScrollPhase, false);
    QCoreApplication::sendEvent(widget, &wheel);
}

struct Panel {
    std::unique_ptr<QWidget> window = std::make_unique<QWidget>();
    QPushButton* button = new QPushButton("Play", window.get());
    QSlider* slider = new QSlider(Qt::Horizontal, window.get());
    Panel()
    {
        auto* layout = new QHBoxLayout(window.get());
        layout->addWidget(button);
        layout->addWidget(slider);
        slider->setRange(0, 100);
        slider->setValue(50);
    }
};

class InputKeyForwarder : public ::testing::Test {
protected:
    void SetUp() override
    {
        forwarder.WatchTree(panel.window.get());
        panel.window->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(panel.window.get()));
    }

    TargetView view;
    Panel panel;
    CKeyForwarder forwarder{&view};
};

} // namespace

TEST_F(InputKeyForwarder, KeysOnAFocusedButtonReachTheViewInsteadOfTheButton)
{
    panel.button->setFocus();
    int clicks = 0;
    QObject::connect(panel.button, &QPushButton::clicked, [&] { ++clicks; });

    QTest::keyClick(panel.button, Qt::Key_Space);
    QTest::keyClick(panel.slider, Qt::Key_Right);
    QTest::keyClick(panel.button, Qt::Key_O, Qt::ControlModifier);
    // Forwarding is posted: nothing has arrived before the event loop runs.
    EXPECT_TRUE(view.keys.empty());
    QCoreApplication::processEvents();

    EXPECT_EQ(clicks, 0);
    EXPECT_EQ(panel.slider->value(), 50);
    std::vector<std::pair<int, Qt::KeyboardModifiers>> meaningful;
    for (const auto& key : view.keys)
        if (key.first != Qt::Key_Control)
            meaningful.push_back(key);
    ASSERT_EQ(meaningful.size(), 3u);
    EXPECT_EQ(meaningful[0].first, Qt::Key_Space);
    EXPECT_EQ(meaningful[1].first, Qt::Key_Right);
    EXPECT_EQ(meaningful[2].first, Qt::Key_O);
    EXPECT_TRUE(meaningful[2].second & Qt::ControlModifier);
}

TEST_F(InputKeyForwarder, WheelOnASliderChangesTheVolumeByTwoNotTheSlider)
{
    SendWheel(panel.slider, 240);
    SendWheel(panel.slider, -120);
    QCoreApplication::processEvents();
    EXPECT_EQ(panel.slider->value(), 50);
    EXPECT_EQ(view.wheelSteps, (std::vector<int>{2, -2}));
}

TEST_F(InputKeyForwarder, ControlsAddedLaterAreWatchedButTheViewsOwnChildrenAreNot)
{
    auto* viewChild = new QPushButton("in view", &view);
    forwarder.WatchTree(&view);
    forwarder.Watch(viewChild);

    // A control created after the panel was watched, with a child of its own.
    auto* group = new QWidget(panel.window.get());
    auto* late = new QPushButton("late", group);
    group->show();
    QTest::keyClick(late, Qt::Key_PageDown);
    QCoreApplication::processEvents();
    ASSERT_EQ(view.keys.size(), 1u);
    EXPECT_EQ(view.keys[0].first, Qt::Key_PageDown);

    // Keys inside the view are its own business: no second copy, no loop.
    int clicks = 0;
    QObject::connect(viewChild, &QPushButton::clicked, [&] { ++clicks; });
    viewChild->setFocus();
    QTest::keyClick(viewChild, Qt::Key_Space);
    QCoreApplication::processEvents();
    EXPECT_EQ(clicks, 1);
    EXPECT_EQ(view.keys.size(), 1u);
}

TEST(InputKeyForwarderLifetime, KeysArrivingAfterTheViewIsGoneAreLeftToTheControl)
{
    auto view = std::make_unique<TargetView>();
    Panel panel;
    CKeyForwarder forwarder(view.get());
    forwarder.WatchTree(panel.window.get());
    QTest::keyClick(panel.slider, Qt::Key_Right);
    // The posted copy dies with the view instead of reaching a deleted object.
    view.reset();
    QCoreApplication::processEvents();
    QTest::keyClick(panel.slider, Qt::Key_Right);
    EXPECT_EQ(panel.slider->value(), 51);
}
