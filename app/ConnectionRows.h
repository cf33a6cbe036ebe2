#pragma once

#include <cstdint>
#include <string_view>

#include "framework/time/TimeMs.h"
#include "gui/listbox2/IListBox2.h"
#include "gui/listbox2/Record.h"
#include "network/IConnection.h"

namespace s::app {

// The 12-cell row of a current connection, its user data the record. Local and Remote follow
// the record's isHostNameShown().
PoolPtr<gui::listbox2::Record> makeCurrentRow(system::network::IConnection& connection);
// The 13-cell row of an ended connection, with its fixed duration.
PoolPtr<gui::listbox2::Record> makeLogRow(system::network::IConnection& connection);

// The moment the Duration texts of current rows are measured to; the cycle sets it before it
// has the column's texts remade.
void setDurationClock(time::TimeMs now);

// Cell updates of a record's row in `list`; a value the list refuses (the row has gone) is
// disposed of.
void setTextCell(gui::IListBox2& list, system::network::IConnection& connection, uint32_t column,
                 std::u16string_view text);
void setInt64Cell(gui::IListBox2& list, system::network::IConnection& connection, uint32_t column,
                  int64_t value);

}  // namespace s::app
