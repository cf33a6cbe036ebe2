#include <gtest/gtest.h>
#include <sys/resource.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <functional>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "platform/x11/X11Display.h"
#include "tests/platform/x11/XvfbServer.h"

// Xlib's macros (None, Status, ...) clash with gtest's names, so Xlib comes last.
#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/extensions/XTest.h>
#include <X11/extensions/Xfixes.h>
#include <X11/keysym.h>

#include "tests/platform/x11/XClientMessage.h"

namespace {

using s::platform::ui::Event;
using s::platform::ui::EventKind;
using s::platform::ui::IEventSink;
using s::platform::ui::Rect;
using s::platform::ui::WindowId;
using s::platform::ui::WindowKind;
using s::platform::x11::X11Display;

struct Recorder : IEventSink {
  std::vector<Event> events;
  void onPlatformEvent(const Event& event) override { events.push_back(event); }
  const Event* find(EventKind kind) const {
    for (const Event& e : events) {
      if (e.kind == kind) {
        return &e;
      }
    }
    return nullptr;
  }
};

class X11DisplayTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() { server_ = new s::testing::XvfbServer(); }
  static void TearDownTestSuite() {
    delete server_;
    server_ = nullptr;
  }

  void SetUp() override {
    ASSERT_FALSE(server_->name().empty()) << "Xvfb did not start";
    display_ = X11Display::open(server_->name().c_str());
    ASSERT_NE(display_, nullptr);
    // A second client, as another program on the same desktop.
    other_ = XOpenDisplay(server_->name().c_str());
    ASSERT_NE(other_, nullptr);
  }
  void TearDown() override {
    display_.reset();
    if (other_ != nullptr) {
      XCloseDisplay(other_);
    }
  }

  // Sends our requests to the server, as the loop does before it sleeps.
  void flush() {
    display_->dispatch(sink_, 0);
    XSync(display_->native(), False);
  }
  // Presents and waits until the server has drawn it, so that the other client reads the result.
  void presented(WindowId w, Rect area) {
    ASSERT_TRUE(display_->present(w, area));
    XSync(display_->native(), False);
  }
  // Dispatches until `done`, for a bounded number of rounds.
  void dispatchUntil(const std::function<bool()>& done) {
    for (int i = 0; i < 200 && !done(); ++i) {
      display_->dispatch(sink_, 25);
    }
  }
  WindowId shownWindow(Rect bounds, bool activate = false) {
    const WindowId w = display_->createWindow({.bounds = bounds, .positioned = true});
    EXPECT_NE(w, 0u);
    display_->show(w, activate);
    dispatchUntil([&] { return sink_.find(EventKind::kMap) != nullptr; });
    EXPECT_NE(sink_.find(EventKind::kMap), nullptr);
    return w;
  }
  // What the screen shows at (x, y), read by the other client.
  std::uint32_t screenPixel(int x, int y) {
    XImage* image = XGetImage(other_, DefaultRootWindow(other_), x, y, 1, 1, AllPlanes, ZPixmap);
    const std::uint32_t pixel = static_cast<std::uint32_t>(XGetPixel(image, 0, 0)) & 0xFFFFFFu;
    XDestroyImage(image);
    return pixel;
  }
  std::vector<unsigned long> cardinals(Window window, const char* property, Atom type) {
    Atom actualType = 0;
    int format = 0;
    unsigned long count = 0;
    unsigned long after = 0;
    unsigned char* data = nullptr;
    XGetWindowProperty(other_, window, XInternAtom(other_, property, False), 0, 1 << 16, False,
                       type, &actualType, &format, &count, &after, &data);
    std::vector<unsigned long> values;
    if (data != nullptr && format == 32) {
      // Xlib widens each 32-bit value to a long with its sign.
      const auto* longs = reinterpret_cast<const unsigned long*>(data);
      for (unsigned long i = 0; i < count; ++i) {
        values.push_back(longs[i] & 0xFFFFFFFFUL);
      }
    }
    XFree(data);
    return values;
  }
  std::string text(Window window, const char* property) {
    Atom actualType = 0;
    int format = 0;
    unsigned long count = 0;
    unsigned long after = 0;
    unsigned char* data = nullptr;
    XGetWindowProperty(other_, window, XInternAtom(other_, property, False), 0, 1 << 16, False,
                       AnyPropertyType, &actualType, &format, &count, &after, &data);
    std::string value;
    if (data != nullptr && format == 8) {
      value.assign(reinterpret_cast<const char*>(data), count);
    }
    XFree(data);
    return value;
  }

