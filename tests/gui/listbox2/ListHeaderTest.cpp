#include <thread>

#include "framework/lang/Localizer.h"
#include "framework/lang/TextIds.h"
#include "tests/gui/listbox2/ViewFixture.h"

namespace listbox2_test {
namespace {

constexpr int32_t kTitleY = 5;

class ListHeaderTest : public ViewTest {
 protected:
  std::vector<int32_t> order() {
    std::vector<int32_t> out;
    onUi([&] {
      const auto& o = list_->getColumnOrder();
      out.assign(o.begin(), o.end());
    });
    return out;
  }
  int32_t width(uint32_t column) {
    int32_t w = 0;
    onUi([&] { w = list_->getHeader()->columnWidth(column); });
    return w;
  }
};

TEST_F(ListHeaderTest, ADividerResizesItsColumnButNotTheLastOneNorBelowTen) {
  // Widths 90, 70, 70, 40: dividers at 90, 160, 230 and (the last column's) 270.
  struct Step {
    const char* what;
    int32_t pressX;
    int32_t moveX;
    uint32_t column;
    int32_t width;
  };
  const Step steps[] = {
      {"wider", 90, 120, 0, 120},
      {"to 10 is allowed", 120, 10, 0, 10},
      {"to 9 is refused", 10, 9, 0, 10},
      {"far below is refused", 10, -40, 0, 10},
      {"the last column's divider does not move", 270, 300, 3, 40},
  };
  open(5);
  Codes codes;
  list_->addColumnClickListener(&codes);
  for (const Step& step : steps) {
    send(EventKind::kButtonPress, step.pressX, kTitleY);
    send(EventKind::kMotion, step.moveX, kTitleY);
    send(EventKind::kButtonRelease, step.moveX, kTitleY);
    EXPECT_EQ(width(step.column), step.width) << step.what;
  }
  // None of the presses was a click, and the last one moved no column either.
  EXPECT_TRUE(codes.codes.empty());
  EXPECT_EQ(order(), (std::vector<int32_t>{0, 1, 2, 3}));
  // The rows follow the header: the second column now starts at 10.
  Rect cell;
  onUi([&] { cell = list_->cellRect(0, 1); });
  EXPECT_EQ(cell.x, 10);
}

TEST_F(ListHeaderTest, AClickSendsColumnClickThenSortsWhenSortableThenColumnClicked) {
  struct Case {
    const char* what;
    int32_t x;
    int32_t column;
    std::vector<int32_t> events;
    std::vector<uint32_t> tags;
  };
  const Case cases[] = {
      // The Pid column flips to descending and becomes the first key.
      {"sortable", 120, 1, {32, 26, 6}, {4, 3, 2, 1, 0}},
      {"not sortable", 250, 3, {32, 6}, {0, 1, 2, 3, 4}},
  };
  for (const Case& c : cases) {
    open(5);
    Codes codes;
    int32_t clickedAtFirstEvent = -2;
    struct Watch final : s::gui::events::IEventListener {
      ListBox2* list;
      int32_t* seen;
      void onEvent(s::IObject* /*source*/, int32_t /*code*/) override {
        *seen = list->getLastClickedColumn();
      }
    } watch;
    watch.list = list_;
    watch.seen = &clickedAtFirstEvent;
    list_->addColumnClickListener(&watch);
    for (s::gui::ListEvent code :
         {s::gui::kEventColumnClick, s::gui::kEventSorted, s::gui::kEventColumnClicked}) {
      list_->addListener(code, &codes);
    }
    click(c.x, kTitleY);
    EXPECT_EQ(codes.codes, c.events) << c.what;
    EXPECT_EQ(clickedAtFirstEvent, c.column) << c.what;
    EXPECT_EQ(tags(*list_), c.tags) << c.what;
  }
}

TEST_F(ListHeaderTest, DraggingATitleMovesItsColumnInTheListsOrder) {
  open(5);
  Codes clicks;
  list_->addColumnClickListener(&clicks);
  // "Name" dragged to just left of the middle of "Tag": it lands before Tag.
  send(EventKind::kButtonPress, 40, kTitleY);
  send(EventKind::kMotion, 120, kTitleY);
  onUi([&] { EXPECT_EQ(list_->getHeader()->movingPosition(), 0); });
  send(EventKind::kMotion, 240, kTitleY);
  send(EventKind::kButtonRelease, 240, kTitleY);
  EXPECT_EQ(order(), (std::vector<int32_t>{1, 2, 0, 3}));
  EXPECT_TRUE(clicks.codes.empty());
  // The rows draw the columns in the new order: the name now starts after Pid and Bytes.
  Rect cell;
  onUi([&] { cell = list_->cellRect(0, 0); });
  EXPECT_EQ(cell.x, 140);
  // A small move is a click, not a drag.
  send(EventKind::kButtonPress, 40, kTitleY);
  send(EventKind::kMotion, 43, kTitleY);
  send(EventKind::kButtonRelease, 43, kTitleY);
  EXPECT_EQ(order(), (std::vector<int32_t>{1, 2, 0, 3}));
  EXPECT_EQ(clicks.codes, std::vector<int32_t>{32});
  // Released over a title, it is lit; the pointer going down into the rows puts it out.
  auto hot = [&] {
    int32_t position = -2;
    onUi([&] { position = list_->getHeader()->hotPosition(); });
    return position;
  };
  send(EventKind::kButtonPress, 40, kTitleY);
  send(EventKind::kMotion, 240, kTitleY);
  send(EventKind::kButtonRelease, 240, kTitleY);
  EXPECT_EQ(hot(), 3);
  send(EventKind::kMotion, 240, rowY(2));
  EXPECT_EQ(hot(), -1);
}

TEST_F(ListHeaderTest, TitlesFollowTheWindowsLanguageOnTheWindowsThread) {
  s::PoolPtr<s::lang::Localizer> localizer(s::lang::Localizer::fromResource(u"IDR_XML", 130));
  localizer->selectLanguage(u"English");
  window_ = Window::make();
  window_->setBounds(0, 0, 320, 200);
  box_ = ListBoxEx::newListBoxEx(100, 100);
  list_ = box_->getList();
  list_->addColumn(
      {.localizer = localizer.get(), .titleTextId = s::lang::text::kColumnProtocol, .width = 150});
  list_->addColumn({.title = u"Literal", .width = 90});
  window_->add(box_);
  window_->setLocalizer(localizer.get());
  window_->show(false);
  settle();
  Rect header;
  onUi([&] { header = list_->getHeader()->clientBounds(); });
  auto titlePixels = [&] {
    std::vector<uint32_t> out;
    for (int32_t x = header.x; x < header.x + 150; ++x) {
      out.push_back(pixel(x, header.y + header.height / 2));
    }
    return out;
  };
  const std::vector<uint32_t> english = titlePixels();

  // Another thread chooses the language again and again while the window paints its header.
  std::thread chooser([&] {
    for (int i = 0; i < 41; ++i) {
      localizer->selectLanguage(i % 2 == 0 ? u"German" : u"English");
    }
  });
  for (int i = 0; i < 40; ++i) {
    onUi([&] { list_->getHeader()->repaint(); });
  }
  chooser.join();
  auto title = [&] {
    std::u16string out;
    onUi([&] { out = list_->getColumn(0)->title(); });
    return out;
  };
  EXPECT_TRUE(waitFor([&] { return title() == u"Protokoll"; })) << "still the old title";
  settle();
  EXPECT_NE(titlePixels(), english) << "the header still shows the English title";
  onUi([&] { EXPECT_EQ(list_->getColumn(1)->title(), u"Literal"); });
  window_->setLocalizer(nullptr);
}

}  // namespace
}  // namespace listbox2_test
