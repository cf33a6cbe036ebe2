#include "gui/listbox2/CellValue.h"

#include "framework/base/Cleaners.h"
#include "framework/base/EasyPooler.h"
#include "framework/base/Pooled.h"
#include "framework/str/Format.h"

namespace s::gui::listbox2 {

namespace {

using str::StrBuffer;

// An update from another thread hands over a box per changed count, and the boxes it replaces
// come back only once it is carried over: enough are kept for the counts of a large list, so
// that a steady refresh cycle takes every box it needs from here.
constexpr uint32_t kBoxesKept = 1U << 17;

thread::EasyPooler<int64_t>& int64Pool() {
  static thread::EasyPooler<int64_t> pool(
      kBoxesKept, [] { return new int64_t(0); }, [](int64_t* box) { delete box; },
      [](int64_t* box) { *box = 0; });
  return pool;
}

class TextOwner final : public IDestructor<void> {
 public:
  void destroy(void*& slot) override {
    auto* text = static_cast<StrBuffer*>(slot);
    StrBuffer::pool().destroy(text);
    slot = nullptr;
  }
};

class Int64Owner final : public IDestructor<void> {
 public:
  void destroy(void*& slot) override {
    auto* box = static_cast<int64_t*>(slot);
    int64Pool().destroy(box);
    slot = nullptr;
  }
};

}  // namespace

CellValue textValue(std::u16string_view text) {
  // The value word owns the buffer from here on.
  return textValue(handOver(StrBuffer::of(text)));
}

CellValue textValue(StrBuffer* text) {
  return reinterpret_cast<CellValue>(text);
}

CellValue int64Value(int64_t value) {
  int64_t* box = int64Pool().take();
  *box = value;
  return reinterpret_cast<CellValue>(box);
}

IDestructor<void>* textValueOwner() {
  static TextOwner owner;
  return &owner;
}

IDestructor<void>* int64ValueOwner() {
  static Int64Owner owner;
  return &owner;
}

IDestructor<void>* mallocValueOwner() {
  return &CleanerRaw<void>::instance();
}

void disposeValue(CellValue value, IDestructor<void>* owner) {
  if (owner != nullptr && value != 0) {
    void* slot = pointerOf<void>(value);
    owner->destroy(slot);
  }
}

std::u16string_view textOf(CellValue value) {
  const auto* text = pointerOf<const StrBuffer>(value);
  return text == nullptr ? std::u16string_view() : text->view();
}

int64_t int64Of(CellValue value) {
  const auto* box = pointerOf<const int64_t>(value);
  return box == nullptr ? 0 : *box;
}

void showText(CellValue value, StrBuffer& text) {
  text.assign(textOf(value));
}

void showU32(CellValue value, StrBuffer& text) {
  text.assignU32(static_cast<uint32_t>(value));
}

void showS32(CellValue value, StrBuffer& text) {
  text.assignS32(static_cast<int32_t>(static_cast<uint32_t>(value)));
}

void showInt64(CellValue value, StrBuffer& text) {
  text.assignS64(int64Of(value));
}

void showByteSize(CellValue value, StrBuffer& text) {
  str::formatByteSize(text, int64Of(value));
}

}  // namespace s::gui::listbox2
