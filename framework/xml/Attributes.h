#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "framework/col/ArrayP.h"
#include "framework/xml/AttrFactory.h"

namespace s::xml {

// An element's attributes in document order. Names are unique only by convention: every
// lookup answers the first match, comparing names without regard to case.
class Attributes final : public IObject {
 public:
  Attributes() { records_.setDestructor(&AttrFactory::instance()); }
  Attributes(const Attributes&) = delete;
  Attributes& operator=(const Attributes&) = delete;

  uint32_t count() const { return records_.count(); }
  const AttrRecord& at(uint32_t i) const { return *records_.at(i); }

  // Appends a record holding `raw` as it is (already escaped).
  void addRaw(std::u16string_view name, std::u16string_view raw);
  // Index of the first attribute named `name` (any case), or -1.
  int64_t find(std::u16string_view name) const;
  // The stored text of the first attribute named `name`, or null.
  const std::u16string* raw(std::u16string_view name) const;
  void remove(uint32_t index);
  // Removes the first attribute named `name`; answers whether there was one.
  bool remove(std::u16string_view name);
  void clear() { records_.freeMemory(); }

  std::u16string_view className() const override { return u"s_xml_Attributes"; }
  ObjectPtr newInstance() const override { return ObjectPtr(new Attributes()); }

 private:
  col::ArrayP<AttrRecord> records_;
};

}  // namespace s::xml
