// The words the user reads when a file cannot be played: which file, and why, in plain language.
#pragma once

#include <QString>

// "RedadIzivad can`t open this file", then the file's name and the reason on lines of their own. The reason
// comes from the file system where that explains it (not found, a folder, empty, not readable), else
// from the engine's text with the path left out; an address that fails is reported as a network error.
QString OpenFailureMessage(const QString& path, const QString& engineText);

// The reason alone (one sentence, first letter capital, full stop).
QString OpenFailureReason(const QString& path, const QString& engineText);
