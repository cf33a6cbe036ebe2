#include "gui/menu/MenuTracker.h"

#include <algorithm>
#include <cstdlib>

#include "gui/drawer/TextLayout.h"
#include "gui/layout/Window.h"

namespace s::gui::win {

using platform::ui::Event;
using platform::ui::EventKind;
using platform::ui::Rect;

namespace {

constexpr std::int32_t kFrame = 2;
constexpr std::int32_t kRowPadding = 8;
constexpr std::int32_t kSeparatorHeight = 7;
constexpr std::int32_t kMinWidth = 120;
constexpr std::int32_t kTextGap = 12;
constexpr std::int32_t kArmDistance = 3;
constexpr std::uint32_t kGrabRetryMs = 20;
constexpr int kGrabTries = 25;

constexpr std::uint32_t kKeyUp = 0xFF52;
constexpr std::uint32_t kKeyDown = 0xFF54;
constexpr std::uint32_t kKeyLeft = 0xFF51;
constexpr std::uint32_t kKeyRight = 0xFF53;
constexpr std::uint32_t kKeyHome = 0xFF50;
constexpr std::uint32_t kKeyEnd = 0xFF57;
constexpr std::uint32_t kKeyReturn = 0xFF0D;
constexpr std::uint32_t kKeyEnter = 0xFF8D;
constexpr std::uint32_t kKeySpace = 0x20;
constexpr std::uint32_t kKeyEscape = 0xFF1B;

bool isInput(EventKind kind) {
  switch (kind) {
    case EventKind::kButtonPress:
    case EventKind::kButtonRelease:
    case EventKind::kMotion:
    case EventKind::kWheel:
    case EventKind::kKeyPress:
    case EventKind::kKeyRelease:
    case EventKind::kEnter:
    case EventKind::kLeave:
      return true;
    default:
      return false;
  }
}

bool inside(const Rect& r, std::int32_t x, std::int32_t y) {
  return x >= r.x && y >= r.y && x < r.x + r.width && y < r.y + r.height;
}

}  // namespace

MenuTracker::MenuTracker(Window& owner, PopupMenu& menu, const PopupMenu::TrackOptions& options)
    : owner_(owner),
      display_(*owner.display()),
      menu_(menu),
      options_(options),
      monitors_(display_.monitors()),
      startX_(options.anchor.x),
      startY_(options.anchor.y) {}

MenuTracker::~MenuTracker() {
  display_.killTimer(kGrabRetryTimer);
  if (grabbed_) {
    display_.ungrabPointer();
  }
  closeAbove(0);
}

drawer::IMenu& MenuTracker::menuDrawer() {
  drawer::ISkin* skin = owner_.getSkin();
  if (skin != nullptr && skin->getMenu() != nullptr) {
    return *skin->getMenu();
  }
  return basic_;
}

bool MenuTracker::open(PopupMenu& menu, const Rect& anchor, MenuSide side, const Rect& beside) {
  if (menu.count() == 0) {
    return false;
  }
  Level level;
  level.menu = &menu;
  std::int32_t rowHeight = drawer::TextLayout::measure(u"Ag", nullptr, 0).height + kRowPadding;
  std::int32_t textWidth = 0;
  for (std::uint32_t i = 0; i < menu.count(); ++i) {
    const PopupMenu::EntryView entry = menu.entryAt(i);
    if (!entry.separator) {
      textWidth = std::max(textWidth, drawer::TextLayout::measure(entry.text, nullptr, 0).width);
    }
  }
  const std::int32_t width = std::max(kMinWidth, textWidth + 2 * rowHeight + kTextGap + 2 * kFrame);
  std::int32_t y = kFrame;
  for (std::uint32_t i = 0; i < menu.count(); ++i) {
    const std::int32_t h = menu.entryAt(i).separator ? kSeparatorHeight : rowHeight;
    level.rows.push_back({kFrame, y, width - 2 * kFrame, h});
    y += h;
  }
  level.bounds = placeMenu(width, y + kFrame, anchor, side, beside, monitors_);
  level.id = display_.createWindow({.kind = platform::ui::WindowKind::kPopup,
                                    .owner = owner_.platformWindow(),
                                    .bounds = level.bounds,
                                    .positioned = true});
  if (level.id == 0) {
    return false;
  }
  levels_.push_back(std::move(level));
  paint(levels_.back());
  display_.show(levels_.back().id, false);
  return true;
}

void MenuTracker::closeAbove(std::size_t depth) {
  while (levels_.size() > depth) {
    display_.destroyWindow(levels_.back().id);
    levels_.pop_back();
  }
}

void MenuTracker::paint(const Level& level) {
  cairo_surface_t* surface = display_.backBuffer(level.id);
  if (surface == nullptr) {
    return;
  }
  drawer::IMenu& drawer = menuDrawer();
  cairo_t* cr = cairo_create(surface);
  const Rect all{0, 0, level.bounds.width, level.bounds.height};
  drawer.paintMenuBackground(cr, all);
  for (std::uint32_t i = 0; i < level.rows.size(); ++i) {
    const PopupMenu::EntryView entry = level.menu->entryAt(i);
    if (entry.separator) {
      drawer.paintSeparator(cr, level.rows[i]);
      continue;
    }
    drawer.paintMenuItem(cr, level.rows[i], entry.text, nullptr,
                         {.highlighted = static_cast<std::int32_t>(i) == level.hot,
                          .enabled = entry.enabled,
                          .mark = entry.mark,
                          .subMenu = entry.subMenu != nullptr});
  }
  cairo_destroy(cr);
  display_.present(level.id, all);
}

std::optional<std::size_t> MenuTracker::levelAt(std::int32_t rootX, std::int32_t rootY) const {
  for (std::size_t depth = levels_.size(); depth-- > 0;) {
    if (inside(levels_[depth].bounds, rootX, rootY)) {
      return depth;
    }
  }
  return std::nullopt;
}

std::int32_t MenuTracker::rowAt(const Level& level, std::int32_t rootX, std::int32_t rootY) const {
  const std::int32_t x = rootX - level.bounds.x;
  const std::int32_t y = rootY - level.bounds.y;
  for (std::size_t i = 0; i < level.rows.size(); ++i) {
    if (inside(level.rows[i], x, y)) {
      return static_cast<std::int32_t>(i);
    }
  }
  return -1;
}

bool MenuTracker::choosable(const Level& level, std::int32_t row) const {
  if (row < 0 || row >= static_cast<std::int32_t>(level.rows.size())) {
    return false;
  }
  const PopupMenu::EntryView entry = level.menu->entryAt(static_cast<std::uint32_t>(row));
  return !entry.separator && entry.enabled;
}

void MenuTracker::setHot(std::size_t depth, std::int32_t row) {
  Level& level = levels_[depth];
  if (!choosable(level, row)) {
    row = -1;
  }
  if (row == level.hot) {
    return;
  }
  // The sub-menu of the entry left behind closes.
  closeAbove(depth + 1);
  level.hot = row;
  paint(level);
}

void MenuTracker::openSubMenu(std::size_t depth) {
  const Level& level = levels_[depth];
  if (level.hot < 0 || levels_.size() > depth + 1) {
    return;
  }
  PopupMenu* sub = level.menu->entryAt(static_cast<std::uint32_t>(level.hot)).subMenu;
  if (sub == nullptr) {
    return;
  }
  const Rect& row = level.rows[static_cast<std::size_t>(level.hot)];
  const Rect anchor{level.bounds.x + row.x, level.bounds.y + row.y - kFrame, row.width, row.height};
  open(*sub, anchor, MenuSide::kBeside, level.bounds);
}

void MenuTracker::choose(std::size_t depth, std::int32_t row) {
  if (!choosable(levels_[depth], row)) {
    return;
  }
  const PopupMenu::EntryView entry = levels_[depth].menu->entryAt(static_cast<std::uint32_t>(row));
  if (entry.subMenu != nullptr) {
    setHot(depth, row);
    openSubMenu(depth);
    if (levels_.size() > depth + 1) {
      moveHot(1);
    }
    return;
  }
  finish(PopupMenu::Closed::kChosen, entry.commandId);
}

void MenuTracker::moveHot(std::int32_t step) {
  Level& level = levels_.back();
  const auto count = static_cast<std::int32_t>(level.rows.size());
  std::int32_t row = level.hot;
  for (std::int32_t tries = 0; tries < count; ++tries) {
    if (row < 0) {
      row = step > 0 ? 0 : count - 1;
    } else {
      row = (row + step + count) % count;
    }
    if (choosable(level, row)) {
      setHot(levels_.size() - 1, row);
      return;
    }
  }
}

void MenuTracker::finish(PopupMenu::Closed closed, std::int32_t command) {
  done_ = true;
  result_.closed = closed;
  result_.command = command;
}

bool MenuTracker::isOurs(platform::ui::WindowId window) const {
  return std::any_of(levels_.begin(), levels_.end(),
                     [window](const Level& l) { return l.id == window; });
}

void MenuTracker::handlePointer(const Event& event) {
  const std::optional<std::size_t> depth = levelAt(event.rootX, event.rootY);
  if (event.kind == EventKind::kMotion) {
    if (std::abs(event.rootX - startX_) > kArmDistance ||
        std::abs(event.rootY - startY_) > kArmDistance) {
      armed_ = true;
    }
    if (depth) {
      setHot(*depth, rowAt(levels_[*depth], event.rootX, event.rootY));
      openSubMenu(*depth);
    } else if (event.window == owner_.platformWindow() && options_.ownerMotion &&
               options_.ownerMotion(event)) {
      finish(PopupMenu::Closed::kSwitched, -1);
    }
    return;
  }
  if (event.kind == EventKind::kButtonPress) {
    armed_ = true;
    if (!depth) {
      finish(PopupMenu::Closed::kCancelled, -1);
      if (event.window == owner_.platformWindow()) {
        passOn_ = event;
      }
    }
    return;
  }
  if (event.kind == EventKind::kButtonRelease && armed_ && depth) {
    choose(*depth, rowAt(levels_[*depth], event.rootX, event.rootY));
  }
}

void MenuTracker::handleKey(const Event& event) {
  const std::size_t top = levels_.size() - 1;
  switch (event.keysym) {
    case kKeyUp:
      moveHot(-1);
      break;
    case kKeyDown:
      moveHot(1);
      break;
    case kKeyHome:
      levels_.back().hot = -1;
      moveHot(1);
      break;
    case kKeyEnd:
      levels_.back().hot = -1;
      moveHot(-1);
      break;
    case kKeyRight:
      if (levels_.back().hot >= 0 &&
          levels_.back().menu->entryAt(static_cast<std::uint32_t>(levels_.back().hot)).subMenu !=
              nullptr) {
        choose(top, levels_.back().hot);
      } else if (options_.ownerKey && options_.ownerKey(event.keysym)) {
        finish(PopupMenu::Closed::kSwitched, -1);
      }
      break;
    case kKeyLeft:
      if (top > 0) {
        closeAbove(top);
      } else if (options_.ownerKey && options_.ownerKey(event.keysym)) {
        finish(PopupMenu::Closed::kSwitched, -1);
      }
      break;
    case kKeyReturn:
    case kKeyEnter:
    case kKeySpace:
      choose(top, levels_.back().hot);
      break;
    case kKeyEscape:
      if (top > 0) {
        closeAbove(top);
      } else {
        finish(PopupMenu::Closed::kCancelled, -1);
      }
      break;
    default:
      break;
  }
}

void MenuTracker::onPlatformEvent(const Event& event) {
  if (event.kind == EventKind::kTimer && event.id == kGrabRetryTimer) {
    grabbed_ = !levels_.empty() && display_.grabPointer(levels_.front().id);
    if (grabbed_ || ++grabTries_ >= kGrabTries) {
      display_.killTimer(kGrabRetryTimer);
    }
    return;
  }
  const bool ours = isOurs(event.window);
  const bool owners = event.window == owner_.platformWindow();
  if (ours || (owners && isInput(event.kind))) {
    switch (event.kind) {
      case EventKind::kMotion:
      case EventKind::kButtonPress:
      case EventKind::kButtonRelease:
        handlePointer(event);
        break;
      case EventKind::kKeyPress:
        handleKey(event);
        break;
      case EventKind::kPointerGrabLost:
        // Another program took the pointer: the menu gives way.
        finish(PopupMenu::Closed::kCancelled, -1);
        break;
      default:
        break;
    }
    return;
  }
  // Everything else (the owner's painting, timers, carried work) goes on as usual.
  owner_.onPlatformEvent(event);
}

PopupMenu::TrackResult MenuTracker::run() {
  if (!open(menu_, options_.anchor, options_.side, {})) {
    return result_;
  }
  grabbed_ = display_.grabPointer(levels_.front().id);
  if (!grabbed_) {
    display_.setTimer(kGrabRetryTimer, kGrabRetryMs);
  }
  while (!done_ && !owner_.isStopping()) {
    display_.dispatch(*this, -1);
  }
  display_.killTimer(kGrabRetryTimer);
  if (grabbed_) {
    display_.ungrabPointer();
    grabbed_ = false;
  }
  closeAbove(0);
  if (passOn_) {
    Window* owner = &owner_;
    const Event press = *passOn_;
    display_.post([owner, press] { owner->onPlatformEvent(press); });
  }
  return result_;
}

}  // namespace s::gui::win
