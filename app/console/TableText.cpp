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
  // The widest cell's columns.
  uint32_t content;
  // The sort direction's arrow after the title of the first sort key; it stays when the
  // title is cut.
  std::u16string_view mark;
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

// Narrows the widest column that is above its floor one step at a time; false when none is.
bool narrow(std::vector<Column>& columns, uint32_t width, uint32_t gap, bool keepContent) {
  auto floor = [keepContent](const Column& c) {
    return keepContent ? std::max(c.content, kMinColumns) : kMinColumns;
  };
  while (totalWidth(columns, gap) > width) {
    Column* widest = nullptr;
    for (Column& column : columns) {
      if (column.width > floor(column) && (widest == nullptr || column.width > widest->width)) {
        widest = &column;
      }
    }
    if (widest == nullptr) {
      return false;
    }
    --widest->width;
  }
  return true;
}

// Titles are cut before cells are, then every column narrows; what still does not fit is left
// out from the right.
void fit(std::vector<Column>& columns, uint32_t width, uint32_t gap) {
  if (narrow(columns, width, gap, true)) {
    return;
  }
  while (!columns.empty() && !narrow(columns, width, gap, false)) {
    columns.pop_back();
  }
}

std::string join(const std::vector<std::string>& cells, uint32_t gap) {
  std::string text;
  for (size_t i = 0; i < cells.size(); ++i) {
    if (i > 0) {
      text.append(gap, ' ');
    }
    text += cells[i];
  }
  text.erase(text.find_last_not_of(' ') + 1);
  return text;
}

}  // namespace

TableText tableText(gui::win::ListBox2& list, uint32_t width, uint32_t firstRow, uint32_t rowCount,
                    const std::vector<uint32_t>* picked) {
  auto recordAt = [&list, picked](uint32_t row) {
    return list.getRecord(picked == nullptr ? row : (*picked)[row]);
  };
  uint32_t count = picked == nullptr ? list.recordCount() : static_cast<uint32_t>(picked->size());
  const col::ArrayS32& order = list.getColumnOrder();
  const col::ArrayU32& keys = list.list().sortKeys();
  int64_t sortColumn = keys.count() > 0 ? keys.at(0) : -1;
  uint32_t end = std::min<uint64_t>(static_cast<uint64_t>(firstRow) + rowCount, count);

  std::vector<Column> columns;
  for (uint32_t position = 0; position < order.count(); ++position) {
    uint32_t index = static_cast<uint32_t>(order.at(position));
    lb::DataType* type = list.getColumn(index);
    if (type == nullptr) {
      continue;
    }
    Column column{index, std::u16string(type->title()), type->alignment() == lb::kAlignRight, 0, 0,
                  {}};
    if (index == sortColumn) {
      column.mark = type->ascending() ? kAscending : kDescending;
    }
    for (uint32_t row = firstRow; row < end; ++row) {
      column.content = std::max(column.content, columnsOf(cellText(recordAt(row), index)));
    }
    column.width = std::max(column.content, columnsOf(column.title) + columnsOf(column.mark));
    columns.push_back(std::move(column));
  }

  // Two spaces between columns when they fit, one when space is short.
  uint32_t gap = width == 0 || totalWidth(columns, 2) <= width ? 2 : 1;
  if (width > 0) {
    fit(columns, width, gap);
  }

  TableText table;
  table.width = totalWidth(columns, gap);
  std::vector<std::string> cells;
  for (const Column& column : columns) {
    std::u16string marked = column.title + std::u16string(column.mark);
    uint32_t mark = columnsOf(column.mark);
    if (columnsOf(marked) <= column.width || mark >= column.width) {
      cells.push_back(fitted(marked, column.width, column.alignRight));
    } else {
      // The arrow stays when the title is cut.
      cells.push_back(fitted(column.title, column.width - mark, column.alignRight) +
                      shown(column.mark));
    }
  }
  table.header = join(cells, gap);
  for (uint32_t row = firstRow; row < end; ++row) {
    lb::Record* record = recordAt(row);
    for (size_t i = 0; i < columns.size(); ++i) {
      cells[i] =
          fitted(cellText(record, columns[i].index), columns[i].width, columns[i].alignRight);
    }
    table.rows.push_back(join(cells, gap));
  }
  return table;
}

}  // namespace s::app::console
