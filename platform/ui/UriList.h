#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace s::platform::ui {

// The items of a text/uri-list, what a drag from a file manager or a browser carries: one URI a
// line, lines starting with "#" are comments. A file URI of this machine (no host, "localhost"
// or this host's name) is a file, given as its decoded path; every other URI is a link, kept as
// it stands. A file URI that does not decode to a plain absolute path (a NUL, a bad escape, a
// relative or overlong path) is left out.
class UriList {
 public:
  static UriList parse(std::string_view text, std::string_view hostName);

  const std::vector<std::string>& files() const { return files_; }
  const std::vector<std::string>& links() const { return links_; }

 private:
  std::vector<std::string> files_;
  std::vector<std::string> links_;
};

}  // namespace s::platform::ui
