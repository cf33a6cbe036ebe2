#pragma once

#include <sys/types.h>
#include <string>
#include <string_view>

#include "framework/base/Pooled.h"
#include "framework/file/AtomicWrite.h"
#include "framework/str/StrBuffer.h"

namespace s::file {

class FileInputStream;
class FileOutputStream;

class IPath : public IObject, public IPoolable {};

// What reading a file that must be a regular one came to.
enum class ReadOutcome {
  kRead,
  kMissing,
  kNotRegular,  // a FIFO, a device, a folder: left unopened for reading
  kUnreadable,
};

// The folders the program writes to besides its own.
enum class SpecialFolder {
  Home,
  Desktop,    // the XDG desktop folder: where the error report goes
  Autostart,  // $XDG_CONFIG_HOME/autostart: start with the desktop session
};

// A file-system location, parsed once into its parts: folder (with leading and trailing
// "/"), title (the name without extension) and extension (with its dot). "/" is the
// separator; trailing separators are dropped. Output forms write into a buffer, cleared first
// unless appending, or into a new one.
class PathWin final : public Pooled<PathWin, IPath> {
 public:
  PathWin() = default;
  void reset() override;

  static PoolPtr<PathWin> of(std::u16string_view text);
  static PoolPtr<PathWin> of(std::u16string_view folder, std::u16string_view name);
  static PoolPtr<PathWin> shortcutOf(std::u16string_view folder, std::u16string_view name);
  // The running program's file.
  static PoolPtr<PathWin> executable();
  static PoolPtr<PathWin> specialFolder(SpecialFolder folder);
  // The program's data folder: $NETVIGIL_HOME, else $XDG_CONFIG_HOME/netvigil, else
  // ~/.config/netvigil.
  static PoolPtr<PathWin> dataFolder();

  void set(std::u16string_view text);

  bool isWellFormed() const { return wellFormed_; }
  bool exists() const;
  bool isReadable() const;
  bool isWritable() const;
  bool isReadWrite() const;
  bool isDirectory() const;
  bool isFile() const;
  // A dot file.
  bool isHidden() const;
  // A regular file the user may execute.
  bool isExe() const;
  // A desktop entry (".desktop").
  bool isShortcut() const;
  // A desktop entry of type Link.
  bool isUrlShortcut() const;

  std::u16string_view full() const { return full_; }
  std::u16string_view source() const { return source_; }
  str::StrBuffer& fullPath(str::StrBuffer& out, bool append = false) const;
  // The folder without its trailing "/" ("/" itself for the root folder).
  str::StrBuffer& folderPath(str::StrBuffer& out, bool append = false) const;
  PoolPtr<str::StrBuffer> folderPath() const;
  // The folder, always ending with "/".
  str::StrBuffer& folderText(str::StrBuffer& out, bool append = false) const;
  str::StrBuffer& name(str::StrBuffer& out, bool append = false) const;
  str::StrBuffer& title(str::StrBuffer& out, bool append = false) const;
  PoolPtr<str::StrBuffer> title() const;
  str::StrBuffer& extension(str::StrBuffer& out, bool append = false) const;
  // A new path for the folder.
  PoolPtr<PathWin> parent() const;
  // The permission bits.
  bool setMode(mode_t mode);

  // Makes the folder, and its missing parents; false for the root.
  bool createFolder();
  // The parent folder exists or could be made.
  bool ensureParent() const;
  // Creates the file exclusively (mode 0666 before the umask), making the parent first.
  bool createFile();
  bool remove();
  bool copyTo(const PathWin& destination, bool replace) const;
  bool moveTo(const PathWin& destination, bool replace) const;

  // Truncates (append false) or appends; null when the file cannot be opened.
  PoolPtr<FileOutputStream> openOutputStream(bool append) const;
  // Null when the file cannot be opened.
  PoolPtr<FileInputStream> openInputStream() const;
  // Reads the whole file; false when it cannot be read.
  bool readAll(std::string& bytes) const;
  // Reads the whole file when it is a regular one. Anything else is refused at once: a FIFO
  // would block the reader until some other program wrote to it.
  ReadOutcome readRegular(std::string& bytes) const;
  // Replaces the file's content so that a crash or a full disk leaves either the old or the
  // new content, never a part: a temporary file in the same folder, flushed, then renamed.
  bool writeAtomically(std::string_view bytes, const AtomicWrite& how = {}) const;

  // Writes a desktop entry at linkPath (".desktop" appended when missing) that starts this
  // program with the given arguments (split at blanks).
  bool createShortcut(std::u16string_view linkPath, bool replace,
                      std::u16string_view arguments) const;
  // Writes a desktop entry of type Link at this path.
  bool createUrlShortcut(std::u16string_view url, bool replace);
  // The program a desktop entry starts; empty when this is none.
  std::u16string shortcutTarget() const;
  // The address of a Link desktop entry.
  std::u16string urlOf() const;

  std::u16string_view className() const override { return u"s_file_PathWin"; }

 private:
  std::string native() const;
  // Reads `fd` to its end and closes it.
  static bool readWhole(int fd, std::string& bytes);

  std::u16string source_;
  std::u16string full_;
  std::u16string folder_;
  std::u16string title_;
  std::u16string extension_;
  bool wellFormed_ = false;
};

}  // namespace s::file
