// Turns the engine's "description|patterns|description|patterns" extension string into a Qt file-dialog
// filter ("description (patterns);;...").
#pragma once

#include <QString>

// Patterns are separated by ';' in the engine's string and by ' ' in Qt's; "*.*" becomes "*" so files
// without an extension are listed too. A description's own trailing "(...)" is replaced by the patterns.
// An empty or malformed string gives "All Files (*)".
QString ConvertFilterToQt(const QString& engineFilter);
