#include <array>
#include <atomic>

#include "tests/gui/listbox2/ViewFixture.h"
#include "tests/image/Fixtures.h"

namespace listbox2_test {
namespace {

using s::gui::drawer::Skinner;

// A text probe clear of the names' letters, and the strip at a row's left.
constexpr int32_t kBlankX = 80;
constexpr int32_t kStripX = 1;

class ListPaintTest : public ViewTest {
 protected:
  // Whether the first cell of `row` has text in `colour`: a pixel near it, the antialiasing of
  // the glyphs' edges allowed for.
  bool inked(uint32_t row, uint32_t colour) {
    auto near = [colour](uint32_t p) {
      for (int shift : {16, 8, 0}) {
        const int a = static_cast<int>((p >> shift) & 0xFF);
        const int b = static_cast<int>((colour >> shift) & 0xFF);
        if (std::abs(a - b) > 0x28) {
          return false;
        }
      }
      return true;
    };
    const int32_t y = rowY(row);
    for (int32_t dy = -6; dy <= 6; ++dy) {
      for (int32_t x = 4; x < 60; ++x) {
        if (near(pixel(x, y + dy))) {
          return true;
        }
      }
    }
    return false;
  }
  s::PoolPtr<Skinner> skinner_;
};

TEST_F(ListPaintTest, RowsShowTheColoursOfTheSkinStripedAndSelected) {
  struct Case {
    const char* family;
    const char* skin;
    uint32_t background;
    uint32_t text;
    uint32_t highlight;
    uint32_t selectedText;
    uint32_t stripe;
  };
  const Case cases[] = {
      {nullptr, nullptr, 0xFFFFFF, 0x000000, 0x3584E4, 0xFFFFFF, 0xEEEEEE},
      {"Thin", "White", 0xFFFFFF, 0x000000, 0x444444, 0xFFFFFF, 0xF3F3F3},
      {"ThinWindow", "Classic LG", 0x313131, 0xBFBFBF, 0x191919, 0xFFFFFF, 0x383838},
  };
  for (const Case& c : cases) {
    open(6);
    if (c.family != nullptr) {
      const std::u16string family(c.family, c.family + std::strlen(c.family));
      const std::u16string name(c.skin, c.skin + std::strlen(c.skin));
      skinner_ = Skinner::newSkinner(family);
      window_->setSkin(skinner_->getSkin(static_cast<uint32_t>(skinner_->findSkin(name))), false);
    }
    list_->setStriped(true);
    list_->setFullRowSelect(true);
    click(20, rowY(3));
    settle();
    const char* what = c.skin != nullptr ? c.skin : "plain";
    EXPECT_EQ(pixel(kBlankX, rowY(0)), c.background) << what;
    EXPECT_EQ(pixel(kBlankX, rowY(1)), c.stripe) << what;
    EXPECT_EQ(pixel(kBlankX, rowY(2)), c.background) << what;
    EXPECT_EQ(pixel(kBlankX, rowY(3)), c.highlight) << what;
    // The selected row's left strip keeps the row's own (odd: striped) background.
    // (Pixel 0 is the focus frame's.)
    for (int32_t x = 1; x < 4; ++x) {
      EXPECT_EQ(pixel(x, rowY(3)), c.stripe) << what << " " << x;
    }
    EXPECT_TRUE(inked(0, c.text)) << what;
    EXPECT_TRUE(inked(3, c.selectedText)) << what;
    // Below the last row: the background.
    EXPECT_EQ(pixel(kBlankX, rowY(5) + 20), c.background) << what;
    window_->setSkin(nullptr, false);
  }
}

TEST_F(ListPaintTest, WithoutFullRowSelectOnlyTheFirstColumnIsHighlighted) {
  open(4);
  click(20, rowY(1));
  settle();
  EXPECT_EQ(pixel(kBlankX, rowY(1)), 0x3584E4U);
  EXPECT_EQ(pixel(200, rowY(1) - 6), 0xFFFFFFU);
}

TEST_F(ListPaintTest, AChangedCellRepaintsOnlyItsRow) {
  open(40);
  settle();
  const size_t before = presented().size();
  Record* record = list_->getRecord(4);
  ASSERT_TRUE(list_->setValue(record, record->stamp(), kBytes, lb::int64Value(123456)));
  settle();
  std::vector<Rect> after = presented();
  ASSERT_EQ(after.size(), before + 1);
  Rect row;
  onUi([&] {
    const auto v = list_->viewport();
    const Rect client = list_->clientBounds();
    row = v.rowRect(4);
    row.x += client.x;
    row.y += client.y;
  });
  EXPECT_EQ(after.back(), row);
  // A row out of sight paints nothing.
  record = list_->getRecord(35);
  ASSERT_TRUE(list_->setValue(record, record->stamp(), kBytes, lb::int64Value(1)));
  settle();
  EXPECT_EQ(presented().size(), before + 1);
  // Changes between beginUpdate and endUpdate paint once, all of it.
  list_->beginUpdate();
  for (uint32_t i = 0; i < 10; ++i) {
    record = list_->getRecord(i);
    list_->setValue(record, record->stamp(), kBytes, lb::int64Value(i));
  }
  list_->endUpdate();
  settle();
  EXPECT_EQ(presented().size(), before + 2);
}

std::atomic<int> textsMade{0};

void countedText(lb::CellValue value, s::str::StrBuffer& text) {
  ++textsMade;
  lb::showU32(value, text);
}

TEST_F(ListPaintTest, OnlyTheRowsShownArePainted) {
  window_ = Window::make();
  window_->setBounds(0, 0, 300, 200);
  box_ = ListBoxEx::newListBoxEx(100, 100);
  list_ = box_->getList();
  list_->addColumn(u"N", 100, lb::kAlignRight, true, lb::compareUInt32, true, false, false, false,
                   false);
  constexpr uint32_t kRows = 10000;
  for (uint32_t i = 0; i < kRows; ++i) {
    Record* record = lb::newRecord(1, nullptr).release();
    lb::appendCell(record, lb::newCell(i, nullptr, countedText));
    list_->appendRecord(record);
  }
  textsMade = 0;
  window_->add(box_);
  window_->show(false);
  settle();
  uint32_t shown = 0;
  onUi([&] { shown = list_->viewport().endRow() - list_->viewport().topRow; });
  // Texts are made when painted: the rows on screen, each once.
  EXPECT_EQ(textsMade.load(), static_cast<int>(shown));
  list_->scrollToRow(5000);
  settle();
  EXPECT_EQ(textsMade.load(), static_cast<int>(2 * shown));
}

TEST_F(ListPaintTest, IconsLoadAwayFromTheWindowsThreadAndThenShow) {
  fixtures::TempDir dir;
  // Red and blue with a little noise, so that each file is more than the 100 bytes a picture
  // needs. Their names differ only in letter case: on Linux they are two files.
  auto noisy = [](bool red) {
    return [red](int x, int y) {
      const auto noise = static_cast<uint8_t>((x * 7 + y * 13) % 40);
      return red ? fixtures::Bgra{noise, noise, 255, 255} : fixtures::Bgra{255, noise, noise, 255};
    };
  };
  const std::string redPath =
      dir.write("icon.png", fixtures::png(16, 16, fixtures::PngKind::Rgb, noisy(true)));
  const std::string bluePath =
      dir.write("ICON.png", fixtures::png(16, 16, fixtures::PngKind::Rgb, noisy(false)));
  window_ = Window::make();
  window_->setBounds(0, 0, 300, 120);
  box_ = ListBoxEx::newListBoxEx(100, 100);
  list_ = box_->getList();
  list_->addColumn(u"Program", 150, lb::kAlignLeft, true, lb::compareTextNoCase, true, true, false,
                   false, false);
  // The red file twice: one entry, one read.
  for (const std::string& path : {redPath, bluePath, redPath}) {
    Record* record = lb::newRecord(1, nullptr).release();
    lb::appendCell(record, lb::newCell(lb::textValue(u"prog"), lb::textValueOwner(), lb::showText,
                                       std::u16string(path.begin(), path.end())));
    list_->appendRecord(record);
  }
  window_->add(box_);
  window_->show(false);
  settle();
  // The icon box is 13 pixels square at 4 from the cell's left and 2 from its top.
  auto colour = [&](uint32_t row) {
    int32_t y = 0;
    onUi([&] { y = list_->viewport().rowTop(row) + 2 + 6; });
    const uint32_t p = pixel(4 + 6, y);
    return std::array<uint32_t, 3>{p >> 16 & 0xFF, p >> 8 & 0xFF, p & 0xFF};
  };
  auto red = [&](uint32_t row) {
    const auto c = colour(row);
    return c[0] > 0xC0 && c[1] < 0x40 && c[2] < 0x40;
  };
  auto blue = [&](uint32_t row) {
    const auto c = colour(row);
    return c[2] > 0xC0 && c[0] < 0x40 && c[1] < 0x40;
  };
  EXPECT_TRUE(waitFor([&] { return red(0) && blue(1) && red(2); }));
  list_->iconLoader().waitIdle();
  onUi([&] { EXPECT_EQ(list_->icons().count(), 2U); });
  EXPECT_FALSE(list_->iconLoader().busy());
}

}  // namespace
}  // namespace listbox2_test
