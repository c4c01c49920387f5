#include "resources/MainMenu.h"
#include "resources/CommandIds.h"

#include <QAction>
#include <QMenu>
#include <QTest>
#include <gtest/gtest.h>

#include <map>
#include <set>
#include <vector>

namespace {

void CollectIds(std::span<const MainMenuItem> items, std::multiset<int>& ids) {
    for (const MainMenuItem& item : items) {
        if (item.kind == MainMenuItemKind::Command)
            ids.insert(item.id);
        else if (item.kind == MainMenuItemKind::SubMenu)
            CollectIds(item.children, ids);
    }
}

QMenu* SubMenu(const QMenu* menu, const QString& text) {
    for (QAction* action : menu->actions())
        if (action->menu() && action->text() == text) return action->menu();
    return nullptr;
}

// Pops the menu up and waits until it is on the screen.
bool Open(QMenu* menu, QPoint at = QPoint(10, 10)) {
    menu->popup(at);
    return QTest::qWaitForWindowExposed(menu);
}

} // namespace

TEST(MainMenu, HoldsEveryCommandOnceAndNoFrameworkLeftovers) {
    std::multiset<int> ids;
    CollectIds(CMainMenu::Items(), ids);
    std::multiset<int> expected{ID_APP_ABOUT, ID_APP_EXIT};
    for (int id = ID_OPEN_FILES; id <= ID_RECENT_FILE_5; ++id)
        expected.insert(id);
    // Save exists only as a silent accelerator target; it must never become a visible item.
    EXPECT_EQ(ids, expected);
}

TEST(MainMenu, ChoosingAnItemSendsItsIdAndStatesAreAskedOnEveryOpening) {
    std::vector<int> sent;
    std::map<int, MainMenuItemState> states;
    std::unique_ptr<QMenu> menu(CMainMenu::Build(
        nullptr, [&](int id) { sent.push_back(id); },
        [&](int id) {
            auto it = states.find(id);
            return it == states.end() ? MainMenuItemState{} : it->second;
        }));

    states[ID_CLOSE_FILE].enabled = false;
    states[ID_RECENT_FILE_1].text = "/films/Tom & Jerry\tpart.mkv";
    states[ID_RECENT_FILE_2].visible = false;
    ASSERT_TRUE(Open(menu.get()));
    EXPECT_FALSE(CMainMenu::FindAction(menu.get(), ID_CLOSE_FILE)->isEnabled());
    // Sub-menus are refreshed when they open, not with their parent; a path's '&' and tab stay literal.
    QMenu* recent = SubMenu(menu.get(), "Recent Files");
    ASSERT_NE(recent, nullptr);
    ASSERT_TRUE(Open(recent, QPoint(40, 40)));
    QAction* first = CMainMenu::FindAction(recent, ID_RECENT_FILE_1);
    EXPECT_EQ(first->text(), "/films/Tom && Jerry part.mkv");
    EXPECT_FALSE(CMainMenu::FindAction(recent, ID_RECENT_FILE_2)->isVisible());
    first->trigger();
    recent->hide();
    menu->hide();
    EXPECT_EQ(sent, std::vector<int>{ID_RECENT_FILE_1});

    // A second opening asks again: an item greyed last time can be enabled now, a text can go back.
    states[ID_CLOSE_FILE].enabled = true;
    states[ID_RECENT_FILE_1].text.clear();
    ASSERT_TRUE(Open(menu.get()));
    EXPECT_TRUE(CMainMenu::FindAction(menu.get(), ID_CLOSE_FILE)->isEnabled());
    menu->hide();
    recent->popup(QPoint(40, 40));
    EXPECT_EQ(CMainMenu::FindAction(recent, ID_RECENT_FILE_1)->text(), "#1");
    recent->hide();
}

TEST(MainMenu, CheckMarksFollowTheQueryAndMnemonicsChooseFromTheKeyboard) {
    int onTopMode = 2;
    int chosen = 0;
    std::unique_ptr<QMenu> menu(CMainMenu::Build(
        nullptr,
        [&](int id) {
            chosen = id;
            if (IsOnTopCommand(id)) onTopMode = id - ID_ONTOP_NEVER;
        },
        [&](int id) {
            MainMenuItemState state;
            state.checked = IsOnTopCommand(id) && id - ID_ONTOP_NEVER == onTopMode;
            return state;
        }));
    QMenu* screen = SubMenu(menu.get(), "&Screen Control");
    ASSERT_NE(screen, nullptr);
    QMenu* onTop = SubMenu(screen, "On &Top");
    ASSERT_NE(onTop, nullptr);
    ASSERT_TRUE(Open(onTop));
    EXPECT_TRUE(CMainMenu::FindAction(onTop, ID_ONTOP_ALWAYS)->isChecked());
    QTest::keyClick(onTop, Qt::Key_N); // "&Never"
    EXPECT_EQ(onTopMode, 0);
    // Choosing does not flip the marks itself: they follow what the query says at the next opening.
    ASSERT_TRUE(Open(onTop));
    EXPECT_TRUE(CMainMenu::FindAction(onTop, ID_ONTOP_NEVER)->isChecked());
    EXPECT_FALSE(CMainMenu::FindAction(onTop, ID_ONTOP_ALWAYS)->isChecked());
    onTop->hide();

    // The digit in the shortcut column of the size items is their mnemonic.
    ASSERT_TRUE(Open(screen));
    QTest::keyClick(screen, Qt::Key_5);
    EXPECT_EQ(chosen, ID_SIZE_FULLSCREEN);
}