  static s::testing::XvfbServer* server_;
  std::unique_ptr<X11Display> display_;
  Display* other_ = nullptr;
  Recorder sink_;
};

s::testing::XvfbServer* X11DisplayTest::server_ = nullptr;

void fill(cairo_surface_t* surface, std::uint32_t rgb, Rect area) {
  cairo_t* cr = cairo_create(surface);
  cairo_set_source_rgb(cr, ((rgb >> 16) & 0xFF) / 255.0, ((rgb >> 8) & 0xFF) / 255.0,
                       (rgb & 0xFF) / 255.0);
  cairo_rectangle(cr, area.x, area.y, area.width, area.height);
  cairo_fill(cr);
  cairo_destroy(cr);
}

TEST_F(X11DisplayTest, PresentedBackBufferIsOnTheScreenWithAndWithoutSharedMemory) {
  for (const bool shm : {true, false}) {
    SCOPED_TRACE(shm ? "XShm" : "XPutImage");
    display_ = X11Display::open(server_->name().c_str(), shm);
    ASSERT_NE(display_, nullptr);
    sink_.events.clear();
    const WindowId w = shownWindow({100, 50, 200, 120});
    // Xvfb runs on this machine, so it takes the shared segment.
    EXPECT_EQ(display_->usesSharedMemory(w), shm);
    cairo_surface_t* buffer = display_->backBuffer(w);
    ASSERT_NE(buffer, nullptr);
    fill(buffer, 0x3366CC, {0, 0, 200, 120});
    fill(buffer, 0xCC3300, {20, 10, 30, 40});
    presented(w, {0, 0, 200, 120});
    EXPECT_EQ(screenPixel(100 + 5, 50 + 5), 0x3366CCu);
    EXPECT_EQ(screenPixel(100 + 20, 50 + 10), 0xCC3300u);
    EXPECT_EQ(screenPixel(100 + 49, 50 + 49), 0xCC3300u);
    EXPECT_EQ(screenPixel(100 + 50, 50 + 50), 0x3366CCu);
    EXPECT_EQ(screenPixel(100 + 199, 50 + 119), 0x3366CCu);

    // Only the damaged rectangle is copied.
    fill(buffer, 0x00FF00, {0, 0, 200, 120});
    presented(w, {0, 0, 10, 10});
    EXPECT_EQ(screenPixel(100 + 9, 50 + 9), 0x00FF00u);
    EXPECT_EQ(screenPixel(100 + 10, 50 + 10), 0x3366CCu);

    // A resize keeps the pixels and the window still presents.
    ASSERT_TRUE(display_->resize(w, 300, 150));
    buffer = display_->backBuffer(w);
    EXPECT_EQ(cairo_image_surface_get_width(buffer), 300);
    fill(buffer, 0x112233, {200, 120, 100, 30});
    presented(w, {0, 0, 300, 150});
    EXPECT_EQ(screenPixel(100 + 250, 50 + 140), 0x112233u);
    EXPECT_EQ(screenPixel(100 + 150, 50 + 60), 0x00FF00u);
    display_->destroyWindow(w);
  }
}

TEST_F(X11DisplayTest, ExposedPartsAreRestoredFromTheBackBuffer) {
  const WindowId w = shownWindow({300, 300, 100, 100});
  fill(display_->backBuffer(w), 0xABCDEF, {0, 0, 100, 100});
  presented(w, {0, 0, 100, 100});
  // Another client's window covers ours and goes away: the server asks us to repaint.
  XSetWindowAttributes attributes{};
  attributes.override_redirect = True;
  attributes.background_pixel = 0;
  const Window cover =
      XCreateWindow(other_, DefaultRootWindow(other_), 300, 300, 100, 100, 0, CopyFromParent,
                    InputOutput, CopyFromParent, CWOverrideRedirect | CWBackPixel, &attributes);
  XMapRaised(other_, cover);
  XSync(other_, False);
  EXPECT_EQ(screenPixel(350, 350), 0x000000u);
  XDestroyWindow(other_, cover);
  XSync(other_, False);
  dispatchUntil([&] { return screenPixel(350, 350) == 0xABCDEFu; });
  EXPECT_EQ(screenPixel(350, 350), 0xABCDEFu);
}

