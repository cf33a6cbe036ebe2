#pragma once

#include <cstdint>
#include <optional>

namespace s::app {

// The commands of the current list's row menu, by their menu ids.
enum class RowCommand : int32_t {
  kOpenWebPage = 800,
  kLocateProgram = 810,
  kShowProgramProperty = 820,
  kDisconnect = 880,
  kCloseProgram = 890,
  kKillProgram = 891,
};

inline constexpr RowCommand kRowCommands[] = {
    RowCommand::kOpenWebPage, RowCommand::kLocateProgram, RowCommand::kShowProgramProperty,
    RowCommand::kDisconnect,  RowCommand::kCloseProgram,  RowCommand::kKillProgram,
};

// The row command of a menu id, if it is one.
inline std::optional<RowCommand> rowCommandOf(int32_t id) {
  for (RowCommand command : kRowCommands) {
    if (static_cast<int32_t>(command) == id) {
      return command;
    }
  }
  return std::nullopt;
}

}  // namespace s::app
