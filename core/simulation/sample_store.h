// The paged store of single-precision samples of the time-domain windows:
// up to 8192 pages of 16384 samples, pages allocated when first written.
#pragma once
#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

namespace vemo {

class TSampleStore {
 public:
  static constexpr size_t kPageSize = 16384;
  static constexpr size_t kMaxPages = 8192;
  static constexpr size_t kCapacity = kPageSize * kMaxPages;

  // Appends a sample; a sample beyond the capacity is dropped.
  void Append(float v) {
    if (Count_ >= kCapacity) return;
    const size_t page = Count_ / kPageSize;
    if (page == Pages_.size()) Pages_.push_back(std::make_unique<float[]>(kPageSize));
    Pages_[page][Count_ % kPageSize] = v;
    ++Count_;
  }
  size_t Count() const { return Count_; }
  // Sample i, or 0 past the end.
  float At(size_t i) const {
    return i < Count_ ? Pages_[i / kPageSize][i % kPageSize] : 0.0f;
  }
  void Clear() {
    Pages_.clear();
    Count_ = 0;
  }

  // A read cursor returning samples in order and 0 past the end.
  class TCursor {
   public:
    TCursor(const TSampleStore& s, size_t pos) : Store_(s), Pos_(pos) {}
    float Next() { return Store_.At(Pos_++); }
    size_t Position() const { return Pos_; }

   private:
    const TSampleStore& Store_;
    size_t Pos_;
  };

 private:
  std::vector<std::unique_ptr<float[]>> Pages_;
  size_t Count_ = 0;
};

}  // namespace vemo