TEST_F(X11DisplayTest, WindowPropertiesFollowTheDesktopConventions) {
  const WindowId owner = display_->createWindow({.bounds = {0, 0, 100, 100}, .title = "Сеть"});
  ASSERT_NE(owner, 0u);
  EXPECT_EQ(text(owner, "_NET_WM_NAME"), "Сеть");
  ASSERT_TRUE(display_->setTitle(owner, "网络 Ελλάδα"));
  flush();
  EXPECT_EQ(text(owner, "_NET_WM_NAME"), "网络 Ελλάδα");
  EXPECT_EQ(cardinals(owner, "_NET_WM_PID", XA_CARDINAL),
            std::vector<unsigned long>{static_cast<unsigned long>(getpid())});

  const std::uint32_t icon[4] = {0xFFFF0000, 0xFF00FF00, 0xFF0000FF, 0x80FFFFFF};
  ASSERT_TRUE(display_->setIcon(owner, icon, 2, 2));
  flush();
  EXPECT_EQ(cardinals(owner, "_NET_WM_ICON", XA_CARDINAL),
            (std::vector<unsigned long>{2, 2, 0xFFFF0000, 0xFF00FF00, 0xFF0000FF, 0x80FFFFFF}));

  const Atom above = XInternAtom(other_, "_NET_WM_STATE_ABOVE", False);
  ASSERT_TRUE(display_->setKeepOnTop(owner, true));
  flush();
  EXPECT_EQ(cardinals(owner, "_NET_WM_STATE", XA_ATOM), std::vector<unsigned long>{above});
  ASSERT_TRUE(display_->setKeepOnTop(owner, false));
  flush();
  EXPECT_TRUE(cardinals(owner, "_NET_WM_STATE", XA_ATOM).empty());

  Atom* protocols = nullptr;
  int count = 0;
  ASSERT_NE(XGetWMProtocols(other_, owner, &protocols, &count), 0);
  std::vector<Atom> listed(protocols, protocols + count);
  XFree(protocols);
  EXPECT_NE(std::find(listed.begin(), listed.end(), XInternAtom(other_, "WM_DELETE_WINDOW", False)),
            listed.end());

  // A dialog belongs to its owner; a pop-up is not managed and may reach beyond the owner.
  flush();
  const WindowId dialog = display_->createWindow(
      {.kind = WindowKind::kDialog, .owner = owner, .bounds = {0, 0, 50, 50}});
  flush();
  Window transientFor = 0;
  ASSERT_NE(XGetTransientForHint(other_, dialog, &transientFor), 0);
  EXPECT_EQ(transientFor, owner);
  const WindowId popup = display_->createWindow(
      {.kind = WindowKind::kPopup, .owner = owner, .bounds = {80, 80, 200, 100}});
  display_->show(popup, false);
  dispatchUntil([&] { return sink_.find(EventKind::kMap) != nullptr; });
  XWindowAttributes attributes{};
  ASSERT_NE(XGetWindowAttributes(other_, popup, &attributes), 0);
  EXPECT_TRUE(attributes.override_redirect);
  EXPECT_EQ(attributes.map_state, IsViewable);
  EXPECT_EQ(attributes.x, 80);
  EXPECT_EQ(attributes.width, 200);
}

TEST_F(X11DisplayTest, CloseButtonOfTheWindowManagerArrivesAsCloseRequest) {
  const WindowId w = shownWindow({0, 0, 100, 100});
  s::testing::askToClose(other_, w);
  dispatchUntil([&] { return sink_.find(EventKind::kCloseRequest) != nullptr; });
  ASSERT_NE(sink_.find(EventKind::kCloseRequest), nullptr);
  EXPECT_EQ(sink_.find(EventKind::kCloseRequest)->window, w);
}

