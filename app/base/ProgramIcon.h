#pragma once

#include <array>
#include <cstdint>
#include <span>

namespace s::app::win {

// The program's own icon, compiled into it: one PNG picture per size (icon/Netvigil<size>.png,
// drawn by icon/MakeProgramIcon.cpp). The same files go into the desktop's icon theme when
// the program is installed.
class ProgramIcon {
 public:
  static constexpr std::array<int, 6> kSizes = {16, 32, 48, 64, 128, 256};

  // The PNG bytes of the smallest size at least `size` pixels wide (the largest for larger
  // sizes).
  static std::span<const std::uint8_t> png(int size);
};

}  // namespace s::app::win
