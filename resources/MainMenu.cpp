#include "resources/MainMenu.h"

#include "resources/CommandIds.h"

#include <QAction>
#include <QMenu>

namespace {

using K = MainMenuItemKind;

constexpr MainMenuItem Cmd(int id, const char* text, const char* shortcut = "")
{
    return {K::Command, id, text, shortcut, {}};
}
constexpr MainMenuItem Sub(const char* text, std::span<const MainMenuItem> children)
{
    return {K::SubMenu, 0, text, "", children};
}
constexpr MainMenuItem Separator() { return {}; }

constexpr MainMenuItem kRecentFiles[] = {
    Cmd(ID_RECENT_FILE_1, "#1"), Cmd(ID_RECENT_FILE_2, "#2"), Cmd(ID_RECENT_FILE_3, "#3"),
    Cmd(ID_RECENT_FILE_4, "#4"), Cmd(ID_RECENT_FILE_5, "#5"),
};

constexpr MainMenuItem kPlayback[] = {
    Cmd(ID_PLAY_PAUSE, "&Play/Pause", "Space"),
    Cmd(ID_STOP, "&Stop", "Ctrl+Space"),
    Separator(),
    Cmd(ID_PLAY_NEXT, "Play &Next", "PageDown"),
    Cmd(ID_PLAY_PREVIOUS, "Play P&revious", "PageUp"),
    Separator(),
    Cmd(ID_PLAY_FAST, "Play &Fast", "Ctrl+Right"),
    Cmd(ID_PLAY_SLOW, "Play S&low", "Ctrl+Left"),
};

constexpr MainMenuItem kFrameSizeAndPosition[] = {
    Cmd(ID_ZOOM_ORIGINAL, "Original Size", "Num 5"),
    Separator(),
    Cmd(ID_ZOOM_OUT, "Frame Size -", "Num -"),
    Cmd(ID_ZOOM_IN, "Frame Size +", "Num +"),
    Separator(),
    Cmd(ID_PAN_LEFT, "Move Left", "Num 6"),
    Cmd(ID_PAN_RIGHT, "Move Right", "Num 4"),
    Cmd(ID_PAN_UP, "Move Up", "Num 8"),
    Cmd(ID_PAN_DOWN, "Move Down", "Num 2"),
};

constexpr MainMenuItem kStartPlaybackIn[] = {
    Cmd(ID_START_IN_SOURCE_SIZE, "Original Size"),
    Cmd(ID_START_IN_CURRENT_SIZE, "Current Size"),
};

constexpr MainMenuItem kOnTop[] = {
    Cmd(ID_ONTOP_ALWAYS, "&Always"),
    Cmd(ID_ONTOP_WHILE_PLAYING, "&While Playing"),
    Cmd(ID_ONTOP_NEVER, "&Never"),
};

constexpr MainMenuItem kScreenControl[] = {
    Sub("Frame Size && Position", kFrameSizeAndPosition),
    Sub("Start Playback in", kStartPlaybackIn),
    Sub("On &Top", kOnTop),
    Separator(),
    Cmd(ID_SIZE_HALF, "Half Size (50%)", "&1"),
    Cmd(ID_SIZE_ORIGINAL, "Original Size (100%)", "&2"),
    Cmd(ID_SIZE_ONE_AND_HALF, "One and a Half Size (150%)", "&3"),
    Cmd(ID_SIZE_DOUBLE, "Double Size (200%)", "&4"),
    Cmd(ID_SIZE_FULLSCREEN, "Full Screen", "Ctrl+Enter\\&5"),
    Separator(),
    Cmd(ID_DISABLE_SCREENSAVER, "Disable Screen Saver"),
};

constexpr MainMenuItem kVideoRenderer[] = {
    Cmd(ID_RENDERER_GDI, "DGI Plus"),
    Cmd(ID_RENDERER_OPENGL, "OpenGL 2D"),
};

constexpr MainMenuItem kVideo[] = {
    Sub("Video &Renderer", kVideoRenderer),
    Separator(),
    Cmd(ID_FILE_INFORMATION, "File &Information", "Ctrl+I"),
    Cmd(ID_FILE_LIST, "File &List", "Ctrl+L"),
    Cmd(ID_VIDEO_TOOLS, "Video &Tools", "Ctrl+T"),
};

constexpr MainMenuItem kSkins[] = {
    Cmd(ID_SKIN_DEFAULT, "&Default"),
};

constexpr MainMenuItem kTop[] = {
    Cmd(ID_OPEN_FILES, "Open &File(s)", "Ctrl+O"),
    Cmd(ID_OPEN_FOLDER, "Open F&older", "Ctrl+S"),
    Cmd(ID_CLOSE_FILE, "&Close File", "Ctrl+C"),
    Sub("Recent Files", kRecentFiles),
    Separator(),
    Sub("&Playback", kPlayback),
    Sub("&Screen Control", kScreenControl),
    Sub("&Video", kVideo),
    Sub("S&kins", kSkins),
    Separator(),
    Cmd(ID_APP_ABOUT, "&About RedadIzivad...", "F1"),
    Cmd(ID_APP_EXIT, "E&xit", "Esc"),
};

const MainMenuItem* FindIn(std::span<const MainMenuItem> items, int id)
{
    for (const MainMenuItem& item : items) {
        if (item.kind == K::Command && item.id == id)
            return &item;
        if (item.kind == K::SubMenu)
            if (const MainMenuItem* found = FindIn(item.children, id))
                return found;
    }
    return nullptr;
}

QString ItemText(const MainMenuItem& item)
{
    QString text = QString::fromUtf8(item.text);
    if (*item.shortcut)
        text += QLatin1Char('\t') + QString::fromUtf8(item.shortcut);
    return text;
}

// Refreshes the command items of one menu level; sub-menus refresh themselves when they open.
void ApplyStates(QMenu* menu, const CMainMenu::StateQuery& queryState)
{
    for (QAction* action : menu->actions()) {
        if (action->isSeparator() || action->menu())
            continue;
        const int id = action->data().toInt();
        const MainMenuItemState state = queryState(id);
        action->setEnabled(state.enabled);
        action->setCheckable(state.checked);
        action->setChecked(state.checked);
        action->setVisible(state.visible);
        if (state.text.isEmpty()) {
            if (const MainMenuItem* item = CMainMenu::Find(id))
                action->setText(ItemText(*item));
        } else {
            // A path may hold '&' or a tab; neither may turn into a mnemonic or a shortcut column.
            QString literal = state.text;
            literal.replace(QLatin1Char('&'), QLatin1String("&&")).replace(QLatin1Char('\t'), QLatin1Char(' '));
            action->setText(literal);
        }
    }
}

void Fill(QMenu* menu, std::span<const MainMenuItem> items, const CMainMenu::CommandHandler& onCommand,
          const CMainMenu::StateQuery& queryState)
{
    for (const MainMenuItem& item : items) {
        switch (item.kind) {
        case K::Separator:
            menu->addSeparator();
            break;
        case K::SubMenu: {
            QMenu* sub = menu->addMenu(QString::fromUtf8(item.text));
            Fill(sub, item.children, onCommand, queryState);
            break;
        }
        case K::Command: {
            QAction* action = menu->addAction(ItemText(item));
            action->setData(item.id);
            const int id = item.id;
            QObject::connect(action, &QAction::triggered, menu, [onCommand, id] {
                if (onCommand)
                    onCommand(id);
            });
            break;
        }
        }
    }
    if (queryState)
        QObject::connect(menu, &QMenu::aboutToShow, menu, [menu, queryState] { ApplyStates(menu, queryState); });
}

} // namespace

std::span<const MainMenuItem> CMainMenu::Items() { return kTop; }

const MainMenuItem* CMainMenu::Find(int id) { return FindIn(kTop, id); }

QMenu* CMainMenu::Build(QWidget* parent, CommandHandler onCommand, StateQuery queryState)
{
    auto* menu = new QMenu(QString::fromUtf8(kCaption), parent);
    menu->setObjectName(QString::fromUtf8(kName));
    Fill(menu, kTop, onCommand, queryState);
    return menu;
}

QAction* CMainMenu::FindAction(const QMenu* menu, int id)
{
    for (QAction* action : menu->actions()) {
        if (QMenu* sub = action->menu()) {
            if (QAction* found = FindAction(sub, id))
                return found;
        } else if (!action->isSeparator() && action->data().toInt() == id) {
            return action;
        }
    }
    return nullptr;
}
