#include "app/LogHtml.h"

#include "app/ConnectionColumns.h"
#include "app/HtmlEscape.h"
#include "framework/lang/TextIds.h"
#include "gui/listbox2/Record.h"

namespace s::app {
namespace {

namespace ids = lang::text;
using str::StrBuffer;

// The title of each log cell, in cell order.
constexpr int32_t kTitleIds[logged::kCellCount] = {
    ids::kColumnProtocol,   ids::kColumnEnd,       ids::kColumnProcessId, ids::kColumnProcessName,
    ids::kColumnLocal,      ids::kColumnLocalPort, ids::kColumnRemote,    ids::kColumnRemotePort,
    ids::kColumnReceived,   ids::kColumnSent,      ids::kColumnDuration,  ids::kColumnStart,
    ids::kColumnProcessPath};

constexpr std::u16string_view kStyle =
    u"<STYLE TYPE=\"text/css\">table{border-collapse: collapse;}td{font-size: 14px;white-space: "
    u"nowrap;padding-top: 3px;padding-right: 5px;padding-bottom: 3px;padding-left: "
    u"5px;border: 1px solid #aaaaaa;}</STYLE>";

// One table row of the cells' texts; a text getter answers cell i's.
template <class TextOf>
PoolPtr<StrBuffer> rowLine(TextOf textOf) {
  PoolPtr<StrBuffer> line = StrBuffer::of(u"<tr><td>");
  for (uint32_t i = 0; i < logged::kCellCount; ++i) {
    if (i > 0) {
      line->append(u"</td><td>");
    }
    appendHtmlEscaped(*line, textOf(i));
  }
  line->append(u"</td></tr>");
  return line;
}

}  // namespace

void composeLogHtml(gui::IListBox2& logList, lang::Localizer* localizer, std::u16string_view title,
                    str::StrArray& lines) {
  lines.freeMemory();

  PoolPtr<StrBuffer> opening = StrBuffer::of(
      u"<html><head><meta http-equiv=\"Content-Type\" content=\"text/html; charset=utf-8\" "
      u"/>\r\n<title>");
  appendHtmlEscaped(*opening, title);
  opening->append(u"</title>");
  opening->append(kStyle);
  opening->append(u"</head><body><strong>");
  appendHtmlEscaped(*opening, title);
  opening->append(u"</strong><table>");
  lines.push(std::move(opening));

  lines.push(rowLine([localizer](uint32_t i) {
    return localizer == nullptr ? std::u16string_view() : localizer->text(kTitleIds[i]);
  }));

  uint32_t rows = logList.recordCount();
  for (uint32_t row = 0; row < rows; ++row) {
    gui::listbox2::Record* record = logList.getRecord(row);
    if (record == nullptr) {
      continue;
    }
    PoolPtr<StrBuffer> line = rowLine([record](uint32_t i) {
      gui::listbox2::SubRecord* cell = record->cell(i);
      return cell == nullptr ? std::u16string_view() : cell->text();
    });
    // Date texts pad with two spaces; the page shows them with one. Escaping neither makes
    // nor removes spaces, so it may come first.
    line->replaceAll(u"  ", u" ");
    lines.push(std::move(line));
  }

  lines.push(StrBuffer::of(u"</table></body></html>"));
}

}  // namespace s::app
