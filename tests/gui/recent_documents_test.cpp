// The desktop's recent-documents list: our bookmark is added or brought up
// to date, and whatever other programs keep there stays as it was.
#include <QTemporaryDir>
#include <QXmlStreamReader>
#include <QtTest>

#include "shell/recent_documents.h"

using namespace vemo;

namespace {

const QDateTime kFirst = QDateTime(QDate(2026, 12, 1), QTime(10, 0, 0), Qt::UTC);
const QDateTime kLater = QDateTime(QDate(2026, 12, 8), QTime(9, 30, 15, 250), Qt::UTC);

// A list as another program leaves it: one bookmark of a text file.
const QByteArray kOthers =
    "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
    "<xbel version=\"1.0\"\n"
    "      xmlns:bookmark=\"http://www.freedesktop.org/standards/desktop-bookmarks\"\n"
    "      xmlns:mime=\"http://www.freedesktop.org/standards/shared-mime-info\"\n"
    ">\n"
    "  <bookmark href=\"file:///home/u/notes%20%D0%B0.txt\" added=\"2025-01-01T10:00:00.000000Z\" modified=\"2025-01-02T10:00:00.000000Z\" visited=\"2025-01-02T10:00:00.000000Z\">\n"
    "    <title>Notes &amp; more</title>\n"
    "    <info>\n"
    "      <metadata owner=\"http://freedesktop.org\">\n"
    "        <mime:mime-type type=\"text/plain\"/>\n"
    "        <bookmark:applications>\n"
    "          <bookmark:application name=\"gedit\" exec=\"&apos;gedit %u&apos;\" modified=\"2025-01-02T10:00:00.000000Z\" count=\"3\"/>\n"
    "        </bookmark:applications>\n"
    "      </metadata>\n"
    "    </info>\n"
    "  </bookmark>\n"
    "</xbel>\n";

struct TBookmark {
  QString Href, Added, Modified, Title;
  QStringList Apps;  // name:count
};

// The bookmarks of a list, read the way a desktop reads them.
std::vector<TBookmark> Read(const QByteArray& xbel) {
  std::vector<TBookmark> out;
  QXmlStreamReader r(xbel);
  while (!r.atEnd()) {
    r.readNext();
    if (!r.isStartElement()) continue;
    if (r.name() == QStringLiteral("bookmark")) {
      out.push_back({r.attributes().value(QStringLiteral("href")).toString(),
                     r.attributes().value(QStringLiteral("added")).toString(),
                     r.attributes().value(QStringLiteral("modified")).toString(), {}, {}});
    } else if (r.name() == QStringLiteral("title") && !out.empty()) {
      out.back().Title = r.readElementText();
    } else if (r.name() == QStringLiteral("application") && !out.empty()) {
      out.back().Apps << r.attributes().value(QStringLiteral("name")).toString() + ":" +
                             r.attributes().value(QStringLiteral("count")).toString();
    }
  }
  if (r.hasError()) out.clear();
  return out;
}

}  // namespace

class RecentDocumentsTest : public QObject {
  Q_OBJECT
 private slots:
  void NewListHoldsOurBookmark() {
    const QByteArray xbel = AnnouncedBookmarks({}, QStringLiteral("/work/a b.vmo"), kFirst);
    const auto marks = Read(xbel);
    QCOMPARE(marks.size(), size_t(1));
    QCOMPARE(marks[0].Href, QStringLiteral("file:///work/a%20b.vmo"));
    QCOMPARE(marks[0].Added, QStringLiteral("2026-12-01T10:00:00.000000Z"));
    QCOMPARE(marks[0].Apps, QStringList{QStringLiteral("vemo:1")});
    QVERIFY(xbel.contains("xmlns:bookmark=\"http://www.freedesktop.org/standards/desktop-bookmarks\""));
  }

  void OtherProgramsBookmarksAreKept() {
    const QByteArray xbel = AnnouncedBookmarks(kOthers, QStringLiteral("/work/p.vmo"), kFirst);
    const auto marks = Read(xbel);
    QCOMPARE(marks.size(), size_t(2));
    QCOMPARE(marks[0].Href, QStringLiteral("file:///home/u/notes%20%D0%B0.txt"));
    QCOMPARE(marks[0].Title, QStringLiteral("Notes & more"));
    QCOMPARE(marks[0].Modified, QStringLiteral("2025-01-02T10:00:00.000000Z"));
    QCOMPARE(marks[0].Apps, QStringList{QStringLiteral("gedit:3")});
    QCOMPARE(marks[1].Href, QStringLiteral("file:///work/p.vmo"));
  }

  void AnnouncingAgainUpdatesTheSameBookmark() {
    QByteArray xbel = AnnouncedBookmarks(kOthers, QStringLiteral("/work/p.vmo"), kFirst);
    xbel = AnnouncedBookmarks(xbel, QStringLiteral("/work/p.vmo"), kLater);
    auto marks = Read(xbel);
    QCOMPARE(marks.size(), size_t(2));
    QCOMPARE(marks[1].Added, QStringLiteral("2026-12-01T10:00:00.000000Z"));
    QCOMPARE(marks[1].Modified, QStringLiteral("2026-12-08T09:30:15.250000Z"));
    QCOMPARE(marks[1].Apps, QStringList{QStringLiteral("vemo:2")});
    // Another program's bookmark of a project gets our application added.
    const QByteArray theirs = QByteArray(kOthers).replace("notes%20%D0%B0.txt", "q.vmo");
    marks = Read(AnnouncedBookmarks(theirs, QStringLiteral("/home/u/q.vmo"), kLater));
    QCOMPARE(marks.size(), size_t(1));
    QCOMPARE(marks[0].Apps, (QStringList{QStringLiteral("gedit:3"), QStringLiteral("vemo:1")}));
  }

  void DamagedListIsLeftAlone() {
    for (const QByteArray& bad : {QByteArray("<xbel><bookmark href="), QByteArray("<html></html>"),
                                  QByteArray("not xml at all"), QByteArray("<?xml version=\"1.0\"?>")}) {
      QVERIFY2(AnnouncedBookmarks(bad, QStringLiteral("/work/p.vmo"), kFirst).isEmpty(), bad.constData());
    }
    QTemporaryDir dir;
    qputenv("XDG_DATA_HOME", dir.path().toUtf8());
    QFile f(RecentDocumentsFile());
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write("<xbel><broken");
    f.close();
    QVERIFY(!AnnounceRecentDocument(QStringLiteral("/work/p.vmo")));
    QVERIFY(f.open(QIODevice::ReadOnly));
    QCOMPARE(f.readAll(), QByteArray("<xbel><broken"));
  }

  void FileIsMadeWhereTheDesktopLooks() {
    QTemporaryDir dir;
    qputenv("XDG_DATA_HOME", (dir.path() + "/share").toUtf8());  // not there yet
    QCOMPARE(RecentDocumentsFile(), dir.path() + "/share/recently-used.xbel");
    QVERIFY(AnnounceRecentDocument(QStringLiteral("/work/p.vmo")));
    QVERIFY(AnnounceRecentDocument(QStringLiteral("/work/r.vmo")));
    QFile f(RecentDocumentsFile());
    QVERIFY(f.open(QIODevice::ReadOnly));
    QCOMPARE(Read(f.readAll()).size(), size_t(2));
  }
};

QTEST_GUILESS_MAIN(RecentDocumentsTest)
#include "recent_documents_test.moc"
