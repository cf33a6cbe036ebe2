#include "gui/menu/MenuEx.h"

#include <algorithm>
#include <utility>

#include "gui/drawer/TextLayout.h"
#include "gui/layout/Window.h"
#include "gui/widgets/Skinned.h"

namespace s::gui::win {

using platform::ui::Event;
using platform::ui::EventKind;
using platform::ui::Rect;

namespace {
constexpr std::int32_t kBarPadding = 8;
constexpr std::uint32_t kKeyLeft = 0xFF51;
constexpr std::uint32_t kKeyRight = 0xFF53;
constexpr std::uint32_t kKeyDown = 0xFF54;
constexpr std::uint32_t kKeyReturn = 0xFF0D;
}  // namespace

MenuEx::MenuEx() {
  setTransparent(false);
  measure();
}

MenuEx::~MenuEx() = default;

void MenuEx::reset() {
  Component::reset();
  setTransparent(false);
  entries_.clear();
  hotEntry_ = -1;
  popupOpen_ = pressed_ = false;
  lastClosed_ = {};
  lastItem_ = nullptr;
  normal_.reset();
  hot_.reset();
  lead_ = 4;
  padding_ = 8;
  rightAlignLast_ = wholeBarOneEntry_ = false;
  drawer_.reset();
  itemListeners_.clear();
  openListeners_.clear();
  measure();
}

void MenuEx::addItem(PoolPtr<MenuItem> item) {
  if (item != nullptr) {
    entries_.push_back({.kind = EntryKind::kItem, .item = std::move(item), .menu = nullptr});
    measure();
  }
}

void MenuEx::addMenu(PoolPtr<PopupMenu> menu) {
  if (menu != nullptr) {
    entries_.push_back({.kind = EntryKind::kMenu, .item = nullptr, .menu = std::move(menu)});
    measure();
  }
}

std::u16string MenuEx::titleAt(std::uint32_t index) const {
  if (index >= entries_.size()) {
    return {};
  }
  const Entry& entry = entries_[index];
  return entry.kind == EntryKind::kMenu ? entry.menu->getName() : entry.item->getText();
}

std::vector<Rect> MenuEx::layoutTitles() const {
  std::vector<Rect> rects;
  std::int32_t x = lead_;
  for (std::uint32_t i = 0; i < entries_.size(); ++i) {
    const std::int32_t w =
        drawer::TextLayout::measure(titleAt(i), &normal_, 0).width + 2 * padding_;
    rects.push_back({x, 0, w, getHeight()});
    x += w;
  }
  if (rightAlignLast_ && !rects.empty()) {
    rects.back().x = std::max(rects.back().x, getWidth() - rects.back().width);
  }
  return rects;
}

Rect MenuEx::titleRect(std::uint32_t index) const {
  if (wholeBarOneEntry_) {
    return {0, 0, getWidth(), getHeight()};
  }
  const std::vector<Rect> rects = layoutTitles();
  return index < rects.size() ? rects[index] : Rect{};
}

std::int32_t MenuEx::entryAt(std::int32_t x, std::int32_t y) const {
  if (entries_.empty() || y < 0 || y >= getHeight() || x < 0 || x >= getWidth()) {
    return -1;
  }
  if (wholeBarOneEntry_) {
    return 0;
  }
  const std::vector<Rect> rects = layoutTitles();
  for (std::size_t i = 0; i < rects.size(); ++i) {
    if (x >= rects[i].x && x < rects[i].x + rects[i].width) {
      return static_cast<std::int32_t>(i);
    }
  }
  return -1;
}

void MenuEx::measure() {
  std::int32_t width = lead_;
  for (std::uint32_t i = 0; i < entries_.size(); ++i) {
    width += drawer::TextLayout::measure(titleAt(i), &normal_, 0).width + 2 * padding_;
  }
  const std::int32_t height = drawer::TextLayout::measure(u"Ag", &normal_, 0).height + kBarPadding;
  setMinSize(0, height);
  setNaturalSize(width, height);
  relayoutParent();
}

bool MenuEx::containsCommand(std::int32_t commandId) const {
  return std::any_of(entries_.begin(), entries_.end(), [commandId](const Entry& e) {
    return e.kind == EntryKind::kItem ? e.item->getCommandId() == commandId && commandId >= 0
                                      : e.menu->containsCommand(commandId);
  });
}

bool MenuEx::isChecked(std::int32_t commandId) const {
  return std::any_of(entries_.begin(), entries_.end(), [commandId](const Entry& e) {
    return e.kind == EntryKind::kMenu && e.menu->isChecked(commandId);
  });
}

bool MenuEx::setChecked(std::int32_t commandId, bool checked) {
  bool found = false;
  for (Entry& entry : entries_) {
    if (entry.kind == EntryKind::kMenu) {
      found = entry.menu->setChecked(commandId, checked) || found;
    }
  }
  return found;
}

void MenuEx::dispatch(std::int32_t commandId) {
  for (Entry& entry : entries_) {
    if (entry.kind == EntryKind::kItem && entry.item->getCommandId() == commandId) {
      lastItem_ = entry.item.get();
      itemListeners_.fire(this, 0);
      return;
    }
    if (entry.kind == EntryKind::kMenu && entry.menu->containsCommand(commandId)) {
      lastItem_ = entry.menu->findItem(commandId);
      entry.menu->dispatch(commandId);
      return;
    }
  }
}

void MenuEx::setDrawer(drawer::IMenu* drawer, bool owned) {
  drawer_.set(drawer, owned);
  invalidate();
}

void MenuEx::setSizeCode(std::int32_t code) {
  normal_.setSizeCode(code);
  hot_.setSizeCode(code);
  measure();
}

void MenuEx::setBold(bool bold) {
  normal_.setBold(bold);
  hot_.setBold(bold);
  measure();
}

void MenuEx::setFace(std::u16string_view face) {
  normal_.setFace(face);
  hot_.setFace(face);
  measure();
}

void MenuEx::setTitleColour(drawer::Rgb colour) {
  normal_.setColour((colour >> 16) & 0xFF, (colour >> 8) & 0xFF, colour & 0xFF);
  invalidate();
}

void MenuEx::setHotColour(drawer::Rgb colour) {
  hot_.setColour((colour >> 16) & 0xFF, (colour >> 8) & 0xFF, colour & 0xFF);
  invalidate();
}

void MenuEx::setSpacing(std::int32_t lead, std::int32_t padding) {
  lead_ = std::max(lead, 0);
  padding_ = std::max(padding, 0);
  measure();
}

void MenuEx::setRightAlignLast(bool rightAlign) {
  rightAlignLast_ = rightAlign;
  invalidate();
}

void MenuEx::setWholeBarOneEntry(bool whole) {
  wholeBarOneEntry_ = whole;
  invalidate();
}

void MenuEx::setFixedHeight(std::int32_t px) {
  setFixedHeightValue(px);
  relayoutParent();
}

void MenuEx::setWidthPercent(std::int32_t percent) {
  setWidthPercentValue(percent);
  relayoutParent();
}

void MenuEx::onEvent(IObject* /*source*/, std::int32_t /*code*/) {
  // A change of language renames the titles.
  measure();
  invalidate();
}

drawer::IMenu& MenuEx::menuDrawer() {
  if (drawer_.get() != nullptr) {
    return *drawer_.get();
  }
  drawer::ISkin* skin = skinOf(*this);
  if (skin != nullptr && skin->getMenu() != nullptr) {
    return *skin->getMenu();
  }
  return basic_;
}

void MenuEx::paint(cairo_t* cr) {
  drawer::IMenu& drawer = menuDrawer();
  drawer::shapes::fill(cr, {0, 0, getWidth(), getHeight()}, drawer.getColour(2));
  for (std::uint32_t i = 0; i < entries_.size(); ++i) {
    const bool hot = static_cast<std::int32_t>(i) == hotEntry_;
    drawer.paintMenuTitle(cr, titleRect(i), titleAt(i), hot ? &hot_ : &normal_, hot);
  }
}

void MenuEx::setHot(std::int32_t entry) {
  if (entry != hotEntry_) {
    hotEntry_ = entry;
    invalidate();
  }
}

std::int32_t MenuEx::nextMenuEntry(std::int32_t from, std::int32_t step) const {
  const auto count = static_cast<std::int32_t>(entries_.size());
  std::int32_t at = from;
  for (std::int32_t tries = 0; tries < count; ++tries) {
    at = (at + step + count) % count;
    if (entries_[static_cast<std::size_t>(at)].kind == EntryKind::kMenu) {
      return at;
    }
  }
  return from;
}

void MenuEx::runPopups(std::int32_t entry) {
  Window* window = windowOf(*this);
  if (window == nullptr) {
    return;
  }
  std::int32_t next = entry;
  std::int32_t chosen = -1;
  while (next >= 0) {
    const std::int32_t open = next;
    next = -1;
    popupOpen_ = true;
    setHot(open);
    openListeners_.fire(this, kEventOpening);
    const Rect title = titleRect(static_cast<std::uint32_t>(open));
    const Rect at = clientBounds();
    const Rect onScreen{window->getX() + at.x + title.x, window->getY() + at.y + title.y,
                        title.width, title.height};
    PopupMenu::TrackOptions options;
    options.anchor = onScreen;
    options.ownerMotion = [&](const Event& motion) {
      const std::int32_t reached = entryAt(motion.x - at.x, motion.y - at.y);
      if (reached >= 0 && reached != open &&
          entries_[static_cast<std::size_t>(reached)].kind == EntryKind::kMenu) {
        next = reached;
        return true;
      }
      return false;
    };
    options.ownerKey = [&](std::uint32_t keysym) {
      const std::int32_t step = keysym == kKeyLeft ? -1 : (keysym == kKeyRight ? 1 : 0);
      const std::int32_t reached = step == 0 ? open : nextMenuEntry(open, step);
      if (reached == open) {
        return false;
      }
      next = reached;
      return true;
    };
    const PopupMenu::TrackResult result =
        entries_[static_cast<std::size_t>(open)].menu->trackWith(options, *window);
    chosen = result.command;
  }
  lastClosed_ = std::chrono::steady_clock::now();
  popupOpen_ = false;
  pressed_ = false;
  window->releaseCapture(this);
  setHot(-1);
  if (chosen >= 0) {
    window->routeCommand(chosen);
  }
}

void MenuEx::openMenu(std::uint32_t index) {
  if (index >= entries_.size() || popupOpen_) {
    return;
  }
  const auto at = static_cast<std::int32_t>(index);
  const std::int32_t entry = entries_[index].kind == EntryKind::kMenu ? at : nextMenuEntry(at, 1);
  if (entries_[static_cast<std::size_t>(entry)].kind == EntryKind::kMenu) {
    runPopups(entry);
  }
}

bool MenuEx::handleKey(const Event& event) {
  if (hotEntry_ >= 0 && (event.keysym == kKeyDown || event.keysym == kKeyReturn)) {
    openMenu(static_cast<std::uint32_t>(hotEntry_));
    return true;
  }
  return false;
}

bool MenuEx::handleInput(const Event& event, std::int32_t x, std::int32_t y) {
  const std::int32_t entry = entryAt(x, y);
  switch (event.kind) {
    case EventKind::kMotion:
      if (!pressed_) {
        setHot(entry);
      }
      return entry >= 0;
    case EventKind::kLeave:
    case EventKind::kPointerGrabLost:
      if (!popupOpen_ && !pressed_) {
        setHot(-1);
      }
      return false;
    case EventKind::kButtonPress: {
      // Outside every title the press is the window's: it drags the window.
      if (event.button != 1 || entry < 0) {
        return false;
      }
      Window* window = windowOf(*this);
      if (window != nullptr) {
        window->setCapture(this);
      }
      pressed_ = true;
      setHot(entry);
      if (entries_[static_cast<std::size_t>(entry)].kind == EntryKind::kMenu &&
          std::chrono::steady_clock::now() - lastClosed_ >= kReopenGuard) {
        runPopups(entry);
      }
      return true;
    }
    case EventKind::kButtonRelease: {
      if (event.button != 1 || !pressed_) {
        return false;
      }
      pressed_ = false;
      Window* window = windowOf(*this);
      if (window != nullptr) {
        window->releaseCapture(this);
      }
      const std::int32_t pressedOn = hotEntry_;
      setHot(entry);
      if (entry >= 0 && entry == pressedOn &&
          entries_[static_cast<std::size_t>(entry)].kind == EntryKind::kItem) {
        const std::int32_t command = entries_[static_cast<std::size_t>(entry)].item->getCommandId();
        if (window != nullptr) {
          window->routeCommand(command);
        } else {
          dispatch(command);
        }
      }
      return true;
    }
    default:
      return false;
  }
}

}  // namespace s::gui::win
