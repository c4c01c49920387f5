#include "document/RecentFiles.h"

#include "engine/MediaPath.h"
#include "settings/ProgramParams.h"

void AddRecentFile(QStringList& recentFiles, const QString& entered) {
    const QString path = NormalizeMediaPath(entered);
    if (recentFiles.contains(path, Qt::CaseInsensitive)) return;
    while (recentFiles.size() >= MAX_RECENT_FILES) recentFiles.removeFirst();
    recentFiles.append(path);
}
