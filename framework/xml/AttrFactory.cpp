#include "framework/xml/AttrFactory.h"

namespace s::xml {

AttrFactory& AttrFactory::instance() {
  static AttrFactory factory;
  return factory;
}

void AttrFactory::resetObject(AttrRecord* record) {
  // Recycled records hold no memory.
  std::u16string().swap(record->name);
  std::u16string().swap(record->value);
}

void AttrFactory::destroyObject(AttrRecord*& slot) {
  delete slot;
  slot = nullptr;
}

}  // namespace s::xml
