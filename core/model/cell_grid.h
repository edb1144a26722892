// The cells of a field. Only occupied cells take memory, so that a field
// with a handful of objects (a macro body, of which a scheme may hold a copy
// per macro block) stays small, while any cell is still found by column and
// row. Cells are kept in the order every pass and file visits them: row by
// row, within a row column by column.
#pragma once
#include <cstdint>
#include <map>
#include <memory>

#include "blocks/cell_object.h"

namespace vemo {

class TCellGrid {
  using TSlots = std::map<uint16_t, std::unique_ptr<TCellObject>>;

 public:
  static constexpr int kSize = 200;

  // Walks the occupied cells in row order; dereferencing gives the cell's
  // object (never empty).
  template <class Base>
  class TIterator {
   public:
    explicit TIterator(Base it) : it_(it) {}
    auto& operator*() const { return it_->second; }
    auto* operator->() const { return &it_->second; }
    TIterator& operator++() {
      ++it_;
      return *this;
    }
    bool operator==(const TIterator& o) const { return it_ == o.it_; }
    int Col() const { return it_->first % kSize; }
    int Row() const { return it_->first / kSize; }

   private:
    Base it_;
  };
  using iterator = TIterator<TSlots::iterator>;
  using const_iterator = TIterator<TSlots::const_iterator>;

  TCellObject* Get(int col, int row) const {
    auto it = slots_.find(Key(col, row));
    return it == slots_.end() ? nullptr : it->second.get();
  }
  // Puts an object into a cell the caller has emptied (nullptr: nothing).
  void Put(int col, int row, std::unique_ptr<TCellObject> obj) {
    if (obj) slots_.insert_or_assign(slots_.end(), Key(col, row), std::move(obj));
  }
  // Takes the object out of its cell, which becomes empty.
  std::unique_ptr<TCellObject> Take(int col, int row) {
    auto node = slots_.extract(Key(col, row));
    return node ? std::move(node.mapped()) : nullptr;
  }
  size_t Count() const { return slots_.size(); }
  // Forgets every cell (the objects must have been released).
  void Clear() { slots_.clear(); }

  iterator begin() { return iterator(slots_.begin()); }
  iterator end() { return iterator(slots_.end()); }
  const_iterator begin() const { return const_iterator(slots_.begin()); }
  const_iterator end() const { return const_iterator(slots_.end()); }

 private:
  static uint16_t Key(int col, int row) { return static_cast<uint16_t>(row * kSize + col); }
  TSlots slots_;
};

}  // namespace vemo
