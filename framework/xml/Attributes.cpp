#include "framework/xml/Attributes.h"

#include "framework/xml/Names.h"

namespace s::xml {

void Attributes::addRaw(std::u16string_view name, std::u16string_view raw) {
  AttrRecord* record = AttrFactory::instance().take();
  record->name.assign(name);
  record->value.assign(raw);
  records_.push(record);
}

int64_t Attributes::find(std::u16string_view name) const {
  for (uint32_t i = 0; i < records_.count(); ++i) {
    if (sameName(records_.at(i)->name, name)) {
      return i;
    }
  }
  return -1;
}

const std::u16string* Attributes::raw(std::u16string_view name) const {
  int64_t index = find(name);
  return index < 0 ? nullptr : &records_.at(static_cast<uint32_t>(index))->value;
}

void Attributes::remove(uint32_t index) {
  AttrRecord* record = records_.at(index);
  records_.removeRange(index, 1);
  AttrFactory::instance().destroy(record);
}

bool Attributes::remove(std::u16string_view name) {
  int64_t index = find(name);
  if (index < 0) {
    return false;
  }
  remove(static_cast<uint32_t>(index));
  return true;
}

}  // namespace s::xml
