// Writes contact sheets of every cell picture and pictures of the example
// schemes, to look at them:
//   picture_sheet OUTDIR [EXAMPLESDIR]
// OUTDIR/pictures.png (twice enlarged), pictures_1x.png (real size) and
// pictures_mono.png: the palette pages, then wire cells and comments;
// OUTDIR/scheme_<name>.png, _x2.png and _mono.png for each example.
#include <QDir>
#include <QFileInfo>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "canvas/qt_canvas.h"
#include "model/field.h"
#include "model/project_file.h"
#include "model/scheme_render.h"
#include "model/wire.h"
#include "shell/palette.h"

using namespace vemo;

namespace {

std::unique_ptr<TWire> MakeWire(uint8_t lines, uint8_t outs) {
  auto w = std::make_unique<TWire>();
  w->TypeCode = kWireCode;
  w->LineSides = lines;
  w->OutSides = outs;
  return w;
}

// The wire cells a person meets: straight, bend, branch, crossing, joining
// four lines, a stub; then two comments.
std::vector<std::unique_ptr<TCellObject>> OtherObjects() {
  std::vector<std::unique_ptr<TCellObject>> v;
  v.push_back(MakeWire(0b1010, 0b1000));                 // left to right
  v.push_back(MakeWire(0b0011, 0b0010));                 // bend from the top to the left
  v.push_back(MakeWire(0b1110, 0b1100 | kJunctionBit));  // branch
  v.push_back(MakeWire(0b1111, 0b1100));                 // crossing
  v.push_back(MakeWire(0b1111, 0b1101 | kJunctionBit));  // four lines joined
  v.push_back(MakeWire(0b0010, 0));                      // stub
  for (const char* text : {"Регулятор скорости, вариант 2", "Объект-модель"}) {
    auto c = std::make_unique<TComment>();
    c->TypeCode = kCommentCode;
    c->Text = text;
    v.push_back(std::move(c));
  }
  return v;
}

QImage CellPicture(TCellObject& obj, bool mono) {
  QImage img(kPictureCell, kPictureCell, QImage::Format_RGB32);
  img.fill(Qt::white);
  QPainter p(&img);
  DrawCellObject(p, obj, QRect(0, 0, 40, 40), mono);
  return img;
}

int SlotWidth(int zoom) { return kPictureCell * zoom + 8 + 8 * zoom; }
int SlotHeight(int zoom) { return kPictureCell * zoom + 22; }

void PutSlot(QPainter& p, int x, int y, int zoom, const QImage& img, const QString& label) {
  p.drawImage(QRect(x, y, kPictureCell * zoom, kPictureCell * zoom), img);
  p.setPen(Qt::black);
  p.setFont(MappedFont("MS Sans Serif", 10));
  p.drawText(x, y + kPictureCell * zoom + 14, label);
}

// One row per palette page, then a row of wire cells and comments; the
// pictures `zoom` times enlarged, pixel for pixel.
bool WriteSheet(const QString& path, bool mono, int zoom) {
  std::vector<std::unique_ptr<TCellObject>> others = OtherObjects();
  int cols = static_cast<int>(others.size());
  for (const TPalettePage& page : PalettePages())
    cols = std::max(cols, static_cast<int>(page.Codes.size()));
  const int rows = static_cast<int>(PalettePages().size()) + 1;
  QImage sheet(cols * SlotWidth(zoom) + 16, rows * SlotHeight(zoom) + 16, QImage::Format_RGB32);
  sheet.fill(QColor(236, 236, 236));
  QPainter p(&sheet);
  int y = 8;
  for (const TPalettePage& page : PalettePages()) {
    int x = 8;
    for (uint16_t code : page.Codes) {
      PutSlot(p, x, y, zoom, BlockPicture(code, mono), QString::number(code));
      x += SlotWidth(zoom);
    }
    y += SlotHeight(zoom);
  }
  int x = 8;
  for (auto& obj : others) {
    PutSlot(p, x, y, zoom, CellPicture(*obj, mono), obj->TypeCode == kWireCode ? "wire" : "comment");
    x += SlotWidth(zoom);
  }
  p.end();
  return sheet.save(path);
}

// The whole scheme as the picture command copies it, `zoom` times enlarged.
bool WriteScheme(const std::string& file, const QString& path, bool mono, int zoom) {
  std::unique_ptr<TField> field = CreateField();
  if (LoadField(*field, file) != TLoadResult::Ok) return false;
  const TCellRange range = OccupiedRange(*field);
  if (range.Empty()) return false;
  const QRect m = MeasureRange(range);
  QImage img(m.size() * zoom, QImage::Format_RGB32);
  img.fill(Qt::white);
  {
    QPainter p(&img);
    DrawSchemeRange(p, *field, range, img.rect(), mono);
  }
  Clear(*field);
  return img.save(path);
}

}  // namespace

int main(int argc, char** argv) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QGuiApplication app(argc, argv);
  if (argc < 2) {
    std::fprintf(stderr, "usage: picture_sheet OUTDIR [EXAMPLESDIR]\n");
    return 2;
  }
  const QString out = QString::fromLocal8Bit(argv[1]);
  QDir().mkpath(out);
  bool ok = WriteSheet(out + "/pictures.png", false, 2) &&
            WriteSheet(out + "/pictures_1x.png", false, 1) &&
            WriteSheet(out + "/pictures_mono.png", true, 2);
  const QString examples = argc > 2 ? QString::fromLocal8Bit(argv[2]) : QString();
  if (!examples.isEmpty()) {
    for (const QString& name : QDir(examples).entryList({"*.vmo"}, QDir::Files)) {
      const std::string file = (examples + "/" + name).toStdString();
      const QString base = out + "/scheme_" + QFileInfo(name).completeBaseName();
      ok = WriteScheme(file, base + ".png", false, 1) && WriteScheme(file, base + "_x2.png", false, 2) &&
           WriteScheme(file, base + "_mono.png", true, 1) && ok;
    }
  }
  if (!ok) {
    std::fprintf(stderr, "picture_sheet: could not write every picture\n");
    return 1;
  }
  return 0;
}
