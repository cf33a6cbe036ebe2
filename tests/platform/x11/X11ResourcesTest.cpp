#include <gtest/gtest.h>

#include <string>

#include "platform/x11/X11Resources.h"
#include "tests/platform/x11/XvfbServer.h"

// Xlib's macros clash with gtest's names, so Xlib comes last.
#include <X11/Xatom.h>
#include <X11/Xlib.h>

namespace {

using s::platform::x11::xftDpiOf;

// What xrdb does: the resources as text in the RESOURCE_MANAGER property of the root window.
void setResources(Display* display, const std::string& text) {
  XChangeProperty(display, DefaultRootWindow(display), XA_RESOURCE_MANAGER, XA_STRING, 8,
                  PropModeReplace, reinterpret_cast<const unsigned char*>(text.data()),
                  static_cast<int>(text.size()));
  XSync(display, False);
}

TEST(X11ResourcesTest, ReadsXftDpiFromTheResourcesOfTheDisplay) {
  s::testing::XvfbServer server;
  ASSERT_FALSE(server.name().empty()) << "Xvfb did not start";
  Display* desktop = XOpenDisplay(server.name().c_str());
  ASSERT_NE(desktop, nullptr);
  // A server without resources at all.
  EXPECT_FALSE(xftDpiOf(server.name().c_str()).has_value());
  struct Case {
    const char* resources;
    std::optional<double> dpi;
  };
  for (const Case& c :
       {Case{"Xft.dpi:\t192\n", 192.0},
        Case{"*background:\tgrey\nXft.antialias:\t1\nXft.dpi:  144\n", 144.0},
        Case{"Xft.dpi:\t120.5\nXft.hinting:\t1\n", 120.5}, Case{"Xft.hinting:\t1\n", std::nullopt},
        Case{"Xft.dpi:\tlarge\n", std::nullopt}}) {
    setResources(desktop, c.resources);
    EXPECT_EQ(xftDpiOf(server.name().c_str()), c.dpi) << c.resources;
  }
  XCloseDisplay(desktop);
  EXPECT_FALSE(xftDpiOf(":999").has_value());
}

}  // namespace
