// Numeric command identifiers of the context menu "Main Menu" and of the framework commands the program uses.
#pragma once

// The numbers are the program's original resource numbers: settings, tests and every caller of
// CMediaPlayerDoc::OnCommand(id) rely on them, so they never change.
enum CommandId : int {
    ID_OPEN_FILES = 32771,
    ID_OPEN_FOLDER = 32772,
    ID_CLOSE_FILE = 32773,

    ID_SIZE_HALF = 32774,
    ID_SIZE_ORIGINAL = 32775,
    ID_SIZE_ONE_AND_HALF = 32776,
    ID_SIZE_DOUBLE = 32777,
    ID_SIZE_FULLSCREEN = 32778,

    // onTopMode = id - ID_ONTOP_NEVER, so the three stay consecutive in this order.
    ID_ONTOP_NEVER = 32779,
    ID_ONTOP_WHILE_PLAYING = 32780,
    ID_ONTOP_ALWAYS = 32781,

    ID_DISABLE_SCREENSAVER = 32782,

    ID_RENDERER_GDI = 32783,
    ID_RENDERER_OPENGL = 32784,

    ID_ZOOM_ORIGINAL = 32785,
    ID_PAN_LEFT = 32786,
    ID_PAN_RIGHT = 32787,
    ID_PAN_UP = 32788,
    ID_PAN_DOWN = 32789,
    ID_ZOOM_IN = 32790,
    ID_ZOOM_OUT = 32791,

    ID_PLAY_PAUSE = 32792,
    ID_STOP = 32793,
    ID_PLAY_NEXT = 32794,
    ID_PLAY_PREVIOUS = 32795,
    ID_PLAY_FAST = 32796,
    ID_PLAY_SLOW = 32797,

    ID_FILE_INFORMATION = 32798,
    ID_VIDEO_TOOLS = 32799,
    ID_FILE_LIST = 32800,

    ID_START_IN_SOURCE_SIZE = 32801,
    ID_START_IN_CURRENT_SIZE = 32802,

    ID_SKIN_DEFAULT = 32803,

    ID_RECENT_FILE_1 = 32804,
    ID_RECENT_FILE_2 = 32805,
    ID_RECENT_FILE_3 = 32806,
    ID_RECENT_FILE_4 = 32807,
    ID_RECENT_FILE_5 = 32808,

    // Framework commands. Only About, Exit and Save have handlers (Save's does nothing); the others
    // exist because the frame's standard accelerator table still produces them.
    ID_FILE_NEW = 57600,
    ID_FILE_OPEN = 57601,
    ID_FILE_SAVE = 57603,
    ID_EDIT_COPY = 57634,
    ID_EDIT_CUT = 57635,
    ID_EDIT_PASTE = 57637,
    ID_EDIT_UNDO = 57643,
    ID_APP_ABOUT = 57664,
    ID_APP_EXIT = 57665,
    ID_NEXT_PANE = 57680,
    ID_PREV_PANE = 57681,
};

inline constexpr int kRecentFileCommandCount = ID_RECENT_FILE_5 - ID_RECENT_FILE_1 + 1;

// Index 0..4 into the recent list for a Recent Files command, -1 for any other id.
constexpr int RecentFileIndex(int id)
{
    return id >= ID_RECENT_FILE_1 && id <= ID_RECENT_FILE_5 ? id - ID_RECENT_FILE_1 : -1;
}

constexpr bool IsWindowSizeCommand(int id) { return id >= ID_SIZE_HALF && id <= ID_SIZE_FULLSCREEN; }
constexpr bool IsOnTopCommand(int id) { return id >= ID_ONTOP_NEVER && id <= ID_ONTOP_ALWAYS; }
constexpr bool IsZoomPanCommand(int id) { return id >= ID_ZOOM_ORIGINAL && id <= ID_ZOOM_OUT; }
