#include "resources/CommandIds.h"
#include "resources/MainMenu.h"

#include <QAction>
#include <QMenu>
#include <QTest>
#include <gtest/gtest.h>

#include <map>
#include <set>
#include <vector>

namespace {

void CollectIds(std::span<const MainMenuItem> items, std::vector<int>& ids)
{
    for (const MainMenuItem& item : items) {
        if (item.kind == MainMenuItemKind::Command)
            ids.push_back(item.id);
        else if (item.kind == MainMenuItemKind::SubMenu)
            CollectIds(item.children, ids);
    }
}

QMenu* SubMenu(const QMenu* menu, const QString& text)
{
    for (QAction* action : menu->actions())
        if (action->menu() && action->text() == text)
            return action->menu();
    return nullptr;
}

} // namespace

TEST(InputMainMenu, HoldsEveryCommandOnceAndNoFrameworkLeftovers)
{
    std::vector<int> ids;
    CollectIds(CMainMenu::Items(), ids);
    std::multiset<int> counted(ids.begin(), ids.end());
    for (int id = ID_OPEN_FILES; id <= ID_RECENT_FILE_5; ++id)
        EXPECT_EQ(counted.count(id), 1u) << "command " << id;
    EXPECT_EQ(counted.count(ID_APP_ABOUT), 1u);
    EXPECT_EQ(counted.count(ID_APP_EXIT), 1u);
    // Save exists only as a silent accelerator target; it must never become a visible item.
    EXPECT_EQ(counted.count(ID_FILE_SAVE), 0u);
    EXPECT_EQ(ids.size(), std::size_t(ID_RECENT_FILE_5 - ID_OPEN_FILES + 1 + 2));
}

TEST(InputMainMenu, BuiltMenuShowsTextsAsTheUserReadsThem)
{
    std::unique_ptr<QMenu> menu(CMainMenu::Build(nullptr, {}));
    EXPECT_EQ(menu->title(), "Video Tools");
    EXPECT_EQ(menu->objectName(), "Main Menu");

    QMenu* screen = SubMenu(menu.get(), "&Screen Control");
    ASSERT_NE(screen, nullptr);
    QMenu* frame = SubMenu(screen, "Frame Size && Position");
    ASSERT_NE(frame, nullptr);
    EXPECT_EQ(CMainMenu::FindAction(menu.get(), ID_SIZE_FULLSCREEN)->text(), "Full Screen\tCtrl+Enter\\&5");
    EXPECT_EQ(CMainMenu::FindAction(menu.get(), 12345), nullptr);

    // The two "Original Size" items send different commands.
    QMenu* start = SubMenu(screen, "Start Playback in");
    ASSERT_NE(start, nullptr);
    EXPECT_EQ(CMainMenu::FindAction(start, ID_START_IN_SOURCE_SIZE)->text(), "Original Size");
    EXPECT_EQ(CMainMenu::FindAction(frame, ID_ZOOM_ORIGINAL)->text(), "Original Size\tNum 5");
}

TEST(InputMainMenu, ChoosingAnItemSendsItsIdAndStatesAreAskedOnEveryOpening)
{
    std::vector<int> sent;
    std::map<int, MainMenuItemState> states;
    int queries = 0;
    std::unique_ptr<QMenu> menu(CMainMenu::Build(
        nullptr, [&](int id) { sent.push_back(id); },
        [&](int id) {
            ++queries;
            auto it = states.find(id);
            return it == states.end() ? MainMenuItemState{} : it->second;
        }));

    states[ID_CLOSE_FILE].enabled = false;
    states[ID_RECENT_FILE_1].text = "/films/Tom & Jerry\tpart.mkv";
    states[ID_RECENT_FILE_2].visible = false;
    menu->popup(QPoint(10, 10));
    ASSERT_TRUE(QTest::qWaitForWindowExposed(menu.get()));
    EXPECT_FALSE(CMainMenu::FindAction(menu.get(), ID_CLOSE_FILE)->isEnabled());
    // Sub-menus are refreshed when they open, not with their parent.
    QMenu* recent = SubMenu(menu.get(), "Recent Files");
    ASSERT_NE(recent, nullptr);
    recent->popup(QPoint(40, 40));
    ASSERT_TRUE(QTest::qWaitForWindowExposed(recent));
    QAction* first = CMainMenu::FindAction(recent, ID_RECENT_FILE_1);
    EXPECT_EQ(first->text(), "/films/Tom && Jerry part.mkv");
    EXPECT_FALSE(CMainMenu::FindAction(recent, ID_RECENT_FILE_2)->isVisible());
    first->trigger();
    recent->hide();
    menu->hide();
    EXPECT_EQ(sent, std::vector<int>{ID_RECENT_FILE_1});

    // A second opening asks again: an item enabled last time can be greyed now and vice versa.
    states[ID_CLOSE_FILE].enabled = true;
    states[ID_RECENT_FILE_1].text.clear();
    const int before = queries;
    menu->popup(QPoint(10, 10));
    ASSERT_TRUE(QTest::qWaitForWindowExposed(menu.get()));
    EXPECT_GT(queries, before);
    EXPECT_TRUE(CMainMenu::FindAction(menu.get(), ID_CLOSE_FILE)->isEnabled());
    menu->hide();
    recent->popup(QPoint(40, 40));
    EXPECT_EQ(CMainMenu::FindAction(recent, ID_RECENT_FILE_1)->text(), "#1");
    recent->hide();
}

TEST(InputMainMenu, CheckMarksFollowTheQueryAndChoosingDoesNotFlipThem)
{
    int onTopMode = 2;
    std::unique_ptr<QMenu> menu(CMainMenu::Build(
        nullptr, [&](int id) { onTopMode = id - ID_ONTOP_NEVER; },
        [&](int id) {
            MainMenuItemState state;
            state.checked = IsOnTopCommand(id) && id - ID_ONTOP_NEVER == onTopMode;
            return state;
        }));
    QMenu* onTop = SubMenu(SubMenu(menu.get(), "&Screen Control"), "On &Top");
    ASSERT_NE(onTop, nullptr);
    onTop->popup(QPoint(0, 0));
    ASSERT_TRUE(QTest::qWaitForWindowExposed(onTop));
    EXPECT_TRUE(CMainMenu::FindAction(onTop, ID_ONTOP_ALWAYS)->isChecked());
    EXPECT_FALSE(CMainMenu::FindAction(onTop, ID_ONTOP_NEVER)->isChecked());
    // The mnemonic of "&Never" chooses it from the keyboard.
    QTest::keyClick(onTop, Qt::Key_N);
    EXPECT_EQ(onTopMode, 0);
    onTop->popup(QPoint(0, 0));
    ASSERT_TRUE(QTest::qWaitForWindowExposed(onTop));
    EXPECT_TRUE(CMainMenu::FindAction(onTop, ID_ONTOP_NEVER)->isChecked());
    EXPECT_FALSE(CMainMenu::FindAction(onTop, ID_ONTOP_ALWAYS)->isChecked());
    onTop->hide();
}

TEST(InputMainMenu, DigitInTheShortcutColumnIsTheSizeItemsMnemonic)
{
    int chosen = 0;
    std::unique_ptr<QMenu> menu(CMainMenu::Build(nullptr, [&](int id) { chosen = id; }));
    QMenu* screen = SubMenu(menu.get(), "&Screen Control");
    screen->popup(QPoint(0, 0));
    ASSERT_TRUE(QTest::qWaitForWindowExposed(screen));
    QTest::keyClick(screen, Qt::Key_5);
    EXPECT_EQ(chosen, ID_SIZE_FULLSCREEN);
}
