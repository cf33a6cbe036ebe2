#include "app/console/TableText.h"

#include <algorithm>
#include <string_view>

#include "app/console/TerminalText.h"
#include "gui/listbox2/DataType.h"

namespace s::app::console {

namespace {

namespace lb = gui::listbox2;

// Narrower than this a column says nothing; it is left out instead.
constexpr uint32_t kMinColumns = 4;
constexpr std::u16string_view kAscending = u"\u25B2";
constexpr std::u16string_view kDescending = u"\u25BC";

struct Column {
  uint32_t index;
  std::u16string title;
  bool alignRight;
  uint32_t width;
};

std::u16string_view cellText(lb::Record* record, uint32_t column) {
  lb::SubRecord* cell = record == nullptr ? nullptr : record->cell(column);
  return cell == nullptr ? std::u16string_view() : cell->text();
}

uint32_t totalWidth(const std::vector<Column>& columns, uint32_t gap) {
  uint32_t total = 0;
  for (const Column& column : columns) {
    total += column.width;
  }
  return columns.empty() ? 0 : total + gap * static_cast<uint32_t>(columns.size() - 1);
}

// Narrows the widest column one step at a time, then leaves columns out from the right.
void fit(std::vector<Column>& columns, uint32_t width, uint32_t gap) {
  while (!columns.empty() && totalWidth(columns, gap) > width) {
    auto widest =
        std::max_element(columns.begin(), columns.end(),
                         [](const Column& a, const Column& b) { return a.width < b.width; });
    if (widest->width > kMinColumns) {
      --widest->width;
    } else {
      columns.pop_back();
    }
  }
}

std::string line(const std::vector<Column>& columns, uint32_t gap,
                 const std::vector<std::u16string_view>& texts) {
  std::string text;
  for (size_t i = 0; i < columns.size(); ++i) {
    if (i > 0) {
      text.append(gap, ' ');
    }
    text += fitted(texts[i], columns[i].width, columns[i].alignRight);
  }
  text.erase(text.find_last_not_of(' ') + 1);
  return text;
}

}  // namespace

TableText tableText(gui::win::ListBox2& list, uint32_t width, uint32_t firstRow,
                    uint32_t rowCount) {
  const col::ArrayS32& order = list.getColumnOrder();
  const col::ArrayU32& keys = list.list().sortKeys();
  int64_t sortColumn = keys.count() > 0 ? keys.at(0) : -1;
  uint32_t end = std::min<uint64_t>(static_cast<uint64_t>(firstRow) + rowCount, list.recordCount());

  std::vector<Column> columns;
  for (uint32_t position = 0; position < order.count(); ++position) {
    uint32_t index = static_cast<uint32_t>(order.at(position));
    lb::DataType* type = list.getColumn(index);
    if (type == nullptr) {
      continue;
    }
    Column column{index, std::u16string(type->title()), type->alignment() == lb::kAlignRight, 0};
    if (index == sortColumn) {
      column.title += type->ascending() ? kAscending : kDescending;
    }
    column.width = columnsOf(column.title);
    for (uint32_t row = firstRow; row < end; ++row) {
      column.width = std::max(column.width, columnsOf(cellText(list.getRecord(row), index)));
    }
    columns.push_back(std::move(column));
  }

  // Two spaces between columns when they fit, one when space is short.
  uint32_t gap = width == 0 || totalWidth(columns, 2) <= width ? 2 : 1;
  if (width > 0) {
    fit(columns, width, gap);
  }

  TableText table;
  table.width = totalWidth(columns, gap);
  std::vector<std::u16string_view> texts;
  for (const Column& column : columns) {
    texts.push_back(column.title);
  }
  table.header = line(columns, gap, texts);
  for (uint32_t row = firstRow; row < end; ++row) {
    lb::Record* record = list.getRecord(row);
    for (size_t i = 0; i < columns.size(); ++i) {
      texts[i] = cellText(record, columns[i].index);
    }
    table.rows.push_back(line(columns, gap, texts));
  }
  return table;
}

}  // namespace s::app::console
