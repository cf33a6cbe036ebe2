// Window: its thread, its state and the operations on it. The rest of its jobs have files of
// their own: WindowInput (events, input routing and focus), WindowHotKeys, WindowDrops and
// WindowPaint.
#include "gui/layout/Window.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <mutex>
#include <utility>

#include "framework/lang/Localizer.h"
#include "framework/str/Utf8.h"
#include "framework/thread/Thread.h"
#include "gui/layout/MessageBoxW.h"

namespace s::gui::win {

using platform::ui::Event;
using platform::ui::Rect;

namespace {

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

}  // namespace

void Window::setDisplayFactory(DisplayFactory factory) {
  std::lock_guard<std::mutex> hold(factoryLock());
  ::s::gui::win::factory() = std::move(factory);
}

Window::Window() : thread_(thread::win::Thread::make()) {
  window_ = this;
  host_ = this;
  setBounds(0, 0, 240, 120);
  setVisible(false, false);
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
  thread_.reset();
  // The thread is gone: what is left of the tree is plain memory, taken apart here.
  Component::destroyPlatform();
  Component::removeAll(true);
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
  makeTrayIcon();
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
  tray_.reset();
  display_->destroyWindow(platformWindow_);
}

bool Window::isUiThread() const {
  return std::this_thread::get_id() == uiThread_.load();
}

bool Window::runSync(Operation op, void* block) {
  return display_ != nullptr && display_->loop().runSync(op, block);
}

void Window::addListener(WindowEvent event, events::IEventListener* listener) {
  if (event > 0 && event < kWindowEventCount) {
    Component::runSync([&] { listeners_[static_cast<std::size_t>(event)].add(listener); });
  }
}

void Window::removeListener(WindowEvent event, events::IEventListener* listener) {
  if (event > 0 && event < kWindowEventCount) {
    Component::runSync([&] { listeners_[static_cast<std::size_t>(event)].remove(listener); });
  }
}

void Window::fire(WindowEvent event) {
  listeners_[static_cast<std::size_t>(event)].fire(this, event);
}

void Window::setTitle(std::string_view utf8) {
  Component::runSync([&] {
    title_ = std::string(utf8);
    if (display_ != nullptr) {
      display_->setTitle(platformWindow_, title_);
    }
    // The tray icon's tip is the title.
    updateTrayIcon();
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
    setTitle(std::string_view(composedTitle()));
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
    if (appWindow_ != nullptr) {
      appWindow_->setKeepOnTop(above);
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
    saveBounds();
    trayIconAlways_ = false;
    showTrayIcon(false);
    closed_ = true;
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
    skin_.set(skin, owned);
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
  if (!minimized_ && !maximized_) {
    normalBounds_ = applied_;
  }
  if (sized) {
    relayout();
    invalidate(Rect{0, 0, event.width, event.height});
    fire(kWindowSized);
  }
  if (moved) {
    fire(kWindowMoved);
  }
}

}  // namespace s::gui::win
