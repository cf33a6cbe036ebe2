#include "gui/drawer/Skinner.h"

#include <array>
#include <utility>

#include "gui/drawer/ReadableInks.h"
#include "gui/drawer/border/Thin.h"
#include "gui/drawer/button/Thin.h"
#include "gui/drawer/checkbox/Thin.h"
#include "gui/drawer/counter/Thin.h"
#include "gui/drawer/groupbox/Thin.h"
#include "gui/drawer/listbox/Thin.h"
#include "gui/drawer/listheader/Thin.h"
#include "gui/drawer/menu/Thin.h"
#include "gui/drawer/radiobutton/Thin.h"
#include "gui/drawer/scrollbar/Thin.h"
#include "gui/drawer/skin/Thin.h"
#include "gui/drawer/skin/ThinWindow.h"
#include "gui/drawer/slider/Thin.h"
#include "gui/drawer/statusbar/Thin.h"
#include "gui/drawer/tabbox/Thin.h"
#include "gui/drawer/text/Thin.h"
#include "gui/drawer/window/Thin.h"

namespace s::gui::drawer {

namespace {

constexpr std::u16string_view kThin = u"Thin";
constexpr std::u16string_view kThinWindow = u"ThinWindow";

// background, frame, text, scroll, counter 1, counter 2
struct ThinScheme {
  std::u16string_view name;
  std::array<Rgb, 6> colours;
};

constexpr std::array<ThinScheme, 13> kThinSchemes = {{
    {u"White", {0xFFFFFF, 0x444444, 0x000000, 0x777777, 0xB0B0B0, 0xFFA500}},
    {u"Light Gray", {0xF0EEE4, 0x000000, 0x000000, 0xB0B0B0, 0xB0B0B0, 0xFFA500}},
    {u"Black", {0x333333, 0xB0B0B0, 0xFFFFFF, 0xB0B0B0, 0xD5EB6B, 0xFFA500}},
    {u"Ivory", {0xECE9D8, 0x000000, 0x000000, 0xA8A280, 0xA8A280, 0xFFA500}},
    {u"Sky Blue", {0xFFFFFF, 0x5785FF, 0x000000, 0x5785FF, 0x5785FF, 0xFFA500}},
    {u"Pink", {0xFFFFFF, 0xFF5DA2, 0x000000, 0xFF5DA2, 0xFF5DA2, 0xFFA500}},
    {u"Green", {0xFFFFFF, 0x8FAF11, 0x003300, 0x8FAF11, 0x8FAF11, 0xFFA500}},
    {u"Green2", {0xD5EB6B, 0x000000, 0x000000, 0x000000, 0x000000, 0xFFA500}},
    {u"Yellow", {0xFFFFFF, 0xE0CE00, 0x000000, 0xE0CE00, 0xE0CE00, 0xFFA500}},
    {u"Orange", {0xFFFFFF, 0xDD8702, 0x000000, 0xDD8702, 0xDD8702, 0xFFA500}},
    {u"Khaki", {0x3E5C00, 0x92B941, 0xFFFFFF, 0xDD8702, 0xDD8702, 0xFFA500}},
    {u"Indigo", {0x4B0082, 0xC07DFF, 0xFFFFFF, 0xC07DFF, 0xC07DFF, 0xFFA500}},
    {u"Salmon Red", {0xFF305C, 0xFFBDCB, 0xFFFFFF, 0xFFBDCB, 0xFFBDCB, 0xFFA500}},
}};

// The fifteen colours by use: 1 window surface, 2 border line, 3 secondary, 4 accent, 5 group
// box frame, 6 text, 7 text drawer's third, 8 button and scroll bar face, 9 list highlight,
// 10 list selected text, 11 list background, 12 list text, 13 list stripe, 14 and 15 counters.
struct WindowScheme {
  std::u16string_view name;
  std::array<Rgb, 15> colours;
};

constexpr std::array<WindowScheme, 16> kWindowSchemes = {{
    {u"White",
     {0xFFFFFF, 0x444444, 0xCCCCCC, 0x444444, 0x444444, 0x000000, 0xEEEEEE, 0x777777, 0x777777,
      0xFFFFFF, 0xFFFFFF, 0x000000, 0xEEEEEE, 0x777777, 0xFFA500}},
    {u"Ivory",
     {0xF2F0E6, 0x000000, 0xAAAAAA, 0x000000, 0x000000, 0x000000, 0xEEEEEE, 0xB0B0B0, 0xB0B0B0,
      0xF0EEE4, 0xFFFFFF, 0x000000, 0xEEEEEE, 0xB0B0B0, 0xFFA500}},
    {u"Black",
     {0x333333, 0x555555, 0x555555, 0xB0B0B0, 0xB0B0B0, 0xFFFFFF, 0x333333, 0x999999, 0xCCCCCC,
      0x000000, 0xFFFFFF, 0x000000, 0xEEEEEE, 0xD5EB6B, 0xFFA500}},
    {u"Black II",
     {0x333333, 0x555555, 0x555555, 0xB0B0B0, 0xB0B0B0, 0xDDDDDD, 0x333333, 0x999999, 0xCCCCCC,
      0x000000, 0xFFFFFF, 0x000000, 0xEEEEEE, 0xD5EB6B, 0xFFA500}},
    {u"Black Black",
     {0x000000, 0x333333, 0x333333, 0xB0B0B0, 0xB0B0B0, 0xFFFFFF, 0x333333, 0x999999, 0xCCCCCC,
      0x000000, 0xFFFFFF, 0x000000, 0xEEEEEE, 0xD5EB6B, 0xFFA500}},
    {u"Black Black II",
     {0x000000, 0x333333, 0x333333, 0xB0B0B0, 0xB0B0B0, 0xDDDDDD, 0x333333, 0x999999, 0xCCCCCC,
      0x000000, 0xFFFFFF, 0x000000, 0xEEEEEE, 0xD5EB6B, 0xFFA500}},
    {u"Classic LG",
     {0x747474, 0x111111, 0x565656, 0x111111, 0x111111, 0xFFFFFF, 0x333333, 0x747474, 0x191919,
      0xFFFFFF, 0x313131, 0xBFBFBF, 0x383838, 0xC3EA00, 0x191919}},
    {u"Beige",
     {0xECE9D8, 0x000000, 0xAAAAAA, 0x000000, 0x000000, 0x000000, 0xEEEEEE, 0xA8A280, 0xA8A280,
      0xECE9D8, 0xFFFFFF, 0x000000, 0xEEEEEE, 0xA8A280, 0xFFA500}},
    {u"Sky Blue",
     {0xC2DFFF, 0x5785FF, 0x5785FF, 0x5785FF, 0x5785FF, 0x000000, 0xEEEEEE, 0x5785FF, 0x5785FF,
      0xFFFFFF, 0xFFFFFF, 0x000000, 0xEEEEEE, 0x5785FF, 0xFFA500}},
    {u"Pink",
     {0xFFC2E6, 0xFF5DA2, 0xFF5DA2, 0xFF5DA2, 0xFF5DA2, 0x000000, 0xEEEEEE, 0xFF5DA2, 0xFF5DA2,
      0xFFFFFF, 0xFFFFFF, 0x000000, 0xEEEEEE, 0xFF305C, 0xFFA500}},
    {u"Salmon Red",
     {0xFF305C, 0xFFBDCB, 0xFFBDCB, 0xFFBDCB, 0xFFBDCB, 0xFFFFFF, 0x333333, 0xFFBDCB, 0xFFBDCB,
      0xFF305C, 0xFFFFFF, 0x000000, 0xEEEEEE, 0xFFC2E6, 0xFFA500}},
    {u"Yellow",
     {0xFCFF5B, 0xE0CE00, 0xE0CE00, 0xE0CE00, 0xE0CE00, 0x000000, 0xEEEEEE, 0xE0CE00, 0xE0CE00,
      0xFFFFFF, 0xFFFFFF, 0x000000, 0xEEEEEE, 0xA8FF53, 0xFFA500}},
    {u"Green",
     {0xB8FF3D, 0x81A007, 0x81A007, 0x81A007, 0x81A007, 0x000000, 0xEEEEEE, 0x8FAF11, 0x8FAF11,
      0xFFFFFF, 0xFFFFFF, 0x000000, 0xEEEEEE, 0x8FAF11, 0xFFA500}},
    {u"Orange",
     {0xFFCF3D, 0xDD8702, 0xDD8702, 0xDD8702, 0xDD8702, 0x000000, 0xEEEEEE, 0xDD8702, 0xDD8702,
      0xFFFFFF, 0xFFFFFF, 0x000000, 0xEEEEEE, 0xFFFFFF, 0xFFA500}},
    {u"Khaki",
     {0x3E5C00, 0x92B941, 0x92B941, 0x92B941, 0x92B941, 0xFFFFFF, 0x333333, 0xDD8702, 0xDD8702,
      0x3E5C00, 0xFFFFFF, 0x000000, 0xEEEEEE, 0xD5EB6B, 0xFFA500}},
    {u"Indigo",
     {0x310082, 0xC07DFF, 0xC07DFF, 0xC07DFF, 0xC07DFF, 0xFFFFFF, 0x333333, 0xC39EFF, 0xC39EFF,
      0x310082, 0xFFFFFF, 0x000000, 0xEEEEEE, 0xC07DFF, 0xFFA500}},
}};

constexpr Rgb kThinStripe = 0xF3F3F3;

template <class T>
PoolPtr<T> drawerWith(std::initializer_list<Rgb> colours) {
  PoolPtr<T> drawer = T::make();
  int role = 0;
  for (Rgb c : colours) {
    drawer->setColour(role++, c);
  }
  return drawer;
}

PoolPtr<ISkin> makeThin(std::u16string_view name, const std::array<Rgb, 6>& c) {
  const Rgb background = c[0];
  const Rgb frame = c[1];
  const Rgb text = c[2];
  const Rgb scroll = c[3];
  PoolPtr<skin::Thin> skin = skin::Thin::make();
  skin->setName(name);
  skin->setBorder(drawerWith<border::win::Thin>({frame, background}));
  skin->setWindow(drawerWith<window::win::Thin>({frame}));
  skin->setText(drawerWith<text::win::Thin>({}));
  skin->setButton(drawerWith<button::win::Thin>({frame, background}));
  skin->setCheckBox(drawerWith<checkbox::win::Thin>({frame}));
  skin->setRadioButton(drawerWith<radiobutton::win::Thin>({frame}));
  skin->setScrollBar(drawerWith<scrollbar::win::Thin>({frame, scroll}));
  skin->setCounter(drawerWith<counter::win::Thin>({c[4], c[5]}));
  skin->setSlider(drawerWith<slider::win::Thin>({frame, background}));
  PoolPtr<listbox::win::Thin> list = listbox::win::Thin::make();
  list->setColours(background, text, frame, background, kThinStripe);
  skin->setListBox(std::move(list));
  skin->setListHeader(drawerWith<listheader::win::Thin>({frame}));
  skin->setMenu(drawerWith<menu::win::Thin>({text, frame, background}));
  skin->setStatusBar(drawerWith<statusbar::win::Thin>({text, frame}));
  skin->setGroupBox(drawerWith<groupbox::win::Thin>({frame}));
  skin->setTabBox(drawerWith<tabbox::win::Thin>({frame}));
  // The text colour goes to the fonts of the drawers that paint text.
  for (IDrawer* d : std::initializer_list<IDrawer*>{
           skin->getWindow(), skin->getText(), skin->getCheckBox(), skin->getRadioButton(),
           skin->getSlider(), skin->getListHeader(), skin->getMenu(), skin->getStatusBar()}) {
    d->setFontColour(0, text);
  }
  chooseReadableInks(*skin, {.text = text, .accent = frame, .surface = background, .all = c});
  return skin;
}

PoolPtr<ISkin> makeThinWindow(std::u16string_view name, const std::array<Rgb, 15>& colours) {
  // Numbered as in the table of uses, from 1.
  auto c = [&](int n) { return colours[static_cast<std::size_t>(n - 1)]; };
  PoolPtr<skin::ThinWindow> skin = skin::ThinWindow::make();
  skin->setName(name);
  skin->setBorder(drawerWith<border::win::Thin>({c(2), c(1)}));
  auto window = drawerWith<window::win::Thin>({c(4), c(3), c(4), c(9)});
  window->setFontColour(0, c(6));
  window->setFontColour(1, c(3));
  window->setFontColour(3, c(10));
  skin->setWindow(std::move(window));
  auto text = drawerWith<text::win::Thin>({c(1), 0, c(7)});
  text->setFontColour(0, c(6));
  text->setFontColour(1, c(3));
  text->setFontColour(2, c(6));
  text->setFontColour(3, c(4));
  skin->setText(std::move(text));
  skin->setButton(drawerWith<button::win::Thin>({c(4), c(8)}));
  auto check = drawerWith<checkbox::win::Thin>({c(4), c(3)});
  check->setFontColour(0, c(6));
  skin->setCheckBox(std::move(check));
  auto radio = drawerWith<radiobutton::win::Thin>({c(4), c(3)});
  radio->setFontColour(0, c(6));
  skin->setRadioButton(std::move(radio));
  skin->setScrollBar(drawerWith<scrollbar::win::Thin>({c(4), c(8), c(3)}));
  skin->setCounter(drawerWith<counter::win::Thin>({c(14), c(15)}));
  auto slider = drawerWith<slider::win::Thin>({c(4), c(9)});
  slider->setFontColour(0, c(10));
  skin->setSlider(std::move(slider));
  PoolPtr<listbox::win::Thin> list = listbox::win::Thin::make();
  list->setColours(c(11), c(12), c(9), c(10), c(13));
  skin->setListBox(std::move(list));
  skin->setListHeader(drawerWith<listheader::win::Thin>({c(4)}));
  auto menu = drawerWith<menu::win::Thin>({c(6), c(4), c(1)});
  menu->setFontColour(0, c(6));
  menu->setFontColour(1, c(4));
  menu->setFontColour(2, c(6));
  skin->setMenu(std::move(menu));
  auto status = drawerWith<statusbar::win::Thin>({c(6), c(4)});
  status->setFontColour(0, c(6));
  skin->setStatusBar(std::move(status));
  auto group = drawerWith<groupbox::win::Thin>({c(5)});
  group->setFontColour(0, c(6));
  skin->setGroupBox(std::move(group));
  auto tab = drawerWith<tabbox::win::Thin>({c(4)});
  tab->setFontColour(0, c(6));
  skin->setTabBox(std::move(tab));
  chooseReadableInks(*skin, {.text = c(6), .accent = c(4), .surface = c(1), .all = colours});
  return skin;
}

}  // namespace

// Skins of both families go back to their own pools.
Skinner::Skinner() : skins_(&ReleasingDisposer<ISkin>::instance()) {}

Skinner::~Skinner() = default;

void Skinner::reset() {
  family_.clear();
  skins_.freeMemory();
  names_.freeMemory();
  listeners_.clear();
}

PoolPtr<Skinner> Skinner::newSkinner(std::u16string_view family) {
  PoolPtr<Skinner> skinner = make();
  skinner->fill(family);
  return skinner;
}

PoolPtr<ISkin> Skinner::makeSkin(std::u16string_view family, std::u16string_view name,
                                 const Rgb* colours, std::uint32_t count) {
  if (family == kThin && count == 6) {
    std::array<Rgb, 6> c{};
    std::copy(colours, colours + 6, c.begin());
    return makeThin(name, c);
  }
  if (family == kThinWindow && count == 15) {
    std::array<Rgb, 15> c{};
    std::copy(colours, colours + 15, c.begin());
    return makeThinWindow(name, c);
  }
  return nullptr;
}

void Skinner::fill(std::u16string_view family) {
  family_ = family;
  if (family == kThin) {
    for (const ThinScheme& scheme : kThinSchemes) {
      skins_.push(makeThin(scheme.name, scheme.colours));
      names_.add(scheme.name);
    }
  } else if (family == kThinWindow) {
    for (const WindowScheme& scheme : kWindowSchemes) {
      skins_.push(makeThinWindow(scheme.name, scheme.colours));
      names_.add(scheme.name);
    }
  }
}

std::u16string_view Skinner::getSkinName(std::uint32_t i) const {
  return i < names_.count() ? names_.at(i)->view() : std::u16string_view();
}

std::int32_t Skinner::findSkin(std::u16string_view name) const {
  for (std::uint32_t i = 0; i < names_.count(); ++i) {
    if (names_.at(i)->view() == name) {
      return static_cast<std::int32_t>(i);
    }
  }
  return -1;
}

void Skinner::removeListener(events::IEventListener* listener) {
  const std::int64_t at = listeners_.indexOf(listener);
  if (at >= 0) {
    listeners_.removeRange(static_cast<std::uint32_t>(at), 1);
  }
}

void Skinner::select(std::uint32_t index) {
  if (index >= skins_.count()) {
    return;
  }
  for (events::IEventListener* listener : listeners_) {
    listener->onEvent(this, static_cast<std::int32_t>(index));
  }
}

}  // namespace s::gui::drawer
