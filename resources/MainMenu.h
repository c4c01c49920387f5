// The context menu "Main Menu" as static data, and the QMenu built from it with live item states.
#pragma once

#include <QString>
#include <functional>
#include <span>

class QAction;
class QMenu;
class QWidget;

enum class MainMenuItemKind { Command, SubMenu, Separator };

// One entry of the menu tree. Texts keep the menu conventions: '&' marks the mnemonic, "&&" is a
// literal ampersand, and the shortcut text is only displayed (the view decodes the hot keys).
struct MainMenuItem {
    MainMenuItemKind kind = MainMenuItemKind::Separator;
    int id = 0;                    // command id for commands, 0 otherwise
    const char* text = "";
    const char* shortcut = "";     // "" when the item shows none
    std::span<const MainMenuItem> children = {};
};

// What the owner of the commands says about one item just before its menu is shown.
struct MainMenuItemState {
    bool enabled = true;
    bool checked = false;
    bool visible = true;           // false removes the item from view (recent entries beyond the list)
    QString text;                  // replaces the item's text when not empty; shown literally, no mnemonic
};

class CMainMenu {
public:
    static constexpr const char* kName = "Main Menu";
    // The caption of the popup that holds every item.
    static constexpr const char* kCaption = "Video Tools";

    using CommandHandler = std::function<void(int id)>;
    using StateQuery = std::function<MainMenuItemState(int id)>;

    // The items of the popup, in menu order.
    static std::span<const MainMenuItem> Items();

    // The item with this command id anywhere in the tree, or nullptr.
    static const MainMenuItem* Find(int id);

    // Builds the menu under parent (which owns it; nullptr makes the caller the owner). Choosing an
    // item calls onCommand(id). Each time a menu or sub-menu is about to show, queryState(id) is asked
    // for every command item in it; without a query every item is enabled, unchecked and visible.
    static QMenu* Build(QWidget* parent, CommandHandler onCommand, StateQuery queryState = {});

    // The action of a built menu that sends this command id, or nullptr.
    static QAction* FindAction(const QMenu* menu, int id);
};
