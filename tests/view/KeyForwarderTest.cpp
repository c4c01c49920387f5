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

// Stands in for the main view: records the keys (modifier presses left out) and wheel steps reaching it.
class TargetView : public QWidget {
public:
    std::vector<QKeyCombination> keys;
    std::vector<int> wheelSteps;

protected:
    void keyPressEvent(QKeyEvent* event) override {
        if (event->key() != Qt::Key_Control)
            keys.push_back(event->keyCombination());
    }
    void wheelEvent(QWheelEvent* event) override { wheelSteps.push_back(WheelVolumeStep(event->angleDelta().y())); }
};

struct Panel {
    std::unique_ptr<QWidget> window = std::make_unique<QWidget>();
    QPushButton* button = new QPushButton("Play", window.get());
    QSlider* slider = new QSlider(Qt::Horizontal, window.get());
    Panel() {
        auto* layout = new QHBoxLayout(window.get());
        layout->addWidget(button);
        layout->addWidget(slider);
        slider->setRange(0, 100);
        slider->setValue(50);
    }
};

class KeyForwarder : public ::testing::Test {
protected:
    void SetUp() override {
        forwarder.WatchTree(panel.window.get());
        panel.window->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(panel.window.get()));
    }

    TargetView view;
    Panel panel;
    CKeyForwarder forwarder{&view};
};

} // namespace

TEST_F(KeyForwarder, KeysAndTheWheelOnAControlReachTheViewInsteadOfTheControl) {
    panel.button->setFocus();
    int clicks = 0;
    QObject::connect(panel.button, &QPushButton::clicked, [&] { ++clicks; });
    QTest::keyClick(panel.button, Qt::Key_Space);
    QTest::keyClick(panel.slider, Qt::Key_Right);
    QTest::keyClick(panel.button, Qt::Key_O, Qt::ControlModifier);
    const QPointF centre(panel.slider->width() / 2.0, panel.slider->height() / 2.0);
    for (int delta : {240, -120}) {
        QWheelEvent wheel(centre, panel.slider->mapToGlobal(centre), QPoint(), QPoint(0, delta), Qt::NoButton,
                          Qt::NoModifier, Qt::NoScrollPhase, false);
        QCoreApplication::sendEvent(panel.slider, &wheel);
    }
    // Forwarding is posted: nothing has arrived before the event loop runs.
    EXPECT_TRUE(view.keys.empty());
    QCoreApplication::processEvents();

    EXPECT_EQ(clicks, 0);
    EXPECT_EQ(panel.slider->value(), 50);
    EXPECT_EQ(view.keys, (std::vector<QKeyCombination>{Qt::Key_Space, Qt::Key_Right, Qt::ControlModifier | Qt::Key_O}));
    EXPECT_EQ(view.wheelSteps, (std::vector<int>{2, -2}));
}

TEST_F(KeyForwarder, ControlsAddedLaterAreWatchedButTheViewsOwnChildrenAreNot) {
    auto* viewChild = new QPushButton("in view", &view);
    forwarder.WatchTree(&view);
    forwarder.Watch(viewChild);

    // A control created after the panel was watched, with a child of its own.
    auto* group = new QWidget(panel.window.get());
    auto* late = new QPushButton("late", group);
    group->show();
    QTest::keyClick(late, Qt::Key_PageDown);
    QCoreApplication::processEvents();
    EXPECT_EQ(view.keys, std::vector<QKeyCombination>{Qt::Key_PageDown});

    // Keys inside the view are its own business: no second copy, no loop.
    int clicks = 0;
    QObject::connect(viewChild, &QPushButton::clicked, [&] { ++clicks; });
    viewChild->setFocus();
    QTest::keyClick(viewChild, Qt::Key_Space);
    QCoreApplication::processEvents();
    EXPECT_EQ(clicks, 1);
    EXPECT_EQ(view.keys.size(), 1u);
}

TEST(KeyForwarderLifetime, KeysArrivingAfterTheViewIsGoneAreLeftToTheControl) {
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
