// Decides which dragged or dropped items become playlist entries.
#pragma once

#include <QList>
#include <QSet>
#include <QStringList>
#include <QUrl>
#include <functional>

class CDropFilter {
public:
    // True when the engine accepts the file by its extension (the engine wrapper's IsSupportedFile).
    using SupportedPredicate = std::function<bool(const QString& path)>;

    CDropFilter(SupportedPredicate isSupported, QStringList playlistPaths);

    // The files to append, in drop order: local files the predicate accepts and that are neither in
    // the playlist nor earlier in this drop (paths compared without regard to case). A dropped folder
    // contributes its supported files, not those of its sub-folders, in name order. Remote URLs,
    // missing files and unreadable folders contribute nothing.
    QStringList Acceptable(const QList<QUrl>& urls) const;

    // Whether a drag carrying these URLs may be dropped; stops at the first acceptable file, so it
    // is cheap enough for drag-enter even when a big folder is dragged.
    bool AcceptsAny(const QList<QUrl>& urls) const;

    // The plain files of a folder in name order (case-insensitive, as the system lists them), the
    // same order a dropped folder is taken in.
    static QStringList FolderFiles(const QString& folder);

private:
    QStringList Collect(const QList<QUrl>& urls, bool firstOnly) const;

    SupportedPredicate isSupported_;
    QSet<QString> playlistKeys_;  // case-folded clean paths of the playlist
};
