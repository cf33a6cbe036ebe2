#pragma once

#include <stdlib.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

namespace s::test {

// A fresh folder under the system's temporary folder, removed with everything in it when the
// holder goes.
class TempFolder {
 public:
  TempFolder() {
    std::string pattern =
        (std::filesystem::temp_directory_path() / "netvigil-test-XXXXXX").string();
    if (mkdtemp(pattern.data()) != nullptr) {
      root_ = pattern;
    }
  }
  ~TempFolder() {
    std::error_code ignored;
    std::filesystem::remove_all(root_, ignored);
  }
  TempFolder(const TempFolder&) = delete;
  TempFolder& operator=(const TempFolder&) = delete;

  const std::filesystem::path& root() const { return root_; }
  std::filesystem::path path(const std::string& name) const { return root_ / name; }

 private:
  std::filesystem::path root_;
};

// The whole content of a file; empty when it cannot be read.
inline std::string fileText(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::stringstream text;
  text << in.rdbuf();
  return text.str();
}

}  // namespace s::test
