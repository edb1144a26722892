#include "model/project_file.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <new>

#include "blocks/param_control.h"
#include "blocks/pulse.h"
#include "model/errors.h"
#include "shell/file_read.h"
#include "shell/file_replace.h"
#include "shell/numtext.h"
#include "shell/program.h"

namespace vemo {

const char kHeaderV3[kHeaderSize + 1] = "Vemo Simulator 3.0 Save File\r\n";
const char kHeaderV2[kHeaderSize + 1] = "Vemo Simulator 2.0 Save File\r\n";

namespace {

constexpr size_t kPointRecordV3 = 32;
constexpr size_t kPointRecordV2 = 20;

void SavePoint(TMemCursor& c, const TViewPoint& p) {
  c.U16(p.Col);
  c.U16(p.Row);
  c.U32(0);  // the observed block is not stored
  c.U8(p.Placed);
  c.U8(p.Shown);
  c.U16(0);
  c.U32(p.Color);
  c.F64(p.Low);
  c.F64(p.High);
}

// The first twelve bytes of a point record are the same in both versions.
void LoadPointHead(TLoadCursor& c, TViewPoint& p) {
  p.Col = c.U16();
  p.Row = c.U16();
  c.Skip(4);
  p.Source = nullptr;
  p.Placed = c.U8();
  p.Shown = c.U8();
  c.Skip(2);
}

void LoadPointV3(TLoadCursor& c, TViewPoint& p) {
  LoadPointHead(c, p);
  p.Color = c.U32();
  p.Low = c.F64();
  p.High = c.F64();
}

void LoadPointV2(TLoadCursor& c, TViewPoint& p) {
  LoadPointHead(c, p);
  p.High = c.F64();
  p.Low = -p.High;
  p.Color = 0;
}

// Obsolete block codes of older files, converted to their successors.
std::unique_ptr<TCellObject> LoadObsolete(uint16_t code, TLoadCursor& c) {
  if (code == 14 || code == 15) {  // pulse-width modulator
    auto m = std::make_unique<TPulseWidthModulator>();
    m->Polarity = static_cast<uint8_t>(code - 14);
    m->ModKind = 1;
    m->Period = c.F64();
    m->Saturation = c.F64();
    m->Amplitude = c.F64();
    m->ShaperClock = m->Period;
    m->TypeCode = 100;
    return m;
  }
  if (code >= 16 && code <= 19) {  // pulse-frequency modulator
    auto m = std::make_unique<TPulseFrequencyModulator>();
    m->ModKind = static_cast<uint8_t>((code - 16) / 2);
    m->Polarity = 1;
    m->PulseLength = c.F64();
    m->Quantum = c.F64();
    m->Height = c.F64();
    c.Skip(8);
    m->TypeCode = 101;
    return m;
  }
  // 31: harmonic generator with amplitude and frequency only.
  auto g = CreateCellObject(115);
  auto* p = static_cast<TParamBlock*>(g->AsBlock());
  p->Params[0] = c.F64();
  p->Params[1] = c.F64();
  p->Params[2] = 0.0;
  return g;
}

std::string AbsoluteName(const std::string& fileName) {
  std::error_code ec;
  const std::filesystem::path p = std::filesystem::absolute(fileName, ec);
  return ec ? fileName : p.lexically_normal().string();
}

bool IsObsolete(uint16_t code) { return (code >= 14 && code <= 19) || code == 31; }

std::string Lower(std::string s) {
  std::transform(s.begin(), s.end(), s.begin(),
                 [](unsigned char ch) { return static_cast<char>(std::tolower(ch)); });
  return s;
}

}  // namespace

void SaveCellObject(TMemCursor& c, TCellObject* obj) {
  if (!obj) {
    c.U16(kEmptyCellCode);
    return;
  }
  c.U16(obj->TypeCode);
  obj->Save(c);
}

std::unique_ptr<TCellObject> LoadCellObject(TLoadCursor& c, bool& ok) {
  const uint16_t code = c.U16();
  ok = c.Ok;
  if (!ok || code == kEmptyCellCode) return nullptr;
  std::unique_ptr<TCellObject> obj;
  if (IsObsolete(code)) {
    obj = LoadObsolete(code, c);
  } else {
    obj = CreateCellObject(code);
    if (!obj || !obj->Load(c)) obj.reset();
  }
  ok = obj != nullptr && c.Ok;
  if (!ok) obj.reset();
  return obj;
}

std::vector<uint8_t> FieldImage(const TField& field, double viewTime) {
  // The same writes run twice: a measuring pass, then the writing pass into
  // a buffer of that size.
  const auto write = [&](TMemCursor& c) {
    c.Put(kHeaderV3, kHeaderSize);
    for (int row = 0; row < kGridSize; ++row)
      for (int col = 0; col < kGridSize; ++col) SaveCellObject(c, field.Cell(col, row));
    for (const TViewPoint& p : field.Points) SavePoint(c, p);
    c.F64(field.Step);
    c.F64(viewTime);
  };
  TMemCursor m = TMemCursor::Measuring();
  write(m);
  std::vector<uint8_t> buf(m.Pos);
  TMemCursor w = TMemCursor::Writing(buf);
  write(w);
  if (w.Overrun || w.Pos != buf.size()) buf.clear();
  return buf;
}

bool SaveField(TField& field, const std::string& fileName) {
  const std::vector<uint8_t> image = FieldImage(field, Prog.Clock.ViewTime);
  // A file the program could not read back is not written.
  if (image.empty() || image.size() > kMaxProjectSize ||
      !ReplaceFileContents(fileName, image.data(), image.size())) {
    ShowMessage(kWriteError);
    return false;
  }
  field.Modified = 0;
  field.FileName = AbsoluteName(fileName);
  return true;
}

namespace {

// A failed read leaves an empty field (never part of a scheme) and error 14.
TLoadResult ReadFailed(TField& field, const char* message) {
  Clear(field);
  ShowMessage(message);
  Prog.Err.ErrorCode = 14;
  return TLoadResult::ReadError;
}

TLoadResult ParseField(TField& field, const uint8_t* data, size_t size) {
  int version = 0;
  if (size >= kHeaderSize && std::memcmp(data, kHeaderV3, kHeaderSize) == 0) version = 3;
  else if (size >= kHeaderSize && std::memcmp(data, kHeaderV2, kHeaderSize) == 0) version = 2;
  if (!version) {
    ShowMessage(kNotVemoFile);
    return TLoadResult::NotVemoFile;
  }
  TLoadCursor c(data + kHeaderSize, size - kHeaderSize);
  bool ok = true;
  // Into an empty field the empty cells (nearly all of the 40,000) need
  // nothing done.
  const bool wasEmpty = field.Cells.Count() == 0;
  for (int row = 0; row < kGridSize && ok; ++row) {
    for (int col = 0; col < kGridSize && ok; ++col) {
      auto obj = LoadCellObject(c, ok);
      if (ok && (obj || !wasEmpty)) field.SetCell(col, row, std::move(obj));
    }
  }
  double viewTime = Prog.Clock.ViewTime;
  if (ok) {
    if (version == 2) {
      if (!c.CanRead(kPointCount, kPointRecordV2)) ok = false;
      else
        for (TViewPoint& p : field.Points) LoadPointV2(c, p);
    } else {
      if (!c.CanRead(1, kPointCount * kPointRecordV3 + 16)) ok = false;
      else {
        for (TViewPoint& p : field.Points) LoadPointV3(c, p);
        field.Step = c.F64();
        viewTime = c.F64();
        field.AutoStep = field.Step < 1e-16 ? 1 : 0;
        // A value no dialog could have given (a step that is not finite, a
        // view time that is not finite and positive) would drive a run
        // without end: it is refused as a typed one would be, and the file
        // with it, as any damaged record.
        if (!std::isfinite(field.Step) || !std::isfinite(viewTime) || !(viewTime > 0.0))
          return ReadFailed(field, kBadParameter);
      }
    }
    ok = ok && c.Ok;
  }
  if (!ok) return ReadFailed(field, kReadError);
  Prog.Clock.ViewTime = viewTime;
  return TLoadResult::Ok;
}

}  // namespace

TLoadResult LoadFieldFromMemory(TField& field, const uint8_t* data, size_t size) {
  try {
    return ParseField(field, data, size);
  } catch (const std::bad_alloc&) {
    return ReadFailed(field, kNoMemory);
  }
}

TLoadResult LoadField(TField& field, const std::string& fileName) {
  std::vector<uint8_t> data;
  TFileRead read;
  try {
    read = ReadRegularFile(fileName, kMaxProjectSize, data);
  } catch (const std::bad_alloc&) {
    return ReadFailed(field, kNoMemory);
  }
  if (read != TFileRead::Ok) return ReadFailed(field, kReadError);
  const TLoadResult result = LoadFieldFromMemory(field, data.data(), data.size());
  if (result == TLoadResult::Ok) field.FileName = AbsoluteName(fileName);
  return result;
}

std::string TFileProjects::Resolve(const std::string& fileName) const {
  namespace fs = std::filesystem;
  std::string name = fileName;
  std::replace(name.begin(), name.end(), '\\', '/');
  std::error_code ec;
  if (fs::path(name).is_absolute()) return fs::exists(name, ec) ? name : std::string();
  for (const std::string& dir : SearchDirs) {
    fs::path p = fs::path(dir) / name;
    if (fs::exists(p, ec)) return p.string();
  }
  return fs::exists(name, ec) ? name : std::string();
}

TField* TFileProjects::OpenProject(const std::string& fileName) {
  if (fileName.empty()) return nullptr;
  const std::string key = Lower(fileName);
  if (auto it = Loaded.find(key); it != Loaded.end()) return it->second.get();
  auto field = CreateField();
  Prog.Err.ErrorCode = 0;
  std::string path = Resolve(fileName);
  if (path.empty()) path = fileName;
  LoadField(*field, path);
  if (Prog.Err.ErrorCode != 0) return nullptr;
  TField* f = field.get();
  Loaded[key] = std::move(field);
  return f;
}

}  // namespace vemo