TEST_F(X11DisplayTest, PointerAndKeysFromXTestArriveWithPositionsAndText) {
  const WindowId w = shownWindow({200, 200, 160, 100}, true);
  XTestFakeMotionEvent(other_, -1, 200 + 30, 200 + 40, CurrentTime);
  XTestFakeButtonEvent(other_, 1, True, CurrentTime);
  XTestFakeButtonEvent(other_, 1, False, CurrentTime);
  XTestFakeButtonEvent(other_, 4, True, CurrentTime);
  XTestFakeButtonEvent(other_, 4, False, CurrentTime);
  const KeyCode shift = XKeysymToKeycode(other_, XK_Shift_L);
  const KeyCode a = XKeysymToKeycode(other_, XK_a);
  const KeyCode enter = XKeysymToKeycode(other_, XK_Return);
  XTestFakeKeyEvent(other_, shift, True, CurrentTime);
  XTestFakeKeyEvent(other_, a, True, CurrentTime);
  XTestFakeKeyEvent(other_, a, False, CurrentTime);
  XTestFakeKeyEvent(other_, shift, False, CurrentTime);
  XTestFakeKeyEvent(other_, enter, True, CurrentTime);
  XTestFakeKeyEvent(other_, enter, False, CurrentTime);
  XSync(other_, False);
  auto keyPresses = [&] {
    std::vector<const Event*> keys;
    for (const Event& e : sink_.events) {
      if (e.kind == EventKind::kKeyPress) {
        keys.push_back(&e);
      }
    }
    return keys;
  };
  dispatchUntil([&] { return keyPresses().size() >= 3; });

  const Event* press = sink_.find(EventKind::kButtonPress);
  ASSERT_NE(press, nullptr);
  EXPECT_EQ(press->window, w);
  EXPECT_EQ(press->button, 1u);
  EXPECT_EQ(press->x, 30);
  EXPECT_EQ(press->y, 40);
  EXPECT_EQ(press->rootX, 230);
  ASSERT_NE(sink_.find(EventKind::kButtonRelease), nullptr);
  ASSERT_NE(sink_.find(EventKind::kWheel), nullptr);
  EXPECT_EQ(sink_.find(EventKind::kWheel)->wheel, 1);
  ASSERT_NE(sink_.find(EventKind::kEnter), nullptr);

  const auto keys = keyPresses();
  ASSERT_EQ(keys.size(), 3u);  // Shift, A, Return
  EXPECT_EQ(keys[0]->keysym, static_cast<std::uint32_t>(XK_Shift_L));
  EXPECT_EQ(keys[0]->typed(), "");
  EXPECT_EQ(keys[1]->keysym, static_cast<std::uint32_t>(XK_A));
  EXPECT_EQ(keys[1]->typed(), "A");
  EXPECT_NE(keys[1]->modifiers & s::platform::ui::modifier::kShift, 0u);
  EXPECT_EQ(keys[2]->keysym, static_cast<std::uint32_t>(XK_Return));
  EXPECT_EQ(keys[2]->typed(), "");
}

TEST_F(X11DisplayTest, ThePointerShowsTheShapeSetOnTheWindowUnderIt) {
  using s::platform::ui::PointerShape;
  const WindowId w = shownWindow({100, 100, 100, 100});
  // The server's picture of the pointer where it is moved to, as another client sees it.
  auto pointerAt = [&](int x, int y) {
    flush();
    XTestFakeMotionEvent(other_, -1, x, y, CurrentTime);
    XSync(other_, False);
    XFixesCursorImage* image = XFixesGetCursorImage(other_);
    std::vector<unsigned long> picture;
    if (image != nullptr) {
      picture = {image->width, image->height, image->xhot, image->yhot};
      picture.insert(picture.end(), image->pixels,
                     image->pixels + static_cast<std::size_t>(image->width) * image->height);
      XFree(image);
    }
    return picture;
  };
  const auto root = pointerAt(20, 20);
  const auto arrow = pointerAt(150, 150);
  ASSERT_FALSE(arrow.empty());
  EXPECT_NE(arrow, root);  // a new window shows the arrow, not its parent's shape
  ASSERT_TRUE(display_->setCursor(w, PointerShape::kHand));
  const auto hand = pointerAt(151, 150);
  EXPECT_NE(hand, arrow);
  ASSERT_TRUE(display_->setCursor(w, PointerShape::kSizeBottomRight));
  EXPECT_NE(pointerAt(150, 151), hand);
  EXPECT_EQ(pointerAt(20, 21), root);  // only over the window
  ASSERT_TRUE(display_->setCursor(w, PointerShape::kInherit));
  EXPECT_EQ(pointerAt(150, 150), arrow);
  EXPECT_FALSE(display_->setCursor(w + 12345, PointerShape::kHand));
}

TEST_F(X11DisplayTest, APopUpsGrabTakesThePointerFromTheWindowHoldingAPress) {
  const WindowId w = shownWindow({100, 100, 100, 100});
  const WindowId popup = display_->createWindow(
      {.kind = WindowKind::kPopup, .owner = w, .bounds = {300, 300, 80, 80}});
  display_->show(popup, false);
  XTestFakeMotionEvent(other_, -1, 150, 150, CurrentTime);
  XTestFakeButtonEvent(other_, 1, True, CurrentTime);
  XSync(other_, False);
  dispatchUntil([&] { return sink_.find(EventKind::kButtonPress) != nullptr; });
  ASSERT_NE(sink_.find(EventKind::kButtonPress), nullptr);
  EXPECT_EQ(sink_.find(EventKind::kPointerGrabLost), nullptr);
  ASSERT_TRUE(display_->grabPointer(popup));
  dispatchUntil([&] { return sink_.find(EventKind::kPointerGrabLost) != nullptr; });
  const Event* lost = sink_.find(EventKind::kPointerGrabLost);
  ASSERT_NE(lost, nullptr);
  EXPECT_EQ(lost->window, w);
  XTestFakeButtonEvent(other_, 1, False, CurrentTime);
  XSync(other_, False);
  display_->ungrabPointer();
}

