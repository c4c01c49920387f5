// Media paths as the player keeps them: file names of paths, and the one absolute form every playlist and
// recent-list entry takes, so an entry opens whatever folder the program was started from.
#pragma once

#include <QString>

// Text after the last path separator; empty when there is none or it is the first character.
QString FileNameOf(const QString& path);

// True for an address with a network scheme (http://, rtsp://, ...); such a path is kept as written.
bool IsMediaUrl(const QString& path);

// The absolute, canonical form of a local path (symbolic links resolved, "." and ".." gone), made against
// the current folder; a file that does not exist (yet) keeps its cleaned absolute form. "file://" URLs
// become local paths; other URLs and the empty string come back unchanged.
QString NormalizeMediaPath(const QString& path);
