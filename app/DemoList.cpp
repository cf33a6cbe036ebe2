#include "app/DemoList.h"

#include <chrono>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "app/ConnectionColumns.h"
#include "gui/listbox2/CellValue.h"
#include "gui/listbox2/ListHeader.h"
#include "gui/listbox2/Record.h"
#include "gui/listbox2/SubRecord.h"

namespace s::app {

namespace {

namespace lb = gui::listbox2;

struct Program {
  std::u16string_view name;
  std::u16string_view path;
};

// Programs of a Debian desktop (those with a desktop entry and a PNG icon show it), and names in
// other scripts.
constexpr Program kPrograms[] = {
    {u"chromium", u"/usr/bin/chromium"},
    {u"openbox", u"/usr/bin/openbox"},
    {u"python3.11", u"/usr/bin/python3.11"},
    {u"vim.basic", u"/usr/bin/vim.basic"},
    {u"مدير النوافذ", u"/usr/bin/openbox"},
    {u"テキストエディタ", u"/usr/bin/vim.basic"},
    {u"sshd", u"/usr/sbin/sshd"},
};

constexpr std::u16string_view kHosts[] = {
    u"example.org",          u"mirror.debian.org", u"موقع.مثال.اختبار",
    u"サーバー.例え.テスト", u"10.0.3.17",         u"cdn.example.net",
};

constexpr std::u16string_view kStates[] = {u"ESTABLISHED", u"TIME_WAIT", u"CLOSE_WAIT",
                                           u"SYN_SENT"};

void addText(lb::Record* row, std::u16string_view text, std::u16string_view icon = {}) {
  lb::appendCell(row, lb::newCell(lb::textValue(text), lb::textValueOwner(), lb::showText, icon));
}

void addNumber(lb::Record* row, uint32_t value) {
  lb::appendCell(row, lb::newCell(value, nullptr, lb::showU32));
}

void addBytes(lb::Record* row, int64_t bytes) {
  lb::appendCell(row, lb::newCell(lb::int64Value(bytes), lb::int64ValueOwner(), lb::showByteSize));
}

PoolPtr<lb::Record> makeRow(uint32_t i) {
  const Program& program = kPrograms[i % std::size(kPrograms)];
  const bool udp = i % 5 == 4;
  PoolPtr<lb::Record> owned = lb::newRecord(current::kCellCount, nullptr);
  lb::Record* row = owned.get();
  addText(row, udp ? u"UDP" : u"TCP");
  addText(row, udp ? u"" : kStates[i % std::size(kStates)]);
  addNumber(row, 1000 + i % 97);
  addText(row, program.name, std::u16string(program.path) + u",0");
  addText(row, u"192.168.1.10");
  addNumber(row, 40000 + i % 25000);
  addText(row, udp ? u"*" : kHosts[i % std::size(kHosts)]);
  addNumber(row, udp ? 53 : (i % 3 == 0 ? 80 : 443));
  addBytes(row, static_cast<int64_t>(i) * 7919 % 50000000);
  addBytes(row, static_cast<int64_t>(i) * 104729 % 5000000);
  addText(row, u"0:" + std::u16string(1, static_cast<char16_t>(u'0' + i % 6)) + u"5:12");
  addText(row, program.path);
  return owned;
}

}  // namespace

DemoList::DemoList(uint32_t rows, bool still)
    : localizer_(lang::Localizer::fromResource(u"IDR_XML", 130)), rows_(rows), still_(still) {
  localizer_->selectLanguage(u"English");
  panel_ = gui::win::ListBoxEx::newListBoxEx(100, 100);
  gui::win::ListBox2& list = *panel_->getList();
  addCurrentColumns(list, localizer_.get());
  list.setFullRowSelect(true);
  list.setStriped(true);
  list.getHeader()->setHeaderHeight(17);
  list.getHeader()->setFontSizeCode(-2);
  list.beginUpdate();
  records_.reserve(rows);
  for (uint32_t i = 0; i < rows; ++i) {
    PoolPtr<lb::Record> row = makeRow(i);
    records_.push_back(row.get());
    stamps_.push_back(row->stamp());
    // The list takes the row over: it gives its rows back when it goes.
    list.appendRecord(std::move(row));
  }
  list.sort();
  list.endUpdate();
}

DemoList::~DemoList() {
  stop();
}

void DemoList::start() {
  if (!still_ && !refresher_.joinable()) {
    refresher_ = std::thread([this] { refresh(); });
  }
}

void DemoList::stop() {
  stopping_ = true;
  if (refresher_.joinable()) {
    refresher_.join();
  }
}

void DemoList::refresh() {
  for (uint64_t pass = 1; !stopping_; ++pass) {
    for (int i = 0; i < 20 && !stopping_; ++i) {
      std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    changeReceived(pass, true);
  }
}

void DemoList::changeReceived(uint64_t pass, bool inOneUpdate) {
  // The rows are this thread's own records (the list is the window's), none of them ever
  // removed.
  gui::win::ListBox2& list = *panel_->getList();
  if (inOneUpdate) {
    list.beginUpdate();
  }
  for (uint32_t i = 0; i < records_.size(); ++i) {
    const auto bytes = static_cast<int64_t>((i * 2654435761U + pass * 40503U) % 90000000U);
    list.giveValue(records_[i], stamps_[i], current::kReceived, lb::int64Value(bytes),
                   lb::int64ValueOwner());
  }
  list.refreshColumn(current::kDuration);
  if (inOneUpdate) {
    list.endUpdate();
  }
}

}  // namespace s::app
