#include "document/WindowSizeModes.h"

#include "resources/CommandIds.h"

#include <algorithm>

namespace {

struct SizeMode {
    int command;
    double scale;
    const char* label;
};

constexpr SizeMode kModes[] = {
    {ID_SIZE_HALF, 0.5, "Half Size"},
    {ID_SIZE_ORIGINAL, 1.0, "Original Size"},
    {ID_SIZE_ONE_AND_HALF, 1.5, "One and Half Size"},
    {ID_SIZE_DOUBLE, 2.0, "Double Size"},
    {ID_SIZE_FULLSCREEN, 0.0, "Fullscreen"},
};

const SizeMode* FindMode(int command)
{
    for (const SizeMode& mode : kModes)
        if (mode.command == command)
            return &mode;
    return nullptr;
}

} // namespace

QRect CWindowSizeModes::CentredIn(QSize size, const QRect& area)
{
    int x = area.left() + (area.width() - size.width()) / 2;
    int y = area.top() + (area.height() - size.height()) / 2;
    x = std::max(area.left(), x);
    y = std::max(area.top(), y);
    return QRect(QPoint(x, y), size);
}

bool CWindowSizeModes::OnTopWanted(int onTopMode, PlayState playState)
{
    return onTopMode == 2 || (onTopMode == 1 && playState == PlayState::Playing);
}

WindowSizePlan CWindowSizeModes::Plan(const WindowSizeRequest& request)
{
    WindowSizePlan plan;
    const SizeMode* mode = FindMode(request.command);
    if (!mode)
        return plan;
    const bool toFullScreen = request.command == ID_SIZE_FULLSCREEN;
    if (toFullScreen && request.fullScreen)
        return plan;

    plan.acts = true;
    plan.leavingFullScreen = request.fullScreen;
    plan.enteringFullScreen = toFullScreen;
    plan.fullScreen = toFullScreen;

    const int sw = request.screen.width();
    const int sh = request.screen.height();
    int w = request.frameWidth;
    int h = request.frameHeight;
    if (toFullScreen) {
        w = sw;
        h = sh;
    } else if (request.command != ID_SIZE_ORIGINAL) {
        w = static_cast<int>(w * mode->scale);
        h = static_cast<int>(h * mode->scale);
    }
    plan.message = QStringLiteral("%1 (%2:%3)").arg(QString::fromLatin1(mode->label)).arg(w).arg(h);

    if (toFullScreen) {
        plan.geometry = QRect(request.screen.left() - kBorder, request.screen.top() - kBorder,
                              w + 2 * kBorder, h + 2 * kBorder);
    } else {
        const QSize size(request.cxEdge + 2 * kBorder + std::min(sw, std::max(kMinWidth, w)),
                         request.cyEdge + 2 * kBorder + std::min(sh, std::max(kMinHeight, h)));
        plan.geometry = CentredIn(size, request.available.isValid() ? request.available : request.screen);
    }
    return plan;
}
