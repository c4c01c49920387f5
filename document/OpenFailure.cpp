#include "document/OpenFailure.h"

#include "engine/MediaPath.h"

#include <QFileInfo>

namespace {
// The engine names the file in quotes at the start of its text; the message names it already.
QString WithoutPath(QString text, const QString& path) {
    const QString quoted = QLatin1Char('"') + path + QLatin1Char('"');
    if (text.startsWith(quoted)) text = QStringLiteral("The file") + text.mid(quoted.size());
    text.replace(quoted, QStringLiteral("the file"));
    text = text.trimmed();
    if (text.isEmpty()) return text;
    text[0] = text[0].toUpper();
    if (!text.endsWith(QLatin1Char('.'))) text += QLatin1Char('.');
    return text;
}
} // namespace

QString OpenFailureReason(const QString& path, const QString& engineText) {
    if (IsMediaUrl(path)) {
        const QString detail = WithoutPath(engineText, path);
        return QStringLiteral("Network error: the address could not be played.") +
               (detail.isEmpty() ? QString() : QLatin1Char(' ') + detail);
    }
    const QFileInfo info(path);
    if (!info.exists()) return QStringLiteral("The file was not found.");
    if (info.isDir()) return QStringLiteral("It is a folder, not a file.");
    if (!info.isReadable()) return QStringLiteral("The file cannot be read (permission denied).");
    if (info.isFile() && info.size() == 0) return QStringLiteral("The file is empty.");
    const QString detail = WithoutPath(engineText, path);
    return detail.isEmpty() ? QStringLiteral("It is not a media file this player can play.") : detail;
}

QString OpenFailureMessage(const QString& path, const QString& engineText) {
    const QString name = IsMediaUrl(path) ? path : FileNameOf(path);
    return QStringLiteral("RedadIzivad can`t open this file") + QStringLiteral("\n\n") +
           (name.isEmpty() ? path : name) + QLatin1Char('\n') + OpenFailureReason(path, engineText);
}