TEST_F(X11DisplayTest, AWatchingWindowHearsWhenAnotherClientTakesTheClipboard) {
  const WindowId w = display_->createWindow({.bounds = {0, 0, 50, 50}});
  const WindowId deaf = display_->createWindow({.bounds = {0, 0, 50, 50}});
  ASSERT_NE(deaf, 0u);  // made, never watching: it hears nothing (checked below)
  // After the other client's request: once our own round trip is back, whatever the server sent
  // us for it has arrived, and is handled.
  auto arrived = [&] {
    XSync(other_, False);
    XSync(display_->native(), False);
    display_->dispatch(sink_, 0);
  };
  ASSERT_TRUE(display_->watchClipboard(w, true));
  arrived();
  const Atom clipboard = XInternAtom(other_, "CLIPBOARD", False);
  const Window owner = XCreateSimpleWindow(other_, DefaultRootWindow(other_), 0, 0, 1, 1, 0, 0, 0);
  auto changes = [&] {
    int n = 0;
    for (const Event& e : sink_.events) {
      n += e.kind == EventKind::kClipboardChanged ? 1 : 0;
      EXPECT_TRUE(e.kind != EventKind::kClipboardChanged || e.window == w);
    }
    return n;
  };
  XSetSelectionOwner(other_, clipboard, owner, CurrentTime);
  arrived();
  EXPECT_EQ(changes(), 1);
  // The owner going away changes the clipboard too.
  XDestroyWindow(other_, owner);
  arrived();
  EXPECT_EQ(changes(), 2);
  ASSERT_TRUE(display_->watchClipboard(w, false));
  arrived();
  const Window second = XCreateSimpleWindow(other_, DefaultRootWindow(other_), 0, 0, 1, 1, 0, 0, 0);
  XSetSelectionOwner(other_, clipboard, second, CurrentTime);
  arrived();
  EXPECT_EQ(changes(), 2);
  EXPECT_FALSE(display_->watchClipboard(0, true));
}

TEST_F(X11DisplayTest, TheTextOfferedOnTheClipboardIsPastedByAnotherProgram) {
  const WindowId w = display_->createWindow({.bounds = {0, 0, 50, 50}});
  const std::string text = "TCP\tnümber ネット\tاتصال\n";
  ASSERT_TRUE(display_->setClipboardText(w, text));
  const Atom clipboard = XInternAtom(other_, "CLIPBOARD", False);
  EXPECT_EQ(XGetSelectionOwner(other_, clipboard), static_cast<Window>(w));
  const Window requestor =
      XCreateSimpleWindow(other_, DefaultRootWindow(other_), 0, 0, 1, 1, 0, 0, 0);
  const Atom into = XInternAtom(other_, "PASTED", False);
  // Asks for the clipboard as `target` and answers the property's type and bytes; the type is
  // None when the owner refused.
  auto paste = [&](const char* target, Atom& type) {
    XConvertSelection(other_, clipboard, XInternAtom(other_, target, False), into, requestor,
                      CurrentTime);
    XFlush(other_);
    XEvent reply{};
    bool answered = false;
    for (int i = 0; i < 200 && !answered; ++i) {
      display_->dispatch(sink_, 10);
      answered = XCheckTypedWindowEvent(other_, requestor, SelectionNotify, &reply) != 0;
    }
    EXPECT_TRUE(answered) << target;
    type = None;
    std::string bytes;
    if (!answered || reply.xselection.property == None) {
      return bytes;
    }
    int format = 0;
    unsigned long count = 0;
    unsigned long after = 0;
    unsigned char* data = nullptr;
    XGetWindowProperty(other_, requestor, into, 0, 1 << 20, True, AnyPropertyType, &type, &format,
                       &count, &after, &data);
    if (data != nullptr) {
      const std::size_t unit = format == 32 ? sizeof(long) : static_cast<std::size_t>(format / 8);
      bytes.assign(reinterpret_cast<const char*>(data), count * unit);
      XFree(data);
    }
    return bytes;
  };
  Atom type = None;
  EXPECT_EQ(paste("UTF8_STRING", type), text);
  EXPECT_EQ(type, XInternAtom(other_, "UTF8_STRING", False));
  EXPECT_EQ(paste("text/plain;charset=utf-8", type), text);
  const std::string targets = paste("TARGETS", type);
  EXPECT_EQ(type, XA_ATOM);
  const auto* atoms = reinterpret_cast<const long*>(targets.data());
  const std::vector<long> offered(atoms, atoms + targets.size() / sizeof(long));
  EXPECT_NE(std::find(offered.begin(), offered.end(),
                      static_cast<long>(XInternAtom(other_, "UTF8_STRING", False))),
            offered.end());
  // What it does not offer is refused.
  EXPECT_TRUE(paste("image/png", type).empty());
  EXPECT_EQ(type, static_cast<Atom>(None));
  // Another program takes the clipboard; we may take it back.
  XSetSelectionOwner(other_, clipboard, requestor, CurrentTime);
  XSync(other_, False);
  display_->dispatch(sink_, 10);
  EXPECT_EQ(XGetSelectionOwner(other_, clipboard), requestor);
  EXPECT_TRUE(display_->setClipboardText(w, "again"));
  EXPECT_EQ(paste("UTF8_STRING", type), "again");
  EXPECT_FALSE(display_->setClipboardText(0, "no window"));
}

