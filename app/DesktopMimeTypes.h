// The video MIME types the desktop should offer to the player, derived from the engine's extension filter.
#pragma once

#include <QString>
#include <QStringList>

// The "*.ext" patterns of an engine filter ("Video Files|*.mp4;*.mkv|All Files (*.*)|*.*"), lower case, in
// order, without duplicates and without the catch-all "*.*".
QStringList ExtensionsOfFilter(const QString& filter);

// The video/* MIME types the shared MIME database gives to files with these extensions, sorted and unique.
// An extension the database does not know adds nothing.
QStringList VideoMimeTypesForExtensions(const QStringList& extensions);
