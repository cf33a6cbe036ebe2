#pragma once

#include <cstdint>

#include "framework/str/IStr.h"

namespace s::str::strbuffer {

// Walks the code units of a text in either direction. The text must outlive the iterator
// and keep its length while it is used.
class Iterator {
 public:
  Iterator(const IStr& text, uint32_t index) : text_(&text), index_(index) {}

  uint32_t index() const { return index_; }
  bool hasNext() const { return index_ < text_->length(); }
  bool hasPrevious() const { return index_ > 0; }
  // The unit at the position, then one forward.
  char16_t next() { return text_->view()[index_++]; }
  // One back, then the unit there.
  char16_t previous() { return text_->view()[--index_]; }

 private:
  const IStr* text_;
  uint32_t index_;
};

}  // namespace s::str::strbuffer
