#include <algorithm>

#include "gui/listbox2/ListBox2.h"
#include "gui/listbox2/ListHeader.h"
#include "gui/widgets/ScrollBar.h"
#include "gui/widgets/Skinned.h"
#include "platform/linux/desktop/DesktopEnvironment.h"

namespace s::gui::win {

using listbox2::Record;
using platform::ui::Rect;

namespace {
// How often the list looks for icons loaded in the background while some are coming.
constexpr std::uint32_t kIconWatchTimer = 2;
constexpr std::uint32_t kIconWatchMs = 50;
// The horizontal bar's line: the wheel's unit.
constexpr std::int32_t kHorizontalLine = 15;
}  // namespace

// --- Making and giving back -------------------------------------------------------------

void ListBox2::attachHeader() {
  if (header_ == nullptr) {
    header_ = ListHeader::take();
  }
  header_->attach(this);
  children_.push(header_);
  header_->setParent(this);
}

void ListBox2::detachHeader() {
  const int64_t at = children_.indexOf(header_);
  if (at >= 0) {
    children_.removeRange(static_cast<uint32_t>(at), 1);
  }
  header_->setParent(nullptr);
  header_->reset();
}

void ListBox2::removeAll(bool recurse) {
  Component::runSync([&] {
    const int64_t at = children_.indexOf(header_);
    if (at >= 0) {
      children_.removeRange(static_cast<uint32_t>(at), 1);
    }
    Component::removeAll(recurse);
    if (at >= 0) {
      children_.push(header_);
    }
  });
}

void ListBox2::resetView() {
  setTransparent(false);
  setMinSize(kMinSize, kMinSize);
  setNaturalSize(kNaturalSize, kNaturalSize);
  options_ = {};
  fonts_.reset();
  fontHeight_ = fonts_.normal().measureHeight();
  drawer_.reset();
  popupMenu_ = nullptr;
  vBar_ = hBar_ = nullptr;
  topRow_ = 0;
  scrollX_ = 0;
  updatingBars_ = false;
  focus_ = anchor_ = hotRecord_ = lastDoubleClicked_ = nullptr;
  focusStamp_ = anchorStamp_ = 0;
  hotCell_ = lastClickedColumn_ = -1;
  lastKey_ = 0;
  keyHandled_ = false;
  enabler_.reset();
  disabler_.reset();
  dropTargets_.clear();
  dropTarget_ = nullptr;
  droppedFiles_.clear();
  dropBox_ = nullptr;
  pointer_.reset();
  // A list taken again from the pool starts without the last one's icons.
  iconLoader_.waitIdle();
  icons_->reset();
  watchingIconLoads_ = false;
  iconLoadsSeen_ = iconLoader_.finished();
  // So that the desktop's setting is read here and not while the wheel turns.
  wheelLines();
}

void ListBox2::createPlatform(IWindow* window, WindowHost* host) {
  Component::createPlatform(window, host);
  // The window carries the model's operations from other threads to its own.
  if (executor_ == nullptr) {
    executor_ = host;
  }
  // The language may have changed while the list had no window to hear of it.
  retitleColumns();
  relayout();
}

void ListBox2::destroyPlatform() {
  pointer_.captureLost();
  if (Window* window = windowOf(*this)) {
    window->killComponentTimer(this, kIconWatchTimer);
    window->releaseCapture(this);
  }
  watchingIconLoads_ = false;
  Component::destroyPlatform();
  if (executor_ == host_) {
    executor_ = nullptr;
  }
}

void ListBox2::languageChanged() {
  retitleColumns();
  if (header_ != nullptr) {
    header_->invalidate();
  }
  Component::languageChanged();
}

void ListBox2::retitleColumns() {
  for (uint32_t column = 0; column < list_.columnCount(); ++column) {
    list_.column(column)->retitle();
  }
}

// --- Options ----------------------------------------------------------------------------

template <class Change>
void ListBox2::changeOption(Change change) {
  runSync([&] {
    change(options_);
    relayout();
    invalidate();
  });
}

void ListBox2::setViewMode(listbox2::ViewMode mode) {
  changeOption([&](listbox2::ListViewOptions& o) { o.viewMode = mode; });
}
void ListBox2::setMultiSelect(bool on) {
  changeOption([&](listbox2::ListViewOptions& o) { o.multiSelect = on; });
}
void ListBox2::setHeaderVisible(bool on) {
  changeOption([&](listbox2::ListViewOptions& o) { o.headerVisible = on; });
}
void ListBox2::setCheckBoxColumn(bool on) {
  changeOption([&](listbox2::ListViewOptions& o) { o.checkBoxColumn = on; });
}
void ListBox2::setFullRowSelect(bool on) {
  changeOption([&](listbox2::ListViewOptions& o) { o.fullRowSelect = on; });
}
void ListBox2::setGridLines(bool on) {
  changeOption([&](listbox2::ListViewOptions& o) { o.gridLines = on; });
}
void ListBox2::setAcceptFiles(bool on) {
  changeOption([&](listbox2::ListViewOptions& o) { o.acceptFiles = on; });
  takeDrops();
}
void ListBox2::setAcceptExplorerDrops(bool on) {
  changeOption([&](listbox2::ListViewOptions& o) { o.acceptExplorerDrops = on; });
  takeDrops();
}
void ListBox2::takeDrops() {
  if (dropBox_ != nullptr) {
    dropBox_->setAcceptFiles(options_.acceptFiles || options_.acceptExplorerDrops);
  }
}
void ListBox2::setSizePercent(int32_t widthPercent, int32_t heightPercent) {
  runSync([&] {
    setWidthPercentValue(widthPercent);
    setHeightPercentValue(heightPercent);
    relayoutParent();
  });
}
void ListBox2::setDragRows(bool on) {
  changeOption([&](listbox2::ListViewOptions& o) { o.dragRows = on; });
}
void ListBox2::setDragOut(bool on) {
  changeOption([&](listbox2::ListViewOptions& o) { o.dragOut = on; });
}
void ListBox2::setDragReorder(bool on) {
  changeOption([&](listbox2::ListViewOptions& o) {
    o.dragReorder = on;
    o.dragRows = o.dragRows || on;
  });
}
void ListBox2::setStriped(bool on) {
  changeOption([&](listbox2::ListViewOptions& o) { o.striped = on; });
}
void ListBox2::setStripeColour(uint8_t red, uint8_t green, uint8_t blue) {
  changeOption([&](listbox2::ListViewOptions& o) {
    o.stripeColour = drawer::rgb(red, green, blue);
    o.stripeColourSet = true;
  });
}
void ListBox2::setInsertMarkColour(uint8_t red, uint8_t green, uint8_t blue) {
  changeOption([&](listbox2::ListViewOptions& o) {
    o.insertMarkColour = drawer::rgb(red, green, blue);
    o.insertMarkColourSet = true;
  });
}
void ListBox2::setEmptyAreaTransparent(bool on) {
  changeOption([&](listbox2::ListViewOptions& o) { o.emptyAreaTransparent = on; });
}
void ListBox2::setHideNativeScrollBars(bool on) {
  changeOption([&](listbox2::ListViewOptions& o) { o.hideNativeScrollBars = on; });
}
void ListBox2::setBorder(bool on) {
  changeOption([&](listbox2::ListViewOptions& o) { o.border = on; });
}
void ListBox2::setRowHeight(int32_t px) {
  changeOption([&](listbox2::ListViewOptions& o) { o.rowHeight = std::max(px, 1); });
}

void ListBox2::setDrawer(drawer::IListBox* drawer, bool owned) {
  runSync([&] {
    drawer_.set(drawer, owned);
    invalidate();
  });
}

drawer::IListBox* ListBox2::listDrawer() {
  if (drawer_.get() != nullptr) {
    return drawer_.get();
  }
  drawer::ISkin* skin = skinOf(*this);
  if (skin != nullptr && skin->getListBox() != nullptr) {
    return skin->getListBox();
  }
  return &basic_;
}

void ListBox2::setPopupMenu(IPopupMenu* menu) {
  runSync([&] { popupMenu_ = menu; });
}

void ListBox2::setScrollBars(ScrollBar* vertical, ScrollBar* horizontal) {
  runSync([&] {
    vBar_ = vertical;
    hBar_ = horizontal;
    for (ScrollBar* bar : {vBar_, hBar_}) {
      if (bar != nullptr) {
        bar->addScrollListener(this);
      }
    }
    updateScrollBars();
  });
}

// --- Fonts ------------------------------------------------------------------------------

void ListBox2::fontChanged() {
  fontHeight_ = fonts_.normal().measureHeight();
  // As a font sent to the platform control did: the sizes start again and the parent follows.
  setMinSize(kMinSize, kMinSize);
  setNaturalSize(kNaturalSize, kNaturalSize);
  relayoutParent();
  relayout();
  invalidate();
}

void ListBox2::setFontFace(std::u16string_view name) {
  runSync([&] {
    fonts_.setFace(name);
    fontChanged();
  });
}
void ListBox2::setFontSizeCode(int32_t code) {
  runSync([&] {
    fonts_.setSizeCode(code);
    fontChanged();
  });
}
void ListBox2::setFontHeight(int32_t height) {
  runSync([&] {
    fonts_.setHeight(height);
    fontChanged();
  });
}
void ListBox2::setFontWidth(int32_t width) {
  runSync([&] {
    fonts_.setWidth(width);
    fontChanged();
  });
}
void ListBox2::setFontWeight(int32_t weight) {
  runSync([&] {
    fonts_.setWeight(weight);
    fontChanged();
  });
}
void ListBox2::setFontColour(uint8_t red, uint8_t green, uint8_t blue) {
  runSync([&] {
    fonts_.setColour(red, green, blue);
    invalidate();
  });
}

// --- Components that follow the selection ------------------------------------------------

void ListBox2::enableOnSelection(IComponent* component) {
  runSync([&] {
    if (!enabler_) {
      enabler_ = events::Enabler::make();
      enabler_->setSource(this);
      addListener(kEventFirstSelected, enabler_.get());
    }
    enabler_->addTarget(component);
  });
}

void ListBox2::disableOnEmptySelection(IComponent* component) {
  runSync([&] {
    if (!disabler_) {
      disabler_ = events::Disabler::make();
      disabler_->setSource(this);
      addListener(kEventSelectionEmptied, disabler_.get());
    }
    disabler_->addTarget(component);
  });
}

void ListBox2::addDropTarget(IComponent* target) {
  runSync([&] {
    if (target != nullptr) {
      dropTargets_.push_back(target);
    }
  });
}

void ListBox2::filesDropped(const std::vector<std::u16string>& files) {
  droppedFiles_ = files;
  if (options_.acceptFiles) {
    send(kEventDropFiles);
  }
  if (options_.acceptExplorerDrops) {
    send(kEventDropped);
  }
  droppedFiles_.clear();
}

// --- Geometry ---------------------------------------------------------------------------

int32_t ListBox2::rowHeight() const {
  // Room for the text's line and a pixel to part it from the next.
  return std::max(options_.rowHeight, fontHeight_ + 1);
}

listbox2::ListViewport ListBox2::viewport() const {
  listbox2::ListViewport v;
  v.width = getWidth();
  v.height = getHeight();
  v.border = options_.border ? 1 : 0;
  const bool report = options_.viewMode == listbox2::ViewMode::kReport;
  v.headerHeight = report && options_.headerVisible ? header_->headerHeight() : 0;
  v.rowHeight = rowHeight();
  v.rowCount = list_.recordCount();
  v.topRow = topRow_;
  v.scrollX = scrollX_;
  v.rowWidth = report ? header_->totalWidth() : v.clientWidth();
  return v;
}

int32_t ListBox2::columnWidth(uint32_t column) const {
  return header_->columnWidth(column);
}

int32_t ListBox2::displayPositionAt(int32_t x) const {
  const listbox2::ListViewport v = viewport();
  if (options_.viewMode != listbox2::ViewMode::kReport) {
    return x >= v.rowsLeft() && x < v.rowsLeft() + v.clientWidth() ? 0 : -1;
  }
  int32_t left = v.rowsLeft() - scrollX_;
  const col::ArrayS32& order = header_->order();
  for (uint32_t p = 0; p < order.count(); ++p) {
    int32_t width = columnWidth(static_cast<uint32_t>(order[p]));
    if (p + 1 == order.count()) {
      width = std::max(width, v.rowsLeft() + v.clientWidth() - left);
    }
    if (x >= left && x < left + width) {
      return static_cast<int32_t>(p);
    }
    left += width;
  }
  return -1;
}

int32_t ListBox2::columnAt(int32_t x) const {
  const int32_t position = displayPositionAt(x);
  if (position < 0) {
    return -1;
  }
  return options_.viewMode == listbox2::ViewMode::kReport
             ? header_->order()[static_cast<uint32_t>(position)]
             : 0;
}

Rect ListBox2::cellRect(uint32_t row, uint32_t column) const {
  const listbox2::ListViewport v = viewport();
  const Rect line = v.rowRect(row);
  if (options_.viewMode != listbox2::ViewMode::kReport) {
    return column == 0 ? line : Rect{};
  }
  int32_t left = v.rowsLeft() - scrollX_;
  const col::ArrayS32& order = header_->order();
  for (uint32_t p = 0; p < order.count(); ++p) {
    const auto at = static_cast<uint32_t>(order[p]);
    int32_t width = columnWidth(at);
    if (p + 1 == order.count()) {
      width = std::max(width, v.rowsLeft() + v.clientWidth() - left);
    }
    if (at == column) {
      return {left, line.y, width, line.height};
    }
    left += width;
  }
  return {};
}

Record* ListBox2::focusedRecord() const {
  return list_.contains(focus_, focusStamp_) ? focus_ : nullptr;
}

Record* ListBox2::anchorRecord() const {
  return list_.contains(anchor_, anchorStamp_) ? anchor_ : focusedRecord();
}

int32_t ListBox2::wheelLines() {
  static const int32_t lines = platform::DesktopEnvironment::fromProcess().wheelScrollLines();
  return lines;
}

int32_t ListBox2::wheelPixels(int32_t notches, int32_t lines, int32_t rowHeight) {
  constexpr int32_t kLinePixels = 15;
  const int32_t step = lines * kLinePixels;
  if (notches >= 0) {
    return notches * step;
  }
  // Down, at least 1.4 rows a notch, so that tall rows still move.
  const int32_t least = rowHeight * 14 / 10;
  return notches * std::max(step, least);
}

// --- Layout and scrolling ---------------------------------------------------------------

void ListBox2::placeHeader() {
  const listbox2::ListViewport v = viewport();
  const bool shown = v.headerHeight > 0;
  header_->setVisible(shown, false);
  header_->setBounds(v.rowsLeft(), v.border, v.clientWidth(), v.headerHeight);
}

void ListBox2::applyBounds() {
  const Rect before = platformBounds();
  Component::applyBounds();
  if (platformBounds().width != before.width || platformBounds().height != before.height) {
    relayout();
  }
}

void ListBox2::relayout() {
  runSync([&] {
    placeHeader();
    updateScrollBars();
  });
}

void ListBox2::rowsChanged() {
  if (!updating_) {
    updateScrollBars();
  }
}

void ListBox2::updateScrollBars() {
  if (updatingBars_) {
    return;
  }
  updatingBars_ = true;
  listbox2::ListViewport v = viewport();
  const uint32_t top = std::min(topRow_, v.maxTopRow());
  const int32_t x = std::clamp(scrollX_, 0, v.maxScrollX());
  if (top != topRow_ || x != scrollX_) {
    topRow_ = top;
    scrollX_ = x;
    invalidate();
  }
  if (vBar_ == nullptr && hBar_ == nullptr) {
    updatingBars_ = false;
    return;
  }
  // Whether each bar is needed, counting the room the other one takes when it is shown.
  const int32_t t = ScrollBar::kThickness;
  const bool vShown = vBar_ != nullptr && vBar_->wantsVisible();
  const bool hShown = hBar_ != nullptr && hBar_->wantsVisible();
  const int32_t fullWidth = getWidth() + (vShown ? vBar_->getWidth() : 0);
  const int32_t fullHeight = getHeight() + (hShown ? hBar_->getHeight() : 0);
  auto needsVertical = [&](bool h) {
    listbox2::ListViewport at = v;
    at.height = fullHeight - (h ? t : 0);
    return vBar_ != nullptr && at.page() < static_cast<int32_t>(at.rowCount) * at.rowHeight;
  };
  auto needsHorizontal = [&](bool vertical) {
    listbox2::ListViewport at = v;
    at.width = fullWidth - (vertical ? t : 0);
    return hBar_ != nullptr && at.clientWidth() < at.rowWidth;
  };
  bool h = needsHorizontal(false);
  bool vertical = needsVertical(h);
  h = needsHorizontal(vertical);
  vertical = needsVertical(h);
  if (vertical != vShown || h != hShown) {
    if (vBar_ != nullptr) {
      vBar_->setShown(vertical);
    }
    if (hBar_ != nullptr) {
      hBar_->setShown(h);
    }
    // The container gives the list the room the bars took or takes it back.
    ScrollBar* any = hBar_ != nullptr ? hBar_ : vBar_;
    Component* container = of(any->getParent());
    if (container != nullptr && container->created()) {
      container->relayout();
    }
    v = viewport();
    topRow_ = std::min(topRow_, v.maxTopRow());
    scrollX_ = std::clamp(scrollX_, 0, v.maxScrollX());
    v = viewport();
  }
  if (vBar_ != nullptr) {
    const int32_t line = v.rowHeight;
    const int32_t page = v.page();
    vBar_->setInfo(page, static_cast<int32_t>(v.rowCount) * line + page % line,
                   static_cast<int32_t>(topRow_) * line, line);
  }
  if (hBar_ != nullptr) {
    hBar_->setInfo(v.clientWidth(), v.rowWidth, scrollX_, kHorizontalLine);
  }
  updatingBars_ = false;
}

void ListBox2::setTopRow(uint32_t row) {
  const uint32_t top = std::min(row, viewport().maxTopRow());
  if (top != topRow_) {
    topRow_ = top;
    invalidateRows();
  }
  updateScrollBars();
}

void ListBox2::setScrollX(int32_t x) {
  const int32_t left = std::clamp(x, 0, viewport().maxScrollX());
  if (left != scrollX_) {
    scrollX_ = left;
    invalidate();
  }
  updateScrollBars();
}

void ListBox2::scrollToRow(uint32_t row) {
  runSync([&] { setTopRow(row); });
}

void ListBox2::scrollBy(int32_t dx, int32_t dy) {
  runSync([&] {
    if (dy != 0) {
      const int32_t line = rowHeight();
      int64_t rows = dy / line;
      if (rows == 0) {
        rows = dy > 0 ? 1 : -1;
      }
      setTopRow(static_cast<uint32_t>(std::max<int64_t>(0, topRow_ + rows)));
    }
    if (dx != 0) {
      setScrollX(scrollX_ + dx);
    }
  });
}

void ListBox2::onEvent(IObject* source, std::int32_t code) {
  if (code != ScrollBar::kEventScrolled) {
    return;
  }
  if (source == vBar_ && vBar_ != nullptr) {
    // The bar's position names a row; the list shows whole rows from the top.
    const scrollbar::win::ScrollInfo& info = vBar_->info();
    setTopRow(static_cast<uint32_t>(
        std::max<int64_t>(0, scrollbar::win::roundedDivision(info.position, info.line))));
  } else if (source == hBar_ && hBar_ != nullptr) {
    setScrollX(hBar_->info().position);
  }
}

// --- What needs painting ----------------------------------------------------------------

void ListBox2::invalidateArea(const Rect& area) {
  if (!created() || host_ == nullptr) {
    return;
  }
  const Rect client = clientBounds();
  host_->invalidate(
      Rect{client.x + area.x, client.y + area.y, area.width, area.height}.intersected(client));
}

void ListBox2::invalidateRow(const Record& record) {
  const listbox2::ListViewport v = viewport();
  if (record.row() >= v.topRow && record.row() < v.endRow()) {
    invalidateArea(v.rowRect(record.row()).intersected(v.rowsArea()));
  }
}

void ListBox2::invalidateRowsFrom(uint32_t row) {
  const listbox2::ListViewport v = viewport();
  if (row >= v.endRow() && row >= v.topRow + v.fullRows() + 1) {
    return;
  }
  const int32_t top = std::max(v.rowTop(std::max(row, v.topRow)), v.rowsTop());
  const Rect area = v.rowsArea();
  invalidateArea({area.x, top, area.width, area.y + area.height - top});
}

void ListBox2::invalidateRows() {
  invalidateArea(viewport().rowsArea());
}

void ListBox2::invalidateColumn(uint32_t column) {
  const listbox2::ListViewport v = viewport();
  const Rect cell = cellRect(v.topRow, column);
  const Rect area = v.rowsArea();
  invalidateArea(Rect{cell.x, area.y, cell.width, area.height}.intersected(area));
}

void ListBox2::watchIconLoads() {
  if (watchingIconLoads_) {
    return;
  }
  Window* window = windowOf(*this);
  if (window == nullptr) {
    return;
  }
  watchingIconLoads_ = true;
  window->setComponentTimer(this, kIconWatchTimer, kIconWatchMs, [this] {
    const uint64_t done = iconLoader_.finished();
    if (done != iconLoadsSeen_) {
      iconLoadsSeen_ = done;
      invalidateRows();
    }
    if (!iconLoader_.busy()) {
      watchingIconLoads_ = false;
      if (Window* w = windowOf(*this)) {
        w->killComponentTimer(this, kIconWatchTimer);
      }
    }
  });
}

// --- Input ------------------------------------------------------------------------------

bool ListBox2::handleInput(const platform::ui::Event& event, std::int32_t x, std::int32_t y) {
  return pointer_.handle(event, x, y);
}

bool ListBox2::handleKey(const platform::ui::Event& event) {
  const bool used = keys_.handle(event);
  updateScrollBars();
  return used;
}

platform::ui::PointerShape ListBox2::cursorAt(std::int32_t /*x*/, std::int32_t /*y*/) const {
  return pointer_.cursor();
}

void ListBox2::captureLost() {
  pointer_.captureLost();
}

}  // namespace s::gui::win
