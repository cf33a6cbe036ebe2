#pragma once

#include <string>

#include "framework/base/PoolerBase.h"

namespace s::xml {

// One attribute: a name and its value, both kept exactly as they stand in the document
// (escaped). Element text is an attribute with an empty name.
struct AttrRecord {
  std::u16string name;
  std::u16string value;
};

// The process-wide source of attribute records.
class AttrFactory final : public thread::Factory<AttrRecord> {
 public:
  static AttrFactory& instance();

  ~AttrFactory() override { destroyFree(); }

  int sizeOf(const AttrRecord& /*record*/) const override { return 16; }
  AttrRecord* generate() override { return new AttrRecord(); }
  void resetObject(AttrRecord* record) override;
  void destroyObject(AttrRecord*& slot) override;

  std::u16string_view className() const override { return u"s_xml_AttrFactory"; }
  ObjectPtr newInstance() const override { return ObjectPtr(new AttrFactory()); }
};

}  // namespace s::xml
