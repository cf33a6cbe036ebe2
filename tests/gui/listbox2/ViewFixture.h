#pragma once

#include <gtest/gtest.h>

#include <chrono>
#include <cstdint>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "gui/drawer/Skinner.h"
#include "gui/layout/Window.h"
#include "gui/listbox2/ListBoxEx.h"
#include "gui/listbox2/ListHeader.h"
#include "platform/offscreen/OffscreenDisplay.h"
#include "tests/gui/listbox2/Fixture.h"

namespace listbox2_test {

using s::gui::win::ListBoxEx;
using s::gui::win::ListHeader;
using s::gui::win::ScrollBar;
using s::gui::win::Window;
using s::platform::offscreen::OffscreenDisplay;
using s::platform::ui::Event;
using s::platform::ui::EventKind;
using s::platform::ui::Rect;
namespace modifier = s::platform::ui::modifier;

// Writes down every event code it hears from anything.
class Codes final : public s::gui::events::IEventListener {
 public:
  void onEvent(s::IObject* /*source*/, int32_t code) override { codes.push_back(code); }
  std::vector<int32_t> codes;
};

// A window of `width` x `height` on the offscreen display holding one ListBoxEx with the test
// columns (name, pid, bytes, tag), and `rows` rows named "row <i>" with pid i and tag i.
class ViewTest : public testing::Test {
 protected:
  static void SetUpTestSuite() {
    Window::setDisplayFactory([] { return std::make_unique<OffscreenDisplay>(); });
  }
  static void TearDownTestSuite() { Window::setDisplayFactory(nullptr); }

  void open(uint32_t rows, int32_t width = 320, int32_t height = 200) {
    window_ = Window::make();
    window_->setBounds(0, 0, width, height);
    box_ = ListBoxEx::newListBoxEx(100, 100);
    list_ = box_->getList();
    addTestColumns(*list_);
    for (uint32_t i = 0; i < rows; ++i) {
      list_->appendRecord(makeRow(u"row " + std::u16string(1, u'0' + i % 10), i, i * 1000, i));
    }
    window_->add(box_);
    window_->show(false);
    settle();
  }
  OffscreenDisplay& screen() { return *dynamic_cast<OffscreenDisplay*>(window_->display()); }
  // Every queued piece of work has run, the paints included.
  void settle() {
    window_->runSync([] {});
    window_->runSync([] {});
  }
  template <class Done>
  bool waitFor(Done done) {
    for (int i = 0; i < 2500 && !done(); ++i) {
      std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
    return done();
  }
  template <class Work>
  void onUi(Work work) {
    window_->runSync([&] { work(); });
  }
  uint32_t pixel(int x, int y) {
    uint32_t value = 0;
    onUi([&] { value = screen().pixel(window_->platformWindow(), x, y); });
    return value;
  }
  std::vector<Rect> presented() {
    std::vector<Rect> out;
    onUi([&] { out = screen().state(window_->platformWindow())->presented; });
    return out;
  }
  // An input event at (x, y) in the list.
  void send(EventKind kind, int32_t x, int32_t y, uint32_t button = 1, uint32_t modifiers = 0,
            uint64_t timeMs = 0) {
    Rect at;
    onUi([&] { at = list_->clientBounds(); });
    Event e;
    e.kind = kind;
    e.window = window_->platformWindow();
    e.x = at.x + x;
    e.y = at.y + y;
    e.rootX = e.x;
    e.rootY = e.y;
    e.button = button;
    e.modifiers = modifiers;
    e.timeMs = timeMs;
    screen().inject(e);
    settle();
  }
  void click(int32_t x, int32_t y, uint32_t modifiers = 0, uint32_t button = 1) {
    send(EventKind::kButtonPress, x, y, button, modifiers);
    send(EventKind::kButtonRelease, x, y, button, modifiers);
  }
  void wheel(int32_t x, int32_t y, int32_t notches) {
    Rect at;
    onUi([&] { at = list_->clientBounds(); });
    Event e;
    e.kind = EventKind::kWheel;
    e.window = window_->platformWindow();
    e.x = e.rootX = at.x + x;
    e.y = e.rootY = at.y + y;
    e.wheel = notches;
    screen().inject(e);
    settle();
  }
  void key(uint32_t keysym, uint32_t modifiers = 0) {
    Event e;
    e.kind = EventKind::kKeyPress;
    e.window = window_->platformWindow();
    e.keysym = keysym;
    e.modifiers = modifiers;
    screen().inject(e);
    settle();
  }
  // The middle of row `row` as shown now (in the list's pixels).
  int32_t rowY(uint32_t row) {
    int32_t y = 0;
    onUi([&] {
      const auto v = list_->viewport();
      y = v.rowTop(row) + v.rowHeight / 2;
    });
    return y;
  }
  // The tags of the selected rows, in row order.
  std::vector<uint32_t> selectedTags() {
    std::vector<uint32_t> out;
    onUi([&] {
      for (uint32_t row = 0; row < list_->list().recordCount(); ++row) {
        if (list_->list().record(row)->selected()) {
          out.push_back(tagOf(list_->list().record(row)));
        }
      }
    });
    return out;
  }
  void savePng(const std::string& name) {
    onUi([&] { screen().writePng(window_->platformWindow(), "/tmp/" + name); });
  }

  s::PoolPtr<Window> window_;
  ListBoxEx* box_ = nullptr;
  ListBox2* list_ = nullptr;
};

}  // namespace listbox2_test
