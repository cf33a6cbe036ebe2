#include "platform/offscreen/OffscreenDisplay.h"

#include <algorithm>
#include <utility>

#include "platform/ui/Surfaces.h"

namespace s::platform::offscreen {

namespace {

// Hot keys held by any offscreen display of the process, as the X server holds key grabs.
struct HeldKey {
  const void* holder;
  std::uint32_t modifiers;
  std::uint32_t keysym;
};
std::mutex& heldKeysLock() {
  static std::mutex lock;
  return lock;
}
// What the X server answers for a key another client holds.
constexpr int kBadAccess = 10;

std::vector<HeldKey>& heldKeys() {
  static std::vector<HeldKey> keys;
  return keys;
}

}  // namespace

using ui::Event;
using ui::EventKind;
using ui::Rect;
using ui::WindowId;

OffscreenDisplay::OffscreenDisplay(int screenWidth, int screenHeight)
    : screenWidth_(screenWidth), screenHeight_(screenHeight) {}

OffscreenDisplay::~OffscreenDisplay() {
  while (!hotKeys_.empty()) {
    ungrabHotKey(hotKeys_.back().id);
  }
  for (auto& [id, state] : windows_) {
    cairo_surface_destroy(state.back);
    cairo_surface_destroy(state.front);
  }
}

OffscreenDisplay::WindowState* OffscreenDisplay::find(WindowId window) {
  auto it = windows_.find(window);
  return it == windows_.end() ? nullptr : &it->second;
}

const OffscreenDisplay::WindowState* OffscreenDisplay::state(WindowId window) const {
  auto it = windows_.find(window);
  return it == windows_.end() ? nullptr : &it->second;
}

std::vector<WindowId> OffscreenDisplay::windows() const {
  std::vector<WindowId> ids;
  for (const auto& [id, state] : windows_) {
    ids.push_back(id);
  }
  return ids;
}

void OffscreenDisplay::inject(const Event& event) {
  queue(event);
}

void OffscreenDisplay::queue(const Event& event) {
  {
    std::lock_guard<std::mutex> hold(eventsLock_);
    events_.push_back(event);
  }
  // An empty closure only wakes the loop; the event itself waits in events_.
  loop_.post([] {});
}

void OffscreenDisplay::queueConfigure(WindowId window, const WindowState& state) {
  Event event;
  event.kind = EventKind::kConfigure;
  event.window = window;
  event.rootX = state.bounds.x;
  event.rootY = state.bounds.y;
  event.width = state.bounds.width;
  event.height = state.bounds.height;
  queue(event);
}

WindowId OffscreenDisplay::createWindow(const ui::WindowOptions& options) {
  if (options.bounds.width <= 0 || options.bounds.height <= 0 ||
      (options.owner != 0 && find(options.owner) == nullptr)) {
    return 0;
  }
  WindowState state;
  state.options = options;
  state.options.title = {};
  state.bounds = options.bounds;
  state.title = std::string(options.title);
  state.decorated = options.kind != ui::WindowKind::kPopup;
  state.back = ui::surfaces::makeImage(options.bounds.width, options.bounds.height);
  state.front = ui::surfaces::makeImage(options.bounds.width, options.bounds.height);
  if (state.back == nullptr || state.front == nullptr) {
    cairo_surface_destroy(state.back);
    cairo_surface_destroy(state.front);
    return 0;
  }
  const WindowId id = nextId_++;
  windows_.emplace(id, std::move(state));
  return id;
}

void OffscreenDisplay::destroyWindow(WindowId window) {
  WindowState* state = find(window);
  if (state == nullptr) {
    return;
  }
  cairo_surface_destroy(state->back);
  cairo_surface_destroy(state->front);
  windows_.erase(window);
  if (clipboardOwner_ == window) {
    clipboardOwner_ = 0;
    clipboardText_.clear();
  }
  if (pointerGrab_ == window) {
    pointerGrab_ = 0;
  }
  if (pressedIn_ == window) {
    pressedIn_ = 0;
    pressedButtons_ = 0;
  }
}

bool OffscreenDisplay::show(WindowId window, bool activate) {
  WindowState* state = find(window);
  if (state == nullptr) {
    return false;
  }
  if (!state->shown || state->iconified) {
    state->shown = true;
    state->iconified = false;
    queue({.kind = EventKind::kMap, .window = window});
  }
  if (activate) {
    queue({.kind = EventKind::kFocusIn, .window = window});
  }
  return true;
}

bool OffscreenDisplay::hide(WindowId window) {
  WindowState* state = find(window);
  if (state == nullptr) {
    return false;
  }
  if (state->shown) {
    state->shown = false;
    queue({.kind = EventKind::kUnmap, .window = window});
  }
  // A window that is not viewable holds no grab.
  if (pressedIn_ == window) {
    pressedIn_ = 0;
    pressedButtons_ = 0;
  }
  if (pointerGrab_ == window) {
    pointerGrab_ = 0;
  }
  return true;
}

bool OffscreenDisplay::move(WindowId window, int x, int y) {
  WindowState* state = find(window);
  if (state == nullptr) {
    return false;
  }
  state->bounds.x = x;
  state->bounds.y = y;
  queueConfigure(window, *state);
  return true;
}

bool OffscreenDisplay::resize(WindowId window, int width, int height) {
  WindowState* state = find(window);
  if (state == nullptr || width <= 0 || height <= 0) {
    return false;
  }
  if (width != state->bounds.width || height != state->bounds.height) {
    cairo_surface_t* back = ui::surfaces::makeImage(width, height);
    cairo_surface_t* front = ui::surfaces::makeImage(width, height);
    if (back == nullptr || front == nullptr) {
      cairo_surface_destroy(back);
      cairo_surface_destroy(front);
      return false;
    }
    ui::surfaces::copyInto(state->back, back);
    ui::surfaces::copyInto(state->front, front);
    cairo_surface_destroy(state->back);
    cairo_surface_destroy(state->front);
    state->back = back;
    state->front = front;
    state->bounds.width = width;
    state->bounds.height = height;
  }
  queueConfigure(window, *state);
  return true;
}

Rect OffscreenDisplay::bounds(WindowId window) const {
  const WindowState* s = state(window);
  return s == nullptr ? Rect{} : s->bounds;
}

bool OffscreenDisplay::setTitle(WindowId window, std::string_view utf8) {
  WindowState* state = find(window);
  if (state == nullptr) {
    return false;
  }
  state->title = std::string(utf8);
  return true;
}

bool OffscreenDisplay::setIcon(WindowId window, const std::uint32_t* argb, int width, int height) {
  WindowState* state = find(window);
  if (state == nullptr || argb == nullptr || width <= 0 || height <= 0) {
    return false;
  }
  state->icon.assign({static_cast<std::uint32_t>(width), static_cast<std::uint32_t>(height)});
  state->icon.insert(state->icon.end(), argb, argb + static_cast<std::ptrdiff_t>(width) * height);
  return true;
}

bool OffscreenDisplay::setKeepOnTop(WindowId window, bool above) {
  WindowState* state = find(window);
  if (state == nullptr) {
    return false;
  }
  state->keepOnTop = above;
  return true;
}

bool OffscreenDisplay::setSizeLimits(WindowId window, int minWidth, int minHeight, int maxWidth,
                                     int maxHeight) {
  WindowState* state = find(window);
  if (state == nullptr) {
    return false;
  }
  state->minWidth = minWidth;
  state->minHeight = minHeight;
  state->maxWidth = maxWidth;
  state->maxHeight = maxHeight;
  return true;
}

bool OffscreenDisplay::setDecorated(WindowId window, bool decorated) {
  WindowState* state = find(window);
  if (state == nullptr) {
    return false;
  }
  state->decorated = decorated;
  return true;
}

bool OffscreenDisplay::setSkipTaskbar(WindowId window, bool skip) {
  WindowState* state = find(window);
  if (state == nullptr) {
    return false;
  }
  state->skipTaskbar = skip;
  return true;
}

bool OffscreenDisplay::iconify(WindowId window) {
  WindowState* state = find(window);
  if (state == nullptr) {
    return false;
  }
  if (state->shown && !state->iconified) {
    state->iconified = true;
    queue({.kind = EventKind::kUnmap, .window = window});
  }
  return true;
}

bool OffscreenDisplay::setMaximized(WindowId window, bool maximized) {
  WindowState* state = find(window);
  if (state == nullptr) {
    return false;
  }
  state->maximized = maximized;
  return true;
}

bool OffscreenDisplay::grabPointer(WindowId window) {
  if (find(window) == nullptr) {
    return false;
  }
  const WindowId holder = pointerGrab_ != 0 ? pointerGrab_ : pressedIn_;
  if (holder != 0 && holder != window) {
    queue({.kind = EventKind::kPointerGrabLost, .window = holder});
  }
  pressedIn_ = 0;
  pressedButtons_ = 0;
  pointerGrab_ = window;
  return true;
}

std::vector<Rect> OffscreenDisplay::monitors() const {
  if (!monitors_.empty()) {
    return monitors_;
  }
  return {Rect{0, 0, screenWidth_, screenHeight_}};
}

bool OffscreenDisplay::beginMoveResize(WindowId window, ui::MoveResize how, int /*rootX*/,
                                       int /*rootY*/, std::uint32_t /*button*/) {
  WindowState* state = find(window);
  if (state == nullptr) {
    return false;
  }
  state->moveResize = how;
  ++state->moveResizeCount;
  return true;
}

bool OffscreenDisplay::activate(WindowId window) {
  WindowState* state = find(window);
  if (state == nullptr) {
    return false;
  }
  ++state->activations;
  queue({.kind = EventKind::kFocusIn, .window = window});
  return true;
}

void OffscreenDisplay::ungrabPointer() {
  pointerGrab_ = 0;
}

bool OffscreenDisplay::watchClipboard(WindowId window, bool watch) {
  WindowState* state = find(window);
  if (state == nullptr) {
    return false;
  }
  state->watchesClipboard = watch;
  return true;
}

bool OffscreenDisplay::setDropTarget(WindowId window, bool accept) {
  WindowState* state = find(window);
  if (state == nullptr) {
    return false;
  }
  state->dropTarget = accept;
  return true;
}

void OffscreenDisplay::injectDrop(WindowId window, int x, int y, std::string uriList) {
  {
    std::lock_guard<std::mutex> hold(eventsLock_);
    drops_.push_back(std::move(uriList));
  }
  queue({.kind = EventKind::kDragOver, .window = window, .x = x, .y = y});
  queue({.kind = EventKind::kDrop, .window = window, .x = x, .y = y});
}

bool OffscreenDisplay::setClipboardText(WindowId window, std::string_view utf8) {
  if (find(window) == nullptr) {
    return false;
  }
  clipboardOwner_ = window;
  clipboardText_.assign(utf8);
  tellClipboardWatchers();
  return true;
}

void OffscreenDisplay::changeClipboard() {
  clipboardOwner_ = 0;
  clipboardText_.clear();
  tellClipboardWatchers();
}

void OffscreenDisplay::tellClipboardWatchers() {
  for (const auto& [id, state] : windows_) {
    if (state.watchesClipboard) {
      queue({.kind = EventKind::kClipboardChanged, .window = id});
    }
  }
}

bool OffscreenDisplay::setCursor(WindowId window, ui::PointerShape shape) {
  WindowState* state = find(window);
  if (state == nullptr) {
    return false;
  }
  state->cursor = shape == ui::PointerShape::kInherit ? ui::PointerShape::kArrow : shape;
  return true;
}

cairo_surface_t* OffscreenDisplay::backBuffer(WindowId window) {
  WindowState* state = find(window);
  return state == nullptr ? nullptr : state->back;
}

bool OffscreenDisplay::present(WindowId window, const Rect& damage) {
  WindowState* state = find(window);
  if (state == nullptr) {
    return false;
  }
  const Rect area = damage.intersected({0, 0, state->bounds.width, state->bounds.height});
  if (area.empty()) {
    return true;
  }
  cairo_surface_flush(state->back);
  cairo_t* cr = cairo_create(state->front);
  cairo_set_operator(cr, CAIRO_OPERATOR_SOURCE);
  cairo_set_source_surface(cr, state->back, 0, 0);
  cairo_rectangle(cr, area.x, area.y, area.width, area.height);
  cairo_fill(cr);
  cairo_destroy(cr);
  cairo_surface_flush(state->front);
  state->presented.push_back(area);
  return true;
}

std::uint32_t OffscreenDisplay::pixel(WindowId window, int x, int y) const {
  const WindowState* s = state(window);
  return s == nullptr ? 0 : ui::surfaces::pixelAt(s->front, x, y);
}

bool OffscreenDisplay::writePng(WindowId window, const std::string& path) const {
  const WindowState* s = state(window);
  return s != nullptr && cairo_surface_write_to_png(s->front, path.c_str()) == CAIRO_STATUS_SUCCESS;
}

bool OffscreenDisplay::grabHotKey(std::uint32_t id, std::uint32_t modifiers, std::uint32_t keysym) {
  if (keysym == 0) {
    hotKeyError_ = -1;
    return false;
  }
  modifiers &= ui::modifier::kKeys;
  ungrabHotKey(id);
  std::lock_guard<std::mutex> hold(heldKeysLock());
  auto& held = heldKeys();
  if (std::any_of(held.begin(), held.end(), [&](const HeldKey& k) {
        return k.modifiers == modifiers && k.keysym == keysym;
      })) {
    hotKeyError_ = kBadAccess;
    return false;
  }
  hotKeyError_ = 0;
  held.push_back({this, modifiers, keysym});
  hotKeys_.push_back({id, modifiers, keysym});
  return true;
}

void OffscreenDisplay::ungrabHotKey(std::uint32_t id) {
  auto it =
      std::find_if(hotKeys_.begin(), hotKeys_.end(), [id](const HotKey& k) { return k.id == id; });
  if (it == hotKeys_.end()) {
    return;
  }
  {
    std::lock_guard<std::mutex> hold(heldKeysLock());
    std::erase_if(heldKeys(), [&](const HeldKey& k) {
      return k.holder == this && k.modifiers == it->modifiers && k.keysym == it->keysym;
    });
  }
  hotKeys_.erase(it);
}

// Takes events one at a time so that a nested dispatch keeps their order; events queued while
// delivering wait for the next round.
bool OffscreenDisplay::drain(ui::IEventSink& sink) {
  std::size_t count = 0;
  {
    std::lock_guard<std::mutex> hold(eventsLock_);
    count = events_.size();
  }
  for (std::size_t i = 0; i < count; ++i) {
    Event event;
    {
      std::lock_guard<std::mutex> hold(eventsLock_);
      if (events_.empty()) {
        break;
      }
      event = events_.front();
      events_.pop_front();
    }
    const std::uint32_t bit = event.button < 32 ? 1U << event.button : 0;
    if (event.kind == EventKind::kButtonPress && pointerGrab_ == 0) {
      pressedIn_ = event.window;
      pressedButtons_ |= bit;
    } else if (event.kind == EventKind::kButtonRelease && (pressedButtons_ &= ~bit) == 0) {
      pressedIn_ = 0;
    }
    if (event.kind == EventKind::kDragOver || event.kind == EventKind::kDrop) {
      deliverDrag(event, sink);
      continue;
    }
    if (event.window == 0 && event.kind == EventKind::kKeyPress) {
      const std::uint32_t modifiers = event.modifiers & ui::modifier::kKeys;
      auto it = std::find_if(hotKeys_.begin(), hotKeys_.end(), [&](const HotKey& k) {
        return k.modifiers == modifiers && k.keysym == event.keysym;
      });
      if (it == hotKeys_.end()) {
        continue;
      }
      event.kind = EventKind::kHotKey;
      event.id = it->id;
    }
    sink.onPlatformEvent(event);
  }
  return count > 0;
}

// As the drag source does: only a drop target hears of the drag, and only a kDrop carries data.
void OffscreenDisplay::deliverDrag(const Event& event, ui::IEventSink& sink) {
  std::string text;
  if (event.kind == EventKind::kDrop) {
    std::lock_guard<std::mutex> hold(eventsLock_);
    text = std::move(drops_.front());
    drops_.pop_front();
  }
  const WindowState* target = find(event.window);
  if (target == nullptr || !target->dropTarget) {
    return;
  }
  dragAnswer_ = false;
  dropped_ = std::move(text);
  sink.onPlatformEvent(event);
  dropped_.clear();
  dragAnswers_.push_back(dragAnswer_);
}

bool OffscreenDisplay::dispatch(ui::IEventSink& sink, int timeoutMs) {
  return loop_.dispatch(sink, timeoutMs, [this, &sink] { return drain(sink); });
}

}  // namespace s::platform::offscreen
