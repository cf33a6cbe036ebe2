#include "gui/layout/Window.h"

#include <unistd.h>
#include <algorithm>
#include <chrono>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <mutex>
#include <utility>

#include "framework/lang/Localizer.h"
#include "framework/str/Utf8.h"
#include "framework/thread/Thread.h"
#include "gui/layout/MessageBoxW.h"
#include "platform/ui/UriList.h"

namespace s::gui::win {

using platform::ui::Event;
using platform::ui::EventKind;
using platform::ui::Rect;

namespace {

constexpr std::uint32_t kDoubleClickMs = 500;
constexpr std::uint32_t kKeyTab = 0xFF09;
// What Shift+Tab gives on most keyboard maps.
constexpr std::uint32_t kKeyLeftTab = 0xFE20;
constexpr std::int32_t kDoubleClickSlop = 4;
constexpr std::chrono::milliseconds kPoll{10};
constexpr std::chrono::milliseconds kEndWait{5000};

std::mutex& factoryLock() {
  static std::mutex lock;
  return lock;
}

Window::DisplayFactory& factory() {
  static Window::DisplayFactory make;
  return make;
}

Rect united(const Rect& a, const Rect& b) {
  if (a.empty()) {
    return b;
  }
  if (b.empty()) {
    return a;
  }
  const std::int32_t left = std::min(a.x, b.x);
  const std::int32_t top = std::min(a.y, b.y);
  return {left, top, std::max(a.x + a.width, b.x + b.width) - left,
          std::max(a.y + a.height, b.y + b.height) - top};
}

}  // namespace

void Window::setDisplayFactory(DisplayFactory factory) {
  std::lock_guard<std::mutex> hold(factoryLock());
  ::s::gui::win::factory() = std::move(factory);
}

Window::Window() {
  window_ = this;
  host_ = this;
  setBounds(0, 0, 240, 120);
  setVisible(false, false);
  thread_ = thread::win::Thread::take();
  thread_->runOnce(&task_);
  while (!ready_.load()) {
    std::this_thread::sleep_for(kPoll);
  }
}

Window::~Window() {
  // First, so that no change of language reaches a window on its way out.
  if (localizer_ != nullptr) {
    localizer_->removeListener(this);
  }
  stopping_ = true;
  // Wakes the loop to see it; once the loop has closed, nothing more is queued.
  if (display_ != nullptr) {
    display_->post([] {});
  }
  thread_->waitIdle(static_cast<std::uint32_t>(kEndWait.count()));
  thread_->release();
  thread_ = nullptr;
  // The thread is gone: what is left of the tree is plain memory, taken apart here.
  Component::destroyPlatform();
  Component::removeAll(true);
  if (skinOwned_ && skin_ != nullptr) {
    skin_->release();
  }
}

void Window::reset() {
  // The pool keeps no windows, so this only empties one in use.
  Component::runSync([&] {
    removeAll(true);
    for (auto& list : listeners_) {
      list.clear();
    }
  });
}

void Window::runThread() {
  uiThread_ = std::this_thread::get_id();
  DisplayFactory make;
  {
    std::lock_guard<std::mutex> hold(factoryLock());
    make = factory();
  }
  std::unique_ptr<platform::ui::IDisplay> display = make ? make() : nullptr;
  if (display != nullptr) {
    platformWindow_ = display->createWindow({.kind = platform::ui::WindowKind::kTopLevel,
                                             .bounds = {getX(), getY(), getWidth(), getHeight()},
                                             .title = title_});
  }
  if (display == nullptr || platformWindow_ == 0) {
    std::fprintf(stderr, "Error!: Window Creation Failed!\n");
    ready_ = true;
    return;
  }
  display_ = std::move(display);
  applied_ = {getX(), getY(), getWidth(), getHeight()};
  createPlatform(this, this);
  ready_ = true;
  while (!stopping_.load()) {
    display_->dispatch(*this, -1);
  }
  // Work queued before the end still runs, so that no caller waits for ever.
  display_->loop().close();
  for (const HotKey& hotKey : hotKeys_) {
    display_->ungrabHotKey(hotKey.id);
  }
  hotKeys_.clear();
  display_->destroyWindow(platformWindow_);
}

bool Window::isUiThread() const {
  return std::this_thread::get_id() == uiThread_.load();
}

bool Window::runSync(Operation op, void* block) {
  return display_ != nullptr && display_->loop().runSync(op, block);
}

void Window::addListener(std::int32_t code, events::IEventListener* listener) {
  if (code > 0 && code < kWindowEventCount) {
    Component::runSync([&] { listeners_[static_cast<std::size_t>(code)].add(listener); });
  }
}

void Window::removeListener(std::int32_t code, events::IEventListener* listener) {
  if (code > 0 && code < kWindowEventCount) {
    Component::runSync([&] { listeners_[static_cast<std::size_t>(code)].remove(listener); });
  }
}

void Window::fire(std::int32_t code) {
  listeners_[static_cast<std::size_t>(code)].fire(this, code);
}

void Window::setTitle(std::string_view utf8) {
  Component::runSync([&] {
    title_ = std::string(utf8);
    if (display_ != nullptr) {
      display_->setTitle(platformWindow_, title_);
    }
  });
}

void Window::setTitle(std::u16string_view text) {
  std::string utf8(text.size() * 3, '\0');
  utf8.resize(str::utf8::encode(text, reinterpret_cast<std::uint8_t*>(utf8.data())));
  setTitle(std::string_view(utf8));
}

void Window::setLocalizer(lang::Localizer* localizer) {
  Component::runSync([&] {
    if (localizer == localizer_) {
      return;
    }
    if (localizer_ != nullptr) {
      localizer_->removeListener(this);
    }
    localizer_ = localizer;
    if (localizer_ != nullptr) {
      localizer_->addListener(this);
    }
    languageChanged();
  });
}

void Window::setTitleTextId(std::int32_t id) {
  Component::runSync([&] {
    titleTextId_ = id;
    if (localizer_ != nullptr && id >= 0) {
      setTitle(localizer_->text(id));
    }
  });
}

void Window::languageChanged() {
  if (localizer_ != nullptr && titleTextId_ >= 0) {
    setTitle(localizer_->text(titleTextId_));
  }
  BoxBase::languageChanged();
}

void Window::onEvent(IObject* source, std::int32_t /*code*/) {
  // The language changed. This is the thread that changed it, inside the localizer's lock: the
  // texts are fetched again on the window's own thread, without waiting for it here.
  if (source == nullptr || source != localizer_ || display_ == nullptr) {
    return;
  }
  if (isUiThread()) {
    languageChanged();
  } else {
    display_->post([this] { languageChanged(); });
  }
}

void Window::setResizable(bool resizable) {
  Component::runSync([&] {
    resizable_ = resizable;
    hintedMinWidth_ = hintedMinHeight_ = -1;
    if (display_ == nullptr) {
      return;
    }
    if (resizable) {
      relayout();
    } else {
      display_->setSizeLimits(platformWindow_, getWidth(), getHeight(), getWidth(), getHeight());
    }
  });
}

void Window::relayout() {
  Component::runSync([&] {
    BoxBase::relayout();
    // The window manager keeps the user's resizing at or above what the layout needs.
    if (display_ != nullptr && resizable_ &&
        (getMinWidth() != hintedMinWidth_ || getMinHeight() != hintedMinHeight_)) {
      hintedMinWidth_ = getMinWidth();
      hintedMinHeight_ = getMinHeight();
      display_->setSizeLimits(platformWindow_, hintedMinWidth_, hintedMinHeight_, 0, 0);
    }
  });
}

void Window::setKeepOnTop(bool above) {
  Component::runSync([&] {
    keepOnTop_ = above;
    if (display_ != nullptr) {
      display_->setKeepOnTop(platformWindow_, above);
    }
  });
}

void Window::setTaskbarButton(bool shown) {
  Component::runSync([&] {
    taskbarButton_ = shown;
    if (display_ != nullptr) {
      display_->setSkipTaskbar(platformWindow_, !shown);
    }
  });
}

void Window::show(bool activate) {
  Component::runSync([&] {
    if (display_ == nullptr) {
      return;
    }
    setVisible(true, false);
    relayout();
    iconized_ = false;
    display_->show(platformWindow_, activate);
    invalidate(Rect{0, 0, getWidth(), getHeight()});
  });
}

void Window::hide() {
  Component::runSync([&] {
    if (display_ != nullptr) {
      display_->hide(platformWindow_);
    }
    setVisible(false, false);
  });
}

void Window::close() {
  Component::runSync([&] {
    if (closed_) {
      return;
    }
    closeCancelled_ = false;
    fire(kWindowClosing);
    if (closeCancelled_) {
      return;
    }
    if (display_ != nullptr) {
      display_->hide(platformWindow_);
    }
    setVisible(false, true);
    watchClipboard(false);
    closed_ = true;
  });
}

void Window::iconize() {
  Component::runSync([&] {
    if (display_ != nullptr && display_->iconify(platformWindow_)) {
      iconized_ = true;
    }
  });
}

void Window::restore() {
  Component::runSync([&] {
    if (display_ == nullptr) {
      return;
    }
    if (maximized_) {
      maximized_ = false;
      display_->setMaximized(platformWindow_, false);
    }
    show(true);
  });
}

void Window::maximize() {
  Component::runSync([&] {
    if (display_ != nullptr) {
      maximized_ = true;
      display_->setMaximized(platformWindow_, true);
      relayout();
    }
  });
}

void Window::waitUntilClosed() {
  while (!closed_.load()) {
    std::this_thread::sleep_for(kPoll);
  }
}

void Window::setTimer(std::uint32_t id, std::uint32_t ms) {
  Component::runSync([&] {
    if (display_ != nullptr) {
      display_->setTimer(id + kAppTimerOffset, ms);
    }
  });
}

void Window::killTimer(std::uint32_t id) {
  Component::runSync([&] {
    if (display_ != nullptr) {
      display_->killTimer(id + kAppTimerOffset);
    }
  });
}

std::string Window::hotKeyOccupiedText(int error, std::uint32_t flags, std::uint32_t keyCode) {
  std::string text = "(" + std::to_string(error) + ") HotKey ";
  if ((flags & 1) != 0) {
    text += "Alt+";
  }
  if ((flags & 2) != 0) {
    text += "Ctrl+";
  }
  if ((flags & 4) != 0) {
    text += "Shift+";
  }
  if ((flags & 8) != 0) {
    text += "WinKey+";
  }
  return text + std::to_string(keyCode) + " has been occupied by another application.";
}

bool Window::registerHotKey(std::uint32_t flags, std::uint32_t keyCode, std::string_view name,
                            bool showError) {
  bool registered = false;
  Component::runSync([&] {
    unregisterHotKey(name);
    if (display_ == nullptr) {
      return;
    }
    std::uint32_t modifiers = 0;
    modifiers |= (flags & 1) != 0 ? platform::ui::modifier::kAlt : 0;
    modifiers |= (flags & 2) != 0 ? platform::ui::modifier::kControl : 0;
    modifiers |= (flags & 4) != 0 ? platform::ui::modifier::kShift : 0;
    modifiers |= (flags & 8) != 0 ? platform::ui::modifier::kSuper : 0;
    const std::uint32_t id = nextHotKeyId_++;
    registered = display_->grabHotKey(id, modifiers, keyCode);
    if (registered) {
      hotKeys_.push_back({std::string(name), id});
    } else if (showError) {
      lastHotKeyWarning_ = hotKeyOccupiedText(display_->hotKeyError(), flags, keyCode);
      showInfo(lastHotKeyWarning_);
    }
  });
  return registered;
}

void Window::unregisterHotKey(std::string_view name) {
  Component::runSync([&] {
    auto it = std::find_if(hotKeys_.begin(), hotKeys_.end(),
                           [&](const HotKey& k) { return k.name == name; });
    if (it == hotKeys_.end()) {
      return;
    }
    if (display_ != nullptr) {
      display_->ungrabHotKey(it->id);
    }
    hotKeys_.erase(it);
  });
}

void Window::unregisterAllHotKeys() {
  Component::runSync([&] {
    while (!hotKeys_.empty()) {
      unregisterHotKey(std::string(hotKeys_.back().name));
    }
  });
}

std::int32_t Window::sendMessage(std::uint32_t a, std::uint32_t b, std::uint32_t c,
                                 std::uint32_t d) {
  std::int32_t answer = -1;
  runSync([&] {
    messageValues_ = {a, b, c, d};
    messageAnswer_ = 0;
    fire(kWindowMessage);
    answer = messageAnswer_;
  });
  return answer;
}

void Window::notify(std::uint32_t value) {
  runSync([&] {
    notificationValue_ = value;
    fire(kWindowNotification);
  });
}

void Window::showInfo(std::string_view text) {
  MessageBoxW::info(*this, text);
}
void Window::showWarning(std::string_view text) {
  MessageBoxW::warning(*this, text);
}
void Window::showError(std::string_view text) {
  MessageBoxW::error(*this, text);
}
bool Window::askYesNo(std::string_view text) {
  return MessageBoxW::askYesNo(*this, text);
}

void Window::setSkin(drawer::ISkin* skin, bool owned) {
  Component::runSync([&] {
    if (skinOwned_ && skin_ != nullptr && skin_ != skin) {
      skin_->release();
    }
    skin_ = skin;
    skinOwned_ = owned && skin != nullptr;
    if (display_ != nullptr) {
      display_->setDecorated(platformWindow_, skin == nullptr);
    }
    invalidate(Rect{0, 0, getWidth(), getHeight()});
  });
}

bool Window::watchClipboard(bool watch) {
  bool done = false;
  Component::runSync([&] {
    if (display_ == nullptr || watch == watchingClipboard_) {
      done = display_ != nullptr;
      return;
    }
    done = display_->watchClipboard(platformWindow_, watch);
    watchingClipboard_ = watch && done;
  });
  return done;
}

namespace {
bool takesDrops(Component& component) {
  auto* box = dynamic_cast<BoxBase*>(&component);
  if (box != nullptr && (box->acceptsFiles() || box->isUrlDropTarget())) {
    return true;
  }
  for (IComponent* child : *component.getChildren()) {
    Component* c = Component::of(child);
    if (c != nullptr && takesDrops(*c)) {
      return true;
    }
  }
  return false;
}

std::vector<std::u16string> utf16(const std::vector<std::string>& items) {
  std::vector<std::u16string> out;
  for (const std::string& item : items) {
    std::u16string text(item.size(), u'\0');
    text.resize(str::utf8::decode(reinterpret_cast<const std::uint8_t*>(item.data()), item.size(),
                                  text.data()));
    out.push_back(std::move(text));
  }
  return out;
}
}  // namespace

void Window::refreshDropTarget() {
  Component::runSync([&] {
    const bool takes = takesDrops(*this);
    if (display_ != nullptr && takes != dropTarget_ &&
        display_->setDropTarget(platformWindow_, takes)) {
      dropTarget_ = takes;
    }
  });
}

BoxBase* Window::dropTargetAt(std::int32_t x, std::int32_t y, bool files, bool links) {
  for (Component* c = componentAt(x, y); c != nullptr; c = of(c->getParent())) {
    auto* box = dynamic_cast<BoxBase*>(c);
    if (box != nullptr && ((files && box->acceptsFiles()) || (links && box->isUrlDropTarget()))) {
      return box;
    }
  }
  return nullptr;
}

void Window::handleDrop(const Event& event) {
  char host[HOST_NAME_MAX + 1] = {};
  gethostname(host, sizeof host - 1);
  const platform::ui::UriList items = platform::ui::UriList::parse(display_->droppedText(), host);
  BoxBase* forFiles = items.files().empty() ? nullptr : dropTargetAt(event.x, event.y, true, false);
  BoxBase* forLinks = items.links().empty() ? nullptr : dropTargetAt(event.x, event.y, false, true);
  display_->answerDrag(forFiles != nullptr || forLinks != nullptr);
  if (forFiles != nullptr) {
    forFiles->deliverDrop(kEventFilesDropped, utf16(items.files()));
  }
  if (forLinks != nullptr) {
    forLinks->deliverDrop(kEventLinksDropped, utf16(items.links()));
  }
}

void Window::paint(cairo_t* cr) {
  if (skin_ == nullptr) {
    Component::paint(cr);
    return;
  }
  const Rect all{0, 0, getWidth(), getHeight()};
  if (skin_->getBorder() != nullptr) {
    skin_->getBorder()->paintBorder(cr, all);
  }
  if (skin_->getWindow() != nullptr) {
    skin_->getWindow()->paintFrame(cr, all, true);
  }
}

void Window::setComponentTimer(const void* owner, std::uint32_t id, std::uint32_t ms,
                               std::function<void()> tick) {
  Component::runSync([&] {
    killComponentTimer(owner, id);
    if (display_ == nullptr) {
      return;
    }
    const std::uint32_t platformId = nextComponentTimer_++;
    componentTimers_.push_back({owner, id, platformId, std::move(tick)});
    display_->setTimer(platformId, ms);
  });
}

void Window::killComponentTimer(const void* owner, std::uint32_t id) {
  Component::runSync([&] {
    auto it = std::find_if(componentTimers_.begin(), componentTimers_.end(),
                           [&](const ComponentTimer& t) { return t.owner == owner && t.id == id; });
    if (it == componentTimers_.end()) {
      return;
    }
    if (display_ != nullptr) {
      display_->killTimer(it->platformId);
    }
    componentTimers_.erase(it);
  });
}

void Window::releaseCapture(const Component* component) {
  if (capture_ == component) {
    capture_ = nullptr;
  }
}

void Window::focusComponent(Component* component) {
  if (component == focus_) {
    return;
  }
  Component* previous = focus_;
  focus_ = component;
  if (previous != nullptr) {
    previous->invalidate();
  }
  if (component != nullptr) {
    component->invalidate();
  }
}

namespace {
// The focusable components of a tree in tree order, hidden branches left out.
void collectFocusable(Component& component, std::vector<Component*>& out) {
  for (IComponent* child : *component.getChildren()) {
    Component* c = Component::of(child);
    if (c == nullptr || !c->isVisible()) {
      continue;
    }
    if (c->isFocusable()) {
      out.push_back(c);
    }
    collectFocusable(*c, out);
  }
}
}  // namespace

bool Window::moveFocus(bool backwards) {
  std::vector<Component*> stops;
  collectFocusable(*this, stops);
  if (stops.empty()) {
    return false;
  }
  const auto at = std::find(stops.begin(), stops.end(), focus_);
  const auto count = static_cast<std::ptrdiff_t>(stops.size());
  std::ptrdiff_t next = 0;
  if (at == stops.end()) {
    next = backwards ? count - 1 : 0;
  } else {
    next = ((at - stops.begin()) + (backwards ? count - 1 : 1)) % count;
  }
  focusCues_ = true;
  focusComponent(stops[static_cast<std::size_t>(next)]);
  return true;
}

bool Window::routeKey(const Event& event) {
  constexpr std::uint32_t kCommandKeys = platform::ui::modifier::kControl |
                                         platform::ui::modifier::kAlt |
                                         platform::ui::modifier::kSuper;
  if ((event.keysym == kKeyTab || event.keysym == kKeyLeftTab) &&
      (event.modifiers & kCommandKeys) == 0 &&
      moveFocus(event.keysym == kKeyLeftTab ||
                (event.modifiers & platform::ui::modifier::kShift) != 0)) {
    return true;
  }
  // A focused component in a branch hidden since takes no keys (the hidden page of a pile).
  for (Component* c = focus_; c != nullptr && c != this; c = of(c->getParent())) {
    if (!c->wantsVisible()) {
      focusComponent(nullptr);
      break;
    }
  }
  for (Component* target = focus_; target != nullptr && target != this;
       target = of(target->getParent())) {
    if (target->handleKey(event)) {
      return true;
    }
  }
  return false;
}

void Window::applyBounds() {
  if (!created() || fromPlatform_ || display_ == nullptr) {
    return;
  }
  const Rect now{getX(), getY(), getWidth(), getHeight()};
  const bool sized = now.width != applied_.width || now.height != applied_.height;
  if (sized && now.width > 0 && now.height > 0) {
    display_->resize(platformWindow_, now.width, now.height);
  }
  if (now.x != applied_.x || now.y != applied_.y) {
    display_->move(platformWindow_, now.x, now.y);
  }
  applied_ = now;
  if (sized) {
    relayout();
    invalidate(Rect{0, 0, now.width, now.height});
  }
}

void Window::invalidate(const Rect& area) {
  if (!isUiThread()) {
    runSync([&] { invalidate(area); });
    return;
  }
  const Rect visible = area.intersected({0, 0, getWidth(), getHeight()});
  if (visible.empty() || display_ == nullptr) {
    return;
  }
  damage_ = united(damage_, visible);
  if (!paintQueued_) {
    paintQueued_ = true;
    // Painted after the work of this round, once for all its changes.
    display_->post([this] { flushPaint(); });
  }
}

void Window::flushPaint() {
  paintQueued_ = false;
  const Rect area = damage_;
  damage_ = {};
  paintNow(area);
}

void Window::paintNow(const Rect& area) {
  if (display_ == nullptr || area.empty() || !wantsVisible()) {
    return;
  }
  cairo_surface_t* surface = display_->backBuffer(platformWindow_);
  if (surface == nullptr) {
    return;
  }
  cairo_t* cr = cairo_create(surface);
  cairo_rectangle(cr, area.x, area.y, area.width, area.height);
  cairo_clip(cr);
  paintTree(cr, *this, 0, 0);
  cairo_destroy(cr);
  display_->present(platformWindow_, area);
}

void Window::paintTree(cairo_t* cr, Component& component, std::int32_t x, std::int32_t y) {
  cairo_save(cr);
  cairo_translate(cr, x, y);
  cairo_rectangle(cr, 0, 0, component.getWidth(), component.getHeight());
  cairo_clip(cr);
  component.paint(cr);
  for (IComponent* child : *component.getChildren()) {
    Component* c = of(child);
    if (c != nullptr && c->isVisible()) {
      paintTree(cr, *c, c->platformBounds().x, c->platformBounds().y);
    }
  }
  cairo_restore(cr);
}

void Window::onConfigure(const Event& event) {
  const bool moved = event.rootX != applied_.x || event.rootY != applied_.y;
  const bool sized = event.width != applied_.width || event.height != applied_.height;
  // The window manager (the user) moved or sized us: on X the news comes after the fact, so
  // the "changing" events come just before the "changed" ones.
  if (sized) {
    fire(kWindowResizing);
  }
  if (moved) {
    fire(kWindowMoving);
  }
  applied_ = {event.rootX, event.rootY, event.width, event.height};
  fromPlatform_ = true;
  setBounds(event.rootX, event.rootY, event.width, event.height);
  fromPlatform_ = false;
  if (sized) {
    relayout();
    invalidate(Rect{0, 0, event.width, event.height});
    fire(kWindowSized);
  }
  if (moved) {
    fire(kWindowMoved);
  }
}

bool Window::routeInput(const Event& event) {
  if (capture_ != nullptr) {
    const Rect at = capture_->clientBounds();
    return capture_->handleInput(event, event.x - at.x, event.y - at.y);
  }
  for (Component* target = componentAt(event.x, event.y); target != nullptr && target != this;
       target = of(target->getParent())) {
    const Rect at = target->clientBounds();
    if (target->handleInput(event, event.x - at.x, event.y - at.y)) {
      return true;
    }
  }
  return false;
}

void Window::updateCursor(const Event& event) {
  Component* target = capture_ != nullptr ? capture_ : componentAt(event.x, event.y);
  platform::ui::PointerShape shape = platform::ui::PointerShape::kInherit;
  for (Component* c = target; c != nullptr && shape == platform::ui::PointerShape::kInherit;
       c = of(c->getParent())) {
    const Rect at = c->clientBounds();
    shape = c->cursorAt(event.x - at.x, event.y - at.y);
  }
  if (shape == platform::ui::PointerShape::kInherit) {
    shape = platform::ui::PointerShape::kArrow;
  }
  if (shape != shownCursor_ && display_->setCursor(platformWindow_, shape)) {
    shownCursor_ = shape;
  }
}

void Window::loseCapture() {
  if (heldButtons_ == 0) {
    return;
  }
  heldButtons_ = 0;
  Component* holder = capture_;
  capture_ = nullptr;
  if (holder != nullptr) {
    holder->captureLost();
  }
  fire(kWindowCaptureLost);
}

void Window::handleButton(const Event& event) {
  const bool press = event.kind == EventKind::kButtonPress;
  const std::uint32_t bit = event.button < 32 ? 1U << event.button : 0;
  heldButtons_ = press ? heldButtons_ | bit : heldButtons_ & ~bit;
  if (press && event.button == 1) {
    for (Component* c = componentAt(event.x, event.y); c != nullptr && c != this;
         c = of(c->getParent())) {
      if (c->isFocusable()) {
        focusComponent(c);
        break;
      }
    }
  }
  std::int32_t code = 0;
  switch (event.button) {
    case 1:
      code = press ? kWindowLeftPress : kWindowLeftRelease;
      if (press) {
        const bool again = lastLeftPressMs_ != 0 &&
                           event.timeMs - lastLeftPressMs_ <= kDoubleClickMs &&
                           std::abs(event.x - lastLeftPressX_) <= kDoubleClickSlop &&
                           std::abs(event.y - lastLeftPressY_) <= kDoubleClickSlop;
        // The second press of a double click reports the double click instead.
        lastLeftPressMs_ = again ? 0 : event.timeMs;
        lastLeftPressX_ = event.x;
        lastLeftPressY_ = event.y;
        if (again) {
          code = kWindowDoubleClick;
        }
      }
      break;
    case 2:
      code = press ? kWindowMiddlePress : 0;
      break;
    case 3:
      code = press ? kWindowRightPress : kWindowRightRelease;
      break;
    default:
      break;
  }
  // What a component took is not the window's: a press on a button does not drag it.
  const bool taken = routeInput(event);
  if (!press) {
    updateCursor(event);
  }
  if (!taken && code != 0) {
    fire(code);
  }
}

void Window::onPlatformEvent(const Event& event) {
  if (event.kind == EventKind::kTimer) {
    auto timer = std::find_if(componentTimers_.begin(), componentTimers_.end(),
                              [&](const ComponentTimer& t) { return t.platformId == event.id; });
    if (timer != componentTimers_.end()) {
      // The tick may kill or restart its own timer: run a copy.
      const std::function<void()> tick = timer->tick;
      tick();
    } else if (event.id >= kAppTimerOffset) {
      timerId_ = event.id - kAppTimerOffset;
      fire(kWindowTimer);
    }
    return;
  }
  if (event.kind == EventKind::kHotKey) {
    auto it = std::find_if(hotKeys_.begin(), hotKeys_.end(),
                           [&](const HotKey& k) { return k.id == event.id; });
    if (it != hotKeys_.end()) {
      lastInput_ = event;
      hotKeyName_ = it->name;
      fire(kWindowHotKey);
    }
    return;
  }
  if (event.window != platformWindow_) {
    return;
  }
  switch (event.kind) {
    case EventKind::kButtonPress:
    case EventKind::kButtonRelease:
      lastInput_ = event;
      handleButton(event);
      break;
    case EventKind::kMotion:
    case EventKind::kEnter:
      lastInput_ = event;
      routeInput(event);
      updateCursor(event);
      if (event.kind == EventKind::kMotion) {
        fire(kWindowMouseMoved);
      }
      break;
    case EventKind::kWheel:
      lastInput_ = event;
      routeInput(event);
      fire(kWindowWheel);
      break;
    case EventKind::kKeyPress:
      lastInput_ = event;
      if (!routeKey(event)) {
        fire(kWindowKey);
      }
      break;
    case EventKind::kFocusIn:
      fire(kWindowActivated);
      break;
    case EventKind::kFocusOut:
      loseCapture();
      fire(kWindowDeactivated);
      break;
    case EventKind::kPointerGrabLost:
      if (heldButtons_ != 0) {
        loseCapture();
      } else if (capture_ != nullptr) {
        Event leave = event;
        leave.kind = EventKind::kLeave;
        routeInput(leave);
      }
      break;
    case EventKind::kConfigure:
      onConfigure(event);
      break;
    case EventKind::kMap:
      if (iconized_) {
        iconized_ = false;
        fire(kWindowRestored);
      }
      break;
    case EventKind::kLeave:
      if (capture_ != nullptr) {
        routeInput(event);
      }
      break;
    case EventKind::kUnmap:
      loseCapture();
      break;
    case EventKind::kDragOver:
      display_->answerDrag(dropTargetAt(event.x, event.y, true, true) != nullptr);
      break;
    case EventKind::kDrop:
      handleDrop(event);
      break;
    case EventKind::kClipboardChanged:
      if (watchingClipboard_) {
        fire(kWindowClipboard);
      }
      break;
    case EventKind::kCloseRequest:
      // With close-iconizes the close button only iconizes, unless already iconized.
      if (closeIconizes_ && !iconized_) {
        iconize();
      } else {
        close();
      }
      break;
    default:
      break;
  }
}

}  // namespace s::gui::win
