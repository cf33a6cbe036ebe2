#include "framework/file/DesktopEntry.h"

#include "framework/file/NativePath.h"

namespace s::file {

namespace {

// The string escapes of the format: \s \n \t \r \\.
std::u16string escapeValue(std::u16string_view value) {
  std::u16string out;
  for (char16_t c : value) {
    switch (c) {
      case u'\\':
        out += u"\\\\";
        break;
      case u'\n':
        out += u"\\n";
        break;
      case u'\t':
        out += u"\\t";
        break;
      case u'\r':
        out += u"\\r";
        break;
      default:
        out += c;
    }
  }
  // A leading space would be lost to the reader's trimming.
  if (!out.empty() && out[0] == u' ') {
    out.replace(0, 1, u"\\s");
  }
  return out;
}

std::u16string unescapeValue(std::u16string_view value) {
  std::u16string out;
  for (size_t i = 0; i < value.size(); ++i) {
    if (value[i] != u'\\' || i + 1 == value.size()) {
      out += value[i];
      continue;
    }
    switch (value[++i]) {
      case u's':
        out += u' ';
        break;
      case u'n':
        out += u'\n';
        break;
      case u't':
        out += u'\t';
        break;
      case u'r':
        out += u'\r';
        break;
      case u'\\':
        out += u'\\';
        break;
      default:
        out += u'\\';
        out += value[i];
    }
  }
  return out;
}

bool isReserved(char16_t c) {
  return std::u16string_view(u" \t\n\"'\\><~|&;$*?#()`").find(c) != std::u16string_view::npos;
}

std::u16string_view trimmed(std::u16string_view text) {
  while (!text.empty() && (text.front() == u' ' || text.front() == u'\t')) {
    text.remove_prefix(1);
  }
  while (!text.empty() && (text.back() == u' ' || text.back() == u'\t' || text.back() == u'\r')) {
    text.remove_suffix(1);
  }
  return text;
}

}  // namespace

std::u16string DesktopEntry::quoteArgument(std::u16string_view argument) {
  std::u16string out;
  bool quote = argument.empty();
  for (char16_t c : argument) {
    quote = quote || isReserved(c);
  }
  if (quote) {
    out += u'"';
  }
  for (char16_t c : argument) {
    if (quote && (c == u'"' || c == u'`' || c == u'$' || c == u'\\')) {
      out += u'\\';
    }
    out += c;
    // A literal percent sign is doubled: a single one starts a field code.
    if (c == u'%') {
      out += u'%';
    }
  }
  if (quote) {
    out += u'"';
  }
  return out;
}

std::vector<std::u16string> DesktopEntry::splitCommand(std::u16string_view command) {
  std::vector<std::u16string> arguments;
  std::u16string current;
  bool inArgument = false;
  bool quoted = false;
  // "" is an empty argument; a bare field code is none.
  bool hadQuotes = false;
  auto finish = [&] {
    if (inArgument && (hadQuotes || !current.empty())) {
      arguments.push_back(std::move(current));
    }
    current.clear();
    inArgument = false;
    hadQuotes = false;
  };
  for (size_t i = 0; i < command.size(); ++i) {
    char16_t c = command[i];
    if (quoted) {
      if (c == u'\\' && i + 1 < command.size()) {
        current += command[++i];
      } else if (c == u'"') {
        quoted = false;
      } else {
        current += c;
      }
      continue;
    }
    if (c == u' ' || c == u'\t' || c == u'\n') {
      finish();
      continue;
    }
    inArgument = true;
    if (c == u'"') {
      quoted = true;
      hadQuotes = true;
    } else if (c == u'%' && i + 1 < command.size()) {
      // %% is a percent sign; other field codes stand for files the launcher would pass.
      if (command[++i] == u'%') {
        current += u'%';
      }
    } else {
      current += c;
    }
  }
  finish();
  return arguments;
}

std::string DesktopEntry::toText() const {
  std::u16string text = u"[Desktop Entry]\n";
  auto line = [&text](std::u16string_view key, std::u16string_view value) {
    if (!value.empty()) {
      text += key;
      text += u'=';
      text += escapeValue(value);
      text += u'\n';
    }
  };
  line(u"Type", type);
  line(u"Name", name);
  std::u16string command;
  for (const std::u16string& argument : exec) {
    if (!command.empty()) {
      command += u' ';
    }
    command += quoteArgument(argument);
  }
  line(u"Exec", command);
  line(u"TryExec", tryExec);
  line(u"Path", workingFolder);
  line(u"URL", url);
  line(u"Icon", icon);
  line(u"StartupWMClass", startupWmClass);
  if (noDisplay) {
    line(u"NoDisplay", u"true");
  }
  if (hidden) {
    line(u"Hidden", u"true");
  }
  return toNative(text);
}

DesktopEntry DesktopEntry::parse(std::string_view bytes) {
  DesktopEntry entry;
  std::u16string text = fromNative(bytes);
  std::u16string_view rest = text;
  bool inGroup = false;
  while (!rest.empty()) {
    size_t end = rest.find(u'\n');
    std::u16string_view line = trimmed(rest.substr(0, end));
    rest = end == std::u16string_view::npos ? std::u16string_view() : rest.substr(end + 1);
    if (line.empty() || line[0] == u'#') {
      continue;
    }
    if (line[0] == u'[') {
      inGroup = line == u"[Desktop Entry]";
      continue;
    }
    size_t equals = line.find(u'=');
    if (!inGroup || equals == std::u16string_view::npos) {
      continue;
    }
    std::u16string_view key = trimmed(line.substr(0, equals));
    std::u16string value = unescapeValue(trimmed(line.substr(equals + 1)));
    if (key == u"Type") {
      entry.type = value;
    } else if (key == u"Name") {
      entry.name = value;
    } else if (key == u"Exec") {
      entry.exec = splitCommand(value);
    } else if (key == u"TryExec") {
      entry.tryExec = value;
    } else if (key == u"Path") {
      entry.workingFolder = value;
    } else if (key == u"URL") {
      entry.url = value;
    } else if (key == u"Icon") {
      entry.icon = value;
    } else if (key == u"StartupWMClass") {
      entry.startupWmClass = value;
    } else if (key == u"NoDisplay") {
      entry.noDisplay = value == u"true";
    } else if (key == u"Hidden") {
      entry.hidden = value == u"true";
    }
  }
  return entry;
}

}  // namespace s::file
