// The desktop's list of recently used documents: the shared bookmark file
// ($XDG_DATA_HOME/recently-used.xbel, ~/.local/share by default) that file
// choosers and desktop menus read.
#pragma once
#include <QDateTime>
#include <QString>

namespace vemo {

// The bookmark file's path.
QString RecentDocumentsFile();

// Announces a project file: its bookmark is added (or, when the file has
// one, its modified and visited times and this program's count are brought
// up to date). Every other bookmark and everything the file holds besides
// is kept as it was; a file that cannot be read as a bookmark list is left
// untouched. False when nothing was written.
bool AnnounceRecentDocument(const QString& path, const QDateTime& when = QDateTime::currentDateTimeUtc());

// The same on a bookmark file's text: the new text, or an empty array when
// the text is no bookmark list. An empty text starts a new list.
QByteArray AnnouncedBookmarks(const QByteArray& xbel, const QString& path, const QDateTime& when);

}  // namespace vemo
