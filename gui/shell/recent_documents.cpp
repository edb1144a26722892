#include "shell/recent_documents.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>
#include <QUrl>
#include <QXmlStreamReader>
#include <QXmlStreamWriter>

#include "shell/file_replace.h"

namespace vemo {
namespace {

const QString kBookmarkNs = QStringLiteral("http://www.freedesktop.org/standards/desktop-bookmarks");
const QString kMimeNs = QStringLiteral("http://www.freedesktop.org/standards/shared-mime-info");
const QString kAppName = QStringLiteral("vemo");
const QString kMimeType = QStringLiteral("application/x-vemo-project");

QString Stamp(const QDateTime& when) {
  return when.toUTC().toString(QStringLiteral("yyyy-MM-ddTHH:mm:ss.zzz000Z"));
}

// Writes this program's bookmark of href.
void WriteBookmark(QXmlStreamWriter& w, const QString& href, const QString& stamp) {
  w.writeStartElement(QStringLiteral("bookmark"));
  w.writeAttribute(QStringLiteral("href"), href);
  w.writeAttribute(QStringLiteral("added"), stamp);
  w.writeAttribute(QStringLiteral("modified"), stamp);
  w.writeAttribute(QStringLiteral("visited"), stamp);
  w.writeStartElement(QStringLiteral("info"));
  w.writeStartElement(QStringLiteral("metadata"));
  w.writeAttribute(QStringLiteral("owner"), QStringLiteral("http://freedesktop.org"));
  w.writeEmptyElement(kMimeNs, QStringLiteral("mime-type"));
  w.writeAttribute(QStringLiteral("type"), kMimeType);
  w.writeStartElement(kBookmarkNs, QStringLiteral("applications"));
  w.writeEmptyElement(kBookmarkNs, QStringLiteral("application"));
  w.writeAttribute(QStringLiteral("name"), kAppName);
  w.writeAttribute(QStringLiteral("exec"), QStringLiteral("'vemo %f'"));
  w.writeAttribute(QStringLiteral("modified"), stamp);
  w.writeAttribute(QStringLiteral("count"), QStringLiteral("1"));
  w.writeEndElement();  // applications
  w.writeEndElement();  // metadata
  w.writeEndElement();  // info
  w.writeEndElement();  // bookmark
}

// The attributes of a start element with the given ones replaced, or
// appended when missing.
QXmlStreamAttributes Updated(const QXmlStreamAttributes& attrs,
                             const std::vector<std::pair<QString, QString>>& values) {
  QXmlStreamAttributes out;
  std::vector<bool> used(values.size(), false);
  for (const QXmlStreamAttribute& a : attrs) {
    bool replaced = false;
    for (size_t i = 0; i < values.size(); ++i)
      if (a.namespaceUri().isEmpty() && a.name() == values[i].first) {
        out.append(values[i].first, values[i].second);
        used[i] = replaced = true;
      }
    if (!replaced) out.append(a);
  }
  for (size_t i = 0; i < values.size(); ++i)
    if (!used[i]) out.append(values[i].first, values[i].second);
  return out;
}

void StartElement(QXmlStreamWriter& w, const QXmlStreamReader& r, const QXmlStreamAttributes& attrs) {
  for (const QXmlStreamNamespaceDeclaration& ns : r.namespaceDeclarations())
    w.writeNamespace(ns.namespaceUri().toString(), ns.prefix().toString());
  w.writeStartElement(r.namespaceUri().toString(), r.name().toString());
  w.writeAttributes(attrs);
}

}  // namespace

QString RecentDocumentsFile() {
  return QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation) +
         QStringLiteral("/recently-used.xbel");
}