// The source side of XDND, as a file manager plays it, on the other client.
class DndSource {
 public:
  DndSource(Display* display, std::string uriList) : display_(display), data_(std::move(uriList)) {
    window_ = XCreateSimpleWindow(display, DefaultRootWindow(display), 0, 0, 1, 1, 0, 0, 0);
    XSetSelectionOwner(display, atom("XdndSelection"), window_, CurrentTime);
    XSync(display, False);
  }
  Atom atom(const char* name) { return XInternAtom(display_, name, False); }
  void send(Window to, const char* type, long l1, long l2, long l3, long l4) {
    XEvent event{};
    event.xclient.type = ClientMessage;
    event.xclient.window = to;
    event.xclient.message_type = atom(type);
    event.xclient.format = 32;
    event.xclient.data.l[0] = static_cast<long>(window_);
    event.xclient.data.l[1] = l1;
    event.xclient.data.l[2] = l2;
    event.xclient.data.l[3] = l3;
    event.xclient.data.l[4] = l4;
    XSendEvent(display_, to, False, NoEventMask, &event);
    XSync(display_, False);
  }
  void enter(Window to) {
    send(to, "XdndEnter", 5L << 24, static_cast<long>(atom("text/uri-list")), 0, 0);
  }
  void position(Window to, int rootX, int rootY) {
    send(to, "XdndPosition", 0, (rootX << 16) | rootY, CurrentTime,
         static_cast<long>(atom("XdndActionCopy")));
  }
  void drop(Window to) { send(to, "XdndDrop", 0, CurrentTime, 0, 0); }
  // Answers what arrived: status and finish messages are recorded, data requests served.
  void serve() {
    while (XPending(display_) > 0) {
      XEvent event;
      XNextEvent(display_, &event);
      if (event.type == ClientMessage && event.xclient.message_type == atom("XdndStatus")) {
        statuses.push_back(event.xclient.data.l[1] & 1);
      } else if (event.type == ClientMessage &&
                 event.xclient.message_type == atom("XdndFinished")) {
        finished.push_back(event.xclient.data.l[1] & 1);
      } else if (event.type == SelectionRequest) {
        const XSelectionRequestEvent& request = event.xselectionrequest;
        XEvent reply{};
        reply.xselection.type = SelectionNotify;
        reply.xselection.requestor = request.requestor;
        reply.xselection.selection = request.selection;
        reply.xselection.target = request.target;
        reply.xselection.time = request.time;
        reply.xselection.property = 0;
        if (request.target == atom("text/uri-list")) {
          XChangeProperty(display_, request.requestor, request.property, request.target, 8,
                          PropModeReplace, reinterpret_cast<const unsigned char*>(data_.data()),
                          static_cast<int>(data_.size()));
          reply.xselection.property = request.property;
        }
        XSendEvent(display_, request.requestor, False, NoEventMask, &reply);
        XSync(display_, False);
      }
    }
  }
  std::vector<long> statuses;
  std::vector<long> finished;

 private:
  Display* display_;
  std::string data_;
  Window window_ = 0;
};

