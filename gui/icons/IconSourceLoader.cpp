#include "gui/icons/IconSourceLoader.h"

#include <string>

#include "framework/file/NativePath.h"
#include "image/IconLoader.h"
#include "platform/linux/desktop/ProgramIcons.h"

namespace s::image::util {

namespace {

// "<program>,<digits>" naming an ELF file: the program's path, else empty.
std::string elfProgram(const std::string& source) {
  const size_t comma = source.rfind(',');
  if (comma == std::string::npos || comma == 0 || comma + 1 == source.size() ||
      source.find_first_not_of("0123456789", comma + 1) != std::string::npos) {
    return {};
  }
  std::string program = source.substr(0, comma);
  return platform::ProgramIcons::isElfProgram(program) ? program : std::string();
}

}  // namespace

PoolPtr<ImageCache> loadIconSource(std::u16string_view source) {
  const std::string native = file::toNative(source);
  std::string module;
  long index = 0;
  if (!parseModuleSource(native, module, index)) {
    const std::string program = elfProgram(native);
    if (!program.empty()) {
      const std::string icon = platform::ProgramIcons::instance().iconFileFor(program);
      return icon.empty() ? PoolPtr<ImageCache>() : loadPictureFile(icon);
    }
  }
  return loadIcon(native);
}

}  // namespace s::image::util