QByteArray AnnouncedBookmarks(const QByteArray& xbel, const QString& path, const QDateTime& when) {
  const QString href = QUrl::fromLocalFile(QFileInfo(path).absoluteFilePath()).toString(QUrl::FullyEncoded);
  const QString stamp = Stamp(when);
  QByteArray out;
  QXmlStreamWriter w(&out);
  w.setAutoFormatting(true);
  if (xbel.trimmed().isEmpty()) {
    w.writeStartDocument();
    w.writeNamespace(kBookmarkNs, QStringLiteral("bookmark"));
    w.writeNamespace(kMimeNs, QStringLiteral("mime"));
    w.writeStartElement(QStringLiteral("xbel"));
    w.writeAttribute(QStringLiteral("version"), QStringLiteral("1.0"));
    WriteBookmark(w, href, stamp);
    w.writeEndElement();
    w.writeEndDocument();
    return out;
  }
  // Every token is copied; the bookmark of href is brought up to date, or a
  // new one goes in before the list closes.
  QXmlStreamReader r(xbel);
  int depth = 0;
  bool found = false, inOurs = false, ownApp = false, sawRoot = false;
  while (!r.atEnd()) {
    r.readNext();
    switch (r.tokenType()) {
      case QXmlStreamReader::StartDocument:
        w.writeStartDocument();
        break;
      case QXmlStreamReader::StartElement: {
        ++depth;
        if (depth == 1) {
          if (r.name() != QStringLiteral("xbel")) return {};
          sawRoot = true;
        }
        QXmlStreamAttributes attrs = r.attributes();
        if (depth == 2 && r.name() == QStringLiteral("bookmark") &&
            attrs.value(QStringLiteral("href")) == href) {
          found = inOurs = true;
          attrs = Updated(attrs, {{QStringLiteral("modified"), stamp}, {QStringLiteral("visited"), stamp}});
        } else if (inOurs && r.namespaceUri() == kBookmarkNs && r.name() == QStringLiteral("application") &&
                   attrs.value(QStringLiteral("name")) == kAppName) {
          ownApp = true;
          bool ok = false;
          const qlonglong count = attrs.value(QStringLiteral("count")).toLongLong(&ok);
          attrs = Updated(attrs, {{QStringLiteral("modified"), stamp},
                                  {QStringLiteral("count"), QString::number(ok && count > 0 ? count + 1 : 1)}});
        }
        StartElement(w, r, attrs);
        break;
      }
      case QXmlStreamReader::EndElement:
        if (inOurs && !ownApp && r.namespaceUri() == kBookmarkNs &&
            r.name() == QStringLiteral("applications")) {
          w.writeEmptyElement(kBookmarkNs, QStringLiteral("application"));
          w.writeAttribute(QStringLiteral("name"), kAppName);
          w.writeAttribute(QStringLiteral("exec"), QStringLiteral("'vemo %f'"));
          w.writeAttribute(QStringLiteral("modified"), stamp);
          w.writeAttribute(QStringLiteral("count"), QStringLiteral("1"));
        }
        if (depth == 2) inOurs = false;
        if (depth == 1 && !found) WriteBookmark(w, href, stamp);
        w.writeEndElement();
        --depth;
        break;
      case QXmlStreamReader::Characters:
        if (!r.isWhitespace()) {
          if (r.isCDATA()) w.writeCDATA(r.text().toString());
          else w.writeCharacters(r.text().toString());
        }
        break;
      case QXmlStreamReader::Comment:
        w.writeComment(r.text().toString());
        break;
      case QXmlStreamReader::EndDocument:
        w.writeEndDocument();
        break;
      default:
        break;  // DTD, entity references and processing instructions are not kept
    }
  }
  if (r.hasError() || !sawRoot) return {};
  return out;
}

bool AnnounceRecentDocument(const QString& path, const QDateTime& when) {
  const QString file = RecentDocumentsFile();
  QByteArray text;
  QFile in(file);
  if (in.exists()) {
    if (!in.open(QIODevice::ReadOnly)) return false;
    // A list this large is not one the desktop keeps; leave it alone.
    if (in.size() > 64 * 1024 * 1024) return false;
    text = in.readAll();
    in.close();
  }
  const QByteArray updated = AnnouncedBookmarks(text, path, when);
  if (updated.isEmpty()) return false;
  QDir().mkpath(QFileInfo(file).absolutePath());
  return ReplaceFileContents(QFile::encodeName(file).toStdString(), updated.constData(),
                             static_cast<size_t>(updated.size()));
}

}  // namespace vemo