// Takes drops left of x = 50 in its window.
struct DropSink : IEventSink {
  X11Display* display = nullptr;
  std::vector<std::string> dropped;
  void onPlatformEvent(const Event& event) override {
    if (event.kind == EventKind::kDragOver) {
      display->answerDrag(event.x < 50);
    } else if (event.kind == EventKind::kDrop) {
      dropped.emplace_back(display->droppedText());
      display->answerDrag(true);
    }
  }
};

TEST_F(X11DisplayTest, ADropTargetAnswersWherePointsTakeTheDropAndReceivesTheUriList) {
  const WindowId w = shownWindow({100, 100, 100, 100});
  ASSERT_TRUE(display_->setDropTarget(w, true));
  flush();
  EXPECT_EQ(cardinals(w, "XdndAware", XA_ATOM), std::vector<unsigned long>{5});
  const std::string list = "file:///tmp/a%20b\r\nhttps://netvigil.example/\r\n";
  DndSource source(other_, list);
  DropSink sink;
  sink.display = display_.get();
  auto pump = [&](const std::function<bool()>& done) {
    for (int i = 0; i < 200 && !done(); ++i) {
      display_->dispatch(sink, 10);
      source.serve();
    }
  };
  source.enter(w);
  source.position(w, 100 + 70, 100 + 10);  // the right half refuses
  pump([&] { return source.statuses.size() == 1; });
  source.position(w, 100 + 10, 100 + 10);
  pump([&] { return source.statuses.size() == 2; });
  EXPECT_EQ(source.statuses, (std::vector<long>{0, 1}));
  source.drop(w);
  pump([&] { return !source.finished.empty(); });
  EXPECT_EQ(source.finished, std::vector<long>{1});
  EXPECT_EQ(sink.dropped, std::vector<std::string>{list});

  // Dropped where it is refused: finished at once, unaccepted, and no data asked for.
  source.enter(w);
  source.position(w, 100 + 90, 100 + 90);
  pump([&] { return source.statuses.size() == 3; });
  source.drop(w);
  pump([&] { return source.finished.size() == 2; });
  EXPECT_EQ(source.finished, (std::vector<long>{1, 0}));
  EXPECT_EQ(sink.dropped.size(), 1u);

  ASSERT_TRUE(display_->setDropTarget(w, false));
  flush();
  EXPECT_TRUE(cardinals(w, "XdndAware", XA_ATOM).empty());
}

TEST_F(X11DisplayTest, HotKeyHeldByAnotherClientFailsAndAFreeOneFires) {
  const Window root = DefaultRootWindow(other_);
  // Not Ctrl+Alt+F<n>: the server's keymap turns those into console switches.
  const KeyCode n = XKeysymToKeycode(other_, XK_n);
  XGrabKey(other_, n, ControlMask | Mod1Mask, root, False, GrabModeAsync, GrabModeAsync);
  XSync(other_, False);
  const std::uint32_t ctrlAlt =
      s::platform::ui::modifier::kControl | s::platform::ui::modifier::kAlt;
  EXPECT_FALSE(display_->grabHotKey(1, ctrlAlt, XK_n));
  EXPECT_EQ(display_->hotKeyError(), BadAccess);
  EXPECT_FALSE(display_->grabHotKey(2, ctrlAlt, 0x12345678));  // no such key on the keyboard
  EXPECT_EQ(display_->hotKeyError(), -1);

  ASSERT_TRUE(display_->grabHotKey(3, ctrlAlt, XK_m));
  EXPECT_EQ(display_->hotKeyError(), 0);
  const KeyCode m = XKeysymToKeycode(other_, XK_m);
  const KeyCode control = XKeysymToKeycode(other_, XK_Control_L);
  const KeyCode alt = XKeysymToKeycode(other_, XK_Alt_L);
  XTestFakeKeyEvent(other_, control, True, CurrentTime);
  XTestFakeKeyEvent(other_, alt, True, CurrentTime);
  for (int i = 0; i < 2; ++i) {
    XTestFakeKeyEvent(other_, m, True, CurrentTime);
    XTestFakeKeyEvent(other_, m, False, CurrentTime);
  }
  XTestFakeKeyEvent(other_, alt, False, CurrentTime);
  XTestFakeKeyEvent(other_, control, False, CurrentTime);
  XSync(other_, False);
  auto hotKeys = [&] {
    int n = 0;
    for (const Event& e : sink_.events) {
      n += e.kind == EventKind::kHotKey && e.id == 3 ? 1 : 0;
    }
    return n;
  };
  dispatchUntil([&] { return hotKeys() >= 2; });
  EXPECT_EQ(hotKeys(), 2);

  // Given up, the key is free for the other client.
  display_->ungrabHotKey(3);
  flush();
  static bool failed = false;
  auto* previous = XSetErrorHandler([](Display*, XErrorEvent*) {
    failed = true;
    return 0;
  });
  XGrabKey(other_, m, ControlMask | Mod1Mask, root, False, GrabModeAsync, GrabModeAsync);
  XSync(other_, False);
  XSetErrorHandler(previous);
  EXPECT_FALSE(failed);
}

