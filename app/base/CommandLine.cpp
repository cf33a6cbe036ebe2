#include "app/base/CommandLine.h"

#include "framework/file/NativePath.h"
#include "framework/str/StrBuffer.h"

namespace s::app::win {

std::u16string normalizedArgument(std::string_view argument) {
  std::u16string text = file::fromNative(argument);
  if (!text.empty() && text[0] == u'/') {
    text[0] = u'-';
  }
  return text;
}

bool isStartupOption(std::string_view argument) {
  return str::StrBuffer::compareIgnoreCase(normalizedArgument(argument), kStartupOption) == 0;
}

CommandLine::CommandLine(int argc, const char* const* argv) {
  for (int i = 1; i < argc; ++i) {
    arguments_.push_back(normalizedArgument(argv[i]));
  }
}

bool CommandLine::has(std::u16string_view option) const {
  for (const std::u16string& argument : arguments_) {
    if (str::StrBuffer::compareIgnoreCase(argument, option) == 0) {
      return true;
    }
  }
  return false;
}

}  // namespace s::app::win
