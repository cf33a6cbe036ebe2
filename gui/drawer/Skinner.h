#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "framework/base/IEventListener.h"
#include "framework/base/Pooled.h"
#include "framework/col/ArrayP.h"
#include "framework/str/StrArray.h"
#include "gui/drawer/ISkin.h"

namespace s::gui::drawer {

// The skins a window offers, made from the colour schemes of one family ("Thin" or
// "ThinWindow") in the order of its table. The skinner owns its skins; a window shows one of
// them without owning it.
class Skinner final : public Pooled<Skinner, PoolableObject> {
 public:
  Skinner();
  ~Skinner() override;
  Skinner(const Skinner&) = delete;
  Skinner& operator=(const Skinner&) = delete;

  // A skinner with every scheme of the family; an unknown family gives one without skins.
  static PoolPtr<Skinner> newSkinner(std::u16string_view family);
  // A skin of the family from a scheme's colours: six for "Thin", fifteen for "ThinWindow"
  // (in the order of the family's table); nullptr for another count or family.
  static PoolPtr<ISkin> makeSkin(std::u16string_view family, std::u16string_view name,
                                 const Rgb* colours, std::uint32_t count);

  std::u16string_view getFamily() const { return family_; }
  std::uint32_t getSkinCount() const { return skins_.count(); }
  ISkin* getSkin(std::uint32_t i) const { return i < skins_.count() ? skins_.at(i) : nullptr; }
  std::u16string_view getSkinName(std::uint32_t i) const;
  // The index of the skin of that name, or -1.
  std::int32_t findSkin(std::u16string_view name) const;

  // Listeners hear onEvent(skinner, index) when select() names a skin.
  void addListener(events::IEventListener* listener) { listeners_.push(listener); }
  void removeListener(events::IEventListener* listener);
  void select(std::uint32_t index);

  void reset() override;
  std::u16string_view className() const override { return u"s_gui_drawer_Skinner"; }

 private:
  void fill(std::u16string_view family);

  std::u16string family_;
  col::ArrayP<ISkin> skins_;
  str::StrArray names_;
  col::ArrayP<events::IEventListener> listeners_;
};

}  // namespace s::gui::drawer
