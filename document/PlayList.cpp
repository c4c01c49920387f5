#include "document/PlayList.h"

#include "engine/MediaPath.h"

int CPlayList::Find(const QString& path) const {
    const QString wanted = NormalizeMediaPath(path);
    for (int i = 0; i < Count(); ++i)
        if (items[i].path == wanted) return i;
    return -1;
}

void CPlayList::SetDuration(int index, std::int64_t seconds) {
    if (index == -1) index = Count() - 1;
    if (index < 0 || index >= Count()) return;
    items[index].duration = seconds;
}

QString CPlayList::Next() {
    if (items.isEmpty()) return {};
    ++current;
    if (current < Count()) return items[current].path;
    current = -1;
    return {};
}

QString CPlayList::Prev() {
    if (items.isEmpty()) return {};
    --current;
    if (current >= 0) return items[current].path;
    current = -1;
    return {};
}

void CPlayList::AddFiles(const QStringList& paths, std::uint32_t newCurrent) {
    for (const QString& path : paths) {
        items.push_back(PlayListItem{NormalizeMediaPath(path), 0});
        if (newCurrent != KeepCurrent) current = static_cast<std::int32_t>(newCurrent);
    }
}

void CPlayList::Add(const PlayListItem& item) {
    items.push_back(item);
    items.back().path = NormalizeMediaPath(item.path);
}

void CPlayList::Clear() {
    items.clear();
    current = -1;
}

bool CPlayList::RemoveAt(int index) {
    if (index < 0 || index >= Count()) return false;
    if (current == index) current = -1;
    if (current > index && current >= 1) --current;
    items.removeAt(index);
    return true;
}

bool CPlayList::Swap(int first, int second) {
    if (first < 0 || second < 0 || first >= Count() || second >= Count()) return false;
    items.swapItemsAt(first, second);
    if (current == first)
        current = second;
    else if (current == second)
        current = first;
    return true;
}

QString CPlayList::GetPath(int index) const { return index >= 0 && index < Count() ? items[index].path : QString(); }

PlayListItem CPlayList::GetItem(int index) const { return index >= 0 && index < Count() ? items[index] : PlayListItem{}; }

QString CPlayList::GetFileName(const QString& path) { return FileNameOf(path); }
