// CPlayList: the ordered list of files to play and the index of the current one (-1 = none). UI thread only.
#pragma once

#include <QString>
#include <QStringList>
#include <QVector>
#include <cstdint>
#include <limits>

struct PlayListItem {
    QString path;              // absolute, canonical path (or a network address as given)
    std::int64_t duration = 0; // whole seconds, 0 until known
};

class CPlayList {
public:
    // AddFiles' newCurrent that leaves current alone.
    static constexpr std::uint32_t KeepCurrent = std::numeric_limits<std::uint32_t>::max();

    // Every path entering the list is made absolute and canonical first (NormalizeMediaPath).
    // Index of the first item whose path equals path's normal form exactly (case-sensitive); -1 if none.
    int Find(const QString& path) const;
    // index -1 means the last item; nothing happens when the index resolves outside the list.
    void SetDuration(int index, std::int64_t seconds);
    // Moves on and returns the new current path. Past the end: current becomes -1 and "" is returned, so
    // the following Next starts again at the first item.
    QString Next();
    // Moves back; before the first item current becomes -1 and "" is returned.
    QString Prev();
    // Appends the paths (duration 0) in order; current = newCurrent unless it is KeepCurrent.
    void AddFiles(const QStringList& paths, std::uint32_t newCurrent);
    void Add(const PlayListItem& item);
    void Clear();
    // FALSE when index is outside the list. Removing the current item leaves no current item; removing one
    // before it keeps current on the same file.
    bool RemoveAt(int index);
    // Exchanges two entries; current follows its entry. FALSE when either index is outside the list.
    bool Swap(int first, int second);
    // "" / an empty item when index is out of range.
    QString GetPath(int index) const;
    PlayListItem GetItem(int index) const;
    // The name part of a path; "" when there is no separator or it is the first character.
    static QString GetFileName(const QString& path);

    int Count() const { return static_cast<int>(items.size()); }
    int Current() const { return current; }
    void SetCurrent(int index) { current = index; }
    const QVector<PlayListItem>& Items() const { return items; }

private:
    QVector<PlayListItem> items;
    std::int32_t current = -1;
};
