// The tool windows under the display's own keyboard: each comes up from its hot key and goes with Esc, and
// the player neither quits nor leaves its window meanwhile.
#include "frame/MainFrame.h"
#include "resources/CommandIds.h"
#include "tests/program/ProgramHarness.h"
#include "tests/program/XTestInput.h"

#include <QApplication>
#include <gtest/gtest.h>

class ToolWindowInput : public ProgramTest {};

TEST_F(ToolWindowInput, EachToolWindowOpensFromItsHotKeyAndClosesWithEsc) {
    Start(Clip("orientation_red_top.mp4"));
    if (!XTestInput::Available()) GTEST_SKIP() << "no X display with the XTest extension";
    QWidget* frame = run->app->MainFrame();
    ASSERT_TRUE(WaitFor([&] { return run->InState(PlayState::Playing); }));
    // Away from every window: without a window manager the keys then go where the player put the focus.
    XTestInput::MoveTo(QPoint(0, 0));
    ASSERT_TRUE(WaitFor([] { return QCursor::pos() == QPoint(0, 0); }));

    const struct {
        const char* name;
        const char* modifier; // null: the key alone
        const char* key;
        std::function<QWidget*()> window;
    } keys[] = {
        {"video tools", "Control_L", "t", [&] { return doc->videoTools.window(); }},
        {"file information", "Control_L", "i", [&] { return doc->fileInfoDlg.window(); }},
        {"about box", nullptr, "F1", [&] { return doc->aboutDlg.window(); }},
    };
    for (const auto& k : keys) {
        XTestInput::TapKey(k.key, k.modifier);
        ASSERT_TRUE(WaitFor([&] { return k.window() && k.window()->isVisible(); }, 5000)) << k.name;
        XTestInput::TapKey("Escape");
        EXPECT_TRUE(WaitFor([&] { return !k.window()->isVisible(); }, 5000)) << k.name << " stayed after Esc";
        QTest::qWait(100);
        EXPECT_TRUE(frame->isVisible()) << k.name << ": Esc closed the player instead";
        EXPECT_TRUE(run->InState(PlayState::Playing)) << k.name;
    }
}