TEST_F(X11DisplayTest, PostedWorkWakesTheLoopBlockedOnTheConnection) {
  shownWindow({0, 0, 50, 50});
  sink_.events.clear();
  bool ran = false;
  std::thread poster([&] { display_->post([&] { ran = true; }); });
  // Waits without a time limit: only the wake-up (or a late event of the set-up) ends a wait.
  for (int i = 0; i < 100 && !ran; ++i) {
    display_->dispatch(sink_, -1);
  }
  poster.join();
  EXPECT_TRUE(ran);
}

TEST_F(X11DisplayTest, IdleLoopSleepsInPoll) {
  shownWindow({0, 0, 50, 50});
  display_->dispatch(sink_, 0);
  sink_.events.clear();
  rusage before{};
  rusage after{};
  getrusage(RUSAGE_THREAD, &before);
  const auto start = std::chrono::steady_clock::now();
  const auto end = start + std::chrono::seconds(1);
  int rounds = 0;
  // Late replies of the set-up (an Expose handled inside) may end the first wait early.
  for (auto now = start; now < end; now = std::chrono::steady_clock::now()) {
    display_->dispatch(
        sink_, static_cast<int>(
                   std::chrono::duration_cast<std::chrono::milliseconds>(end - now).count() + 1));
    ++rounds;
  }
  const auto wall = std::chrono::steady_clock::now() - start;
  getrusage(RUSAGE_THREAD, &after);
  const double cpuMs = (after.ru_utime.tv_sec - before.ru_utime.tv_sec) * 1e3 +
                       (after.ru_utime.tv_usec - before.ru_utime.tv_usec) / 1e3 +
                       (after.ru_stime.tv_sec - before.ru_stime.tv_sec) * 1e3 +
                       (after.ru_stime.tv_usec - before.ru_stime.tv_usec) / 1e3;
  const double wallMs = std::chrono::duration<double, std::milli>(wall).count();
  std::printf("idle loop: %.3f ms CPU over %.0f ms in %d rounds\n", cpuMs, wallMs, rounds);
  RecordProperty("idle_cpu_ms", std::to_string(cpuMs));
  EXPECT_TRUE(sink_.events.empty());
  // A loop that spun instead of sleeping would use about all of the wall time.
  EXPECT_LT(cpuMs, wallMs / 2);
}

TEST(X11DisplayLostTest, ALostConnectionTellsTheProgramAndTheLoopGoesOnWithoutTheServer) {
  s::testing::XvfbServer server;
  ASSERT_FALSE(server.name().empty()) << "Xvfb did not start";
  std::atomic<int> told{0};
  X11Display::setConnectionLostHandler([&told] { ++told; });
  std::unique_ptr<X11Display> display = X11Display::open(server.name().c_str());
  ASSERT_NE(display, nullptr);
  Recorder sink;
  const WindowId window = display->createWindow({.bounds = {10, 10, 120, 80}});
  ASSERT_NE(window, 0u);
  display->show(window, false);
  for (int i = 0; i < 100 && sink.find(EventKind::kMap) == nullptr; ++i) {
    display->dispatch(sink, 50);
  }
  server.stop();
  // The broken connection wakes the loop, and the process goes on.
  for (int i = 0; i < 50 && told.load() == 0; ++i) {
    display->dispatch(sink, 100);
  }
  EXPECT_TRUE(display->connectionLost());
  EXPECT_EQ(told.load(), 1);
  // Carried work still runs (the shut-down's), and the loop waits instead of spinning on the
  // dead connection.
  bool ran = false;
  display->loop().post([&ran] { ran = true; });
  EXPECT_TRUE(display->dispatch(sink, 100));
  EXPECT_TRUE(ran);
  int rounds = 0;
  for (auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(500);
       std::chrono::steady_clock::now() < end; ++rounds) {
    display->dispatch(sink, 100);
  }
  EXPECT_LT(rounds, 50);
  // What the window's shut-down still asks of the display answers at once.
  display->hide(window);
  display->destroyWindow(window);
  display.reset();
  X11Display::setConnectionLostHandler({});
  EXPECT_EQ(told.load(), 1);
}

}  // namespace
