// The recent-files rule: at most MAX_RECENT_FILES paths, oldest first, no two equal ignoring case.
#pragma once

#include <QStringList>

// Appends path's absolute, canonical form unless an entry already equals it ignoring case (that entry keeps its place); when the list
// is full the oldest entry makes room. The document calls it with Params.recentFiles.
void AddRecentFile(QStringList& recentFiles, const QString& path);
