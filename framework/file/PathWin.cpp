#include "framework/file/PathWin.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstdlib>

#include <vector>

#include "framework/file/DesktopEntry.h"
#include "framework/file/FileOutputStream.h"
#include "framework/file/NativePath.h"

namespace s::file {

namespace {

str::StrBuffer& output(str::StrBuffer& out, bool append) {
  if (!append) {
    out.clear();
  }
  return out;
}

std::u16string environmentText(const char* name) {
  const char* value = std::getenv(name);
  return value == nullptr || *value == 0 ? std::u16string() : fromNative(value);
}

std::u16string homeFolder() {
  std::u16string home = environmentText("HOME");
  return home.empty() ? std::u16string(u"/") : home;
}

std::u16string configFolder() {
  std::u16string config = environmentText("XDG_CONFIG_HOME");
  return config.empty() ? homeFolder() + u"/.config" : config;
}

// The desktop folder as the XDG user-dirs file names it, else ~/Desktop.
std::u16string desktopFolder() {
  std::string bytes;
  bool read = PathWin::of(configFolder(), u"user-dirs.dirs")->readAll(bytes);
  std::u16string home = homeFolder();
  if (read) {
    const std::string_view key = "XDG_DESKTOP_DIR=\"";
    size_t at = bytes.find(key);
    if (at != std::string::npos) {
      size_t start = at + key.size();
      size_t end = bytes.find('"', start);
      if (end != std::string::npos) {
        std::u16string value = fromNative(std::string_view(bytes).substr(start, end - start));
        if (value.starts_with(u"$HOME")) {
          value.replace(0, 5, home);
        }
        return value;
      }
    }
  }
  return home + u"/Desktop";
}

bool statOf(const std::string& path, struct stat& info) {
  return ::stat(path.c_str(), &info) == 0;
}

int openRetrying(const std::string& path, int flags, mode_t mode = 0) {
  int fd = -1;
  do {
    fd = ::open(path.c_str(), flags | O_CLOEXEC, mode);
  } while (fd < 0 && errno == EINTR);
  return fd;
}

}  // namespace

void PathWin::reset() {
  std::u16string().swap(source_);
  std::u16string().swap(full_);
  std::u16string().swap(folder_);
  std::u16string().swap(title_);
  std::u16string().swap(extension_);
  wellFormed_ = false;
}

PoolPtr<PathWin> PathWin::of(std::u16string_view text) {
  PoolPtr<PathWin> path = make();
  path->set(text);
  return path;
}

PoolPtr<PathWin> PathWin::of(std::u16string_view folder, std::u16string_view name) {
  std::u16string text(folder);
  if (!text.empty() && text.back() != u'/') {
    text += u'/';
  }
  text += name;
  return of(text);
}

PoolPtr<PathWin> PathWin::shortcutOf(std::u16string_view folder, std::u16string_view name) {
  return of(folder, std::u16string(name) + u".desktop");
}

PoolPtr<PathWin> PathWin::executable() {
  std::string bytes(PATH_MAX, '\0');
  ssize_t n = ::readlink("/proc/self/exe", bytes.data(), bytes.size());
  bytes.resize(n < 0 ? 0 : static_cast<size_t>(n));
  return of(fromNative(bytes));
}

PoolPtr<PathWin> PathWin::specialFolder(SpecialFolder folder) {
  switch (folder) {
    case SpecialFolder::Home:
      return of(homeFolder());
    case SpecialFolder::Desktop:
      return of(desktopFolder());
    case SpecialFolder::Autostart:
      return of(configFolder() + u"/autostart");
  }
  return of(u"");
}

PoolPtr<PathWin> PathWin::dataFolder() {
  std::u16string home = environmentText("NETVIGIL_HOME");
  return of(home.empty() ? configFolder() + u"/netvigil" : home);
}

void PathWin::set(std::u16string_view text) {
  reset();
  source_.assign(text);
  if (text.empty() || text.find(u'\0') != std::u16string_view::npos || text.size() >= PATH_MAX) {
    return;
  }
  full_.assign(text);
  while (full_.size() > 1 && full_.back() == u'/') {
    full_.pop_back();
  }
  size_t slash = full_.rfind(u'/');
  std::u16string_view name = full_;
  if (slash != std::u16string::npos) {
    folder_ = full_.substr(0, slash + 1);
    name = std::u16string_view(full_).substr(slash + 1);
  }
  // A leading dot names a hidden file, not an extension.
  size_t dot = name.rfind(u'.');
  if (dot == std::u16string_view::npos || dot == 0) {
    title_.assign(name);
  } else {
    title_.assign(name.substr(0, dot));
    extension_.assign(name.substr(dot));
  }
  wellFormed_ = true;
}

std::string PathWin::native() const {
  return toNative(full_);
}

bool PathWin::exists() const {
  return wellFormed_ && ::access(native().c_str(), F_OK) == 0;
}
bool PathWin::isReadable() const {
  return wellFormed_ && ::access(native().c_str(), R_OK) == 0;
}
bool PathWin::isWritable() const {
  return wellFormed_ && ::access(native().c_str(), W_OK) == 0;
}
bool PathWin::isReadWrite() const {
  return wellFormed_ && ::access(native().c_str(), R_OK | W_OK) == 0;
}

bool PathWin::isDirectory() const {
  struct stat info {};
  return wellFormed_ && statOf(native(), info) && S_ISDIR(info.st_mode);
}

bool PathWin::isFile() const {
  struct stat info {};
  return wellFormed_ && statOf(native(), info) && !S_ISDIR(info.st_mode);
}

bool PathWin::isHidden() const {
  return !title_.empty() && title_[0] == u'.';
}

bool PathWin::isExe() const {
  struct stat info {};
  return wellFormed_ && statOf(native(), info) && S_ISREG(info.st_mode) &&
         ::access(native().c_str(), X_OK) == 0;
}

bool PathWin::isShortcut() const {
  return str::StrBuffer::compareIgnoreCase(extension_, u".desktop") == 0;
}

bool PathWin::isUrlShortcut() const {
  if (!isShortcut()) {
    return false;
  }
  std::string bytes;
  return readAll(bytes) && DesktopEntry::parse(bytes).type == u"Link";
}

str::StrBuffer& PathWin::fullPath(str::StrBuffer& out, bool append) const {
  output(out, append);
  out.append(full_);
  return out;
}

str::StrBuffer& PathWin::folderPath(str::StrBuffer& out, bool append) const {
  output(out, append);
  std::u16string_view folder = folder_;
  if (folder.size() > 1) {
    folder.remove_suffix(1);
  }
  out.append(folder);
  return out;
}

str::StrBuffer& PathWin::folderText(str::StrBuffer& out, bool append) const {
  output(out, append);
  out.append(folder_);
  return out;
}

str::StrBuffer& PathWin::name(str::StrBuffer& out, bool append) const {
  output(out, append);
  out.append(title_);
  out.append(extension_);
  return out;
}

str::StrBuffer& PathWin::title(str::StrBuffer& out, bool append) const {
  output(out, append);
  out.append(title_);
  return out;
}

str::StrBuffer& PathWin::extension(str::StrBuffer& out, bool append) const {
  output(out, append);
  out.append(extension_);
  return out;
}

PoolPtr<str::StrBuffer> PathWin::folderPath() const {
  return str::StrBuffer::written([this](str::StrBuffer& text) { folderPath(text); });
}

PoolPtr<str::StrBuffer> PathWin::title() const {
  return str::StrBuffer::written([this](str::StrBuffer& text) { title(text); });
}

PoolPtr<PathWin> PathWin::parent() const {
  return of(folder_);
}

bool PathWin::setMode(mode_t mode) {
  return wellFormed_ && ::chmod(native().c_str(), mode) == 0;
}

bool PathWin::createFolder() {
  if (!wellFormed_ || full_ == u"/") {
    return false;
  }
  std::string path = native();
  if (::mkdir(path.c_str(), 0777) == 0) {
    return true;
  }
  if (errno == EEXIST) {
    return isDirectory();
  }
  if (errno != ENOENT) {
    return false;
  }
  bool made = parent()->createFolder();
  return made && (::mkdir(path.c_str(), 0777) == 0 || (errno == EEXIST && isDirectory()));
}

bool PathWin::ensureParent() const {
  if (folder_.empty()) {
    return true;
  }
  PoolPtr<PathWin> up = parent();
  return up->isDirectory() || up->createFolder();
}

bool PathWin::createFile() {
  if (!wellFormed_ || !ensureParent()) {
    return false;
  }
  int fd = openRetrying(native(), O_WRONLY | O_CREAT | O_EXCL, 0666);
  if (fd < 0) {
    return false;
  }
  ::close(fd);
  return true;
}

bool PathWin::remove() {
  if (!wellFormed_) {
    return false;
  }
  std::string path = native();
  return isDirectory() ? ::rmdir(path.c_str()) == 0 : ::unlink(path.c_str()) == 0;
}

bool PathWin::copyTo(const PathWin& destination, bool replace) const {
  std::string bytes;
  if (!readAll(bytes) || !destination.isWellFormed() || !destination.ensureParent()) {
    return false;
  }
  int flags = O_WRONLY | O_CREAT | (replace ? O_TRUNC : O_EXCL);
  int fd = openRetrying(destination.native(), flags, 0666);
  if (fd < 0) {
    return false;
  }
  bool ok = writeWhole(fd, bytes);
  return ::close(fd) == 0 && ok;
}

bool PathWin::moveTo(const PathWin& destination, bool replace) const {
  if (!exists() || !destination.isWellFormed() || (!replace && destination.exists()) ||
      !destination.ensureParent()) {
    return false;
  }
  if (::rename(native().c_str(), destination.native().c_str()) == 0) {
    return true;
  }
  // Across file systems: copy, then remove the original.
  return errno == EXDEV && copyTo(destination, replace) && ::unlink(native().c_str()) == 0;
}

PoolPtr<FileOutputStream> PathWin::openOutputStream(bool append) const {
  if (!wellFormed_ || !ensureParent()) {
    return nullptr;
  }
  int fd = openRetrying(native(), O_RDWR | O_CREAT | (append ? 0 : O_TRUNC), 0666);
  if (fd < 0) {
    return nullptr;
  }
  off_t position = append ? ::lseek(fd, 0, SEEK_END) : 0;
  PoolPtr<FileOutputStream> stream = FileOutputStream::make();
  stream->attach(fd, position < 0 ? 0 : position);
  return stream;
}

PoolPtr<FileInputStream> PathWin::openInputStream() const {
  if (!wellFormed_) {
    return nullptr;
  }
  int fd = openRetrying(native(), O_RDONLY);
  if (fd < 0) {
    return nullptr;
  }
  PoolPtr<FileInputStream> stream = FileInputStream::make();
  stream->attach(fd);
  return stream;
}

bool PathWin::readAll(std::string& bytes) const {
  bytes.clear();
  if (!wellFormed_) {
    return false;
  }
  int fd = openRetrying(native(), O_RDONLY);
  return fd >= 0 && readWhole(fd, bytes);
}

ReadOutcome PathWin::readRegular(std::string& bytes) const {
  bytes.clear();
  if (!wellFormed_) {
    return ReadOutcome::kUnreadable;
  }
  std::string path = native();
  struct stat info {};
  if (!statOf(path, info)) {
    return errno == ENOENT ? ReadOutcome::kMissing : ReadOutcome::kUnreadable;
  }
  if (!S_ISREG(info.st_mode)) {
    return ReadOutcome::kNotRegular;
  }
  // Without blocking, and checked again on the open file: it may have been replaced since.
  int fd = openRetrying(path, O_RDONLY | O_NONBLOCK);
  if (fd < 0) {
    return errno == ENOENT ? ReadOutcome::kMissing : ReadOutcome::kUnreadable;
  }
  if (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
    ::close(fd);
    return ReadOutcome::kNotRegular;
  }
  return readWhole(fd, bytes) ? ReadOutcome::kRead : ReadOutcome::kUnreadable;
}

bool PathWin::readWhole(int fd, std::string& bytes) {
  char chunk[65536];
  bool ok = true;
  for (;;) {
    ssize_t n = ::read(fd, chunk, sizeof chunk);
    if (n < 0 && errno == EINTR) {
      continue;
    }
    if (n < 0) {
      ok = false;
    }
    if (n <= 0) {
      break;
    }
    bytes.append(chunk, static_cast<size_t>(n));
  }
  ::close(fd);
  return ok;
}

bool PathWin::writeAtomically(std::string_view bytes, const AtomicWrite& how) const {
  return wellFormed_ && ensureParent() && writeFileAtomically(native(), bytes, how);
}

bool PathWin::createShortcut(std::u16string_view linkPath, bool replace,
                             std::u16string_view arguments) const {
  if (!exists()) {
    return false;
  }
  std::u16string linkText(linkPath);
  if (linkText.size() < 8 ||
      str::StrBuffer::compareIgnoreCase(std::u16string_view(linkText).substr(linkText.size() - 8),
                                        u".desktop") != 0) {
    linkText += u".desktop";
  }
  PoolPtr<PathWin> link = of(linkText);
  bool ok = link->isWellFormed();
  if (ok && link->exists()) {
    ok = replace && link->remove();
  }
  if (ok) {
    if (isShortcut()) {
      ok = copyTo(*link, true);
    } else {
      DesktopEntry entry;
      entry.type = u"Application";
      entry.name = link->title_;
      entry.exec.push_back(full_);
      for (size_t i = 0; i < arguments.size();) {
        size_t end = arguments.find_first_of(u" \t", i);
        if (end == std::u16string_view::npos) {
          end = arguments.size();
        }
        if (end > i) {
          entry.exec.emplace_back(arguments.substr(i, end - i));
        }
        i = end + 1;
      }
      if (PoolPtr<PathWin> folder = parent(); folder->isDirectory()) {
        entry.workingFolder = folder->full_;
      }
      ok = link->writeAtomically(entry.toText());
    }
  }
  return ok;
}

bool PathWin::createUrlShortcut(std::u16string_view url, bool replace) {
  if (!wellFormed_ || (exists() && !(replace && remove()))) {
    return false;
  }
  DesktopEntry entry;
  entry.type = u"Link";
  entry.name = title_;
  entry.url.assign(url);
  return writeAtomically(entry.toText());
}

std::u16string PathWin::shortcutTarget() const {
  std::string bytes;
  if (!isShortcut() || !readAll(bytes)) {
    return {};
  }
  DesktopEntry entry = DesktopEntry::parse(bytes);
  return entry.exec.empty() ? std::u16string() : entry.exec.front();
}

std::u16string PathWin::urlOf() const {
  std::string bytes;
  if (!isShortcut() || !readAll(bytes)) {
    return {};
  }
  return DesktopEntry::parse(bytes).url;
}

}  // namespace s::file
