#include "framework/xml/Escape.h"

#include <array>

namespace s::xml {

namespace {

struct Entity {
  std::u16string_view text;
  char16_t character;
};

// Each table serves both directions: these characters are written as these entities, and
// only these entities are read back.
constexpr std::array<Entity, 5> kAttributeEntities{{
    {u"&amp;", u'&'},
    {u"&lt;", u'<'},
    {u"&quot;", u'"'},
    {u"&#13;", u'\r'},
    {u"&#10;", u'\n'},
}};

constexpr std::array<Entity, 6> kTextEntities{{
    {u"&amp;", u'&'},
    {u"&lt;", u'<'},
    {u"&gt;", u'>'},
    {u"&#160;", u' '},
    {u"&#13;", u'\r'},
    {u"&#10;", u'\n'},
}};

bool isTrimmed(char16_t c) {
  return c == u' ' || c == u'\n' || c == u'\u3000' || c == u'\t' || c == u'\r';
}

// Writes each character that `table` names as its entity.
template <size_t N>
void encode(std::u16string_view text, const std::array<Entity, N>& table, std::u16string& out) {
  for (char16_t c : text) {
    const Entity* entity = nullptr;
    for (const Entity& candidate : table) {
      if (candidate.character == c) {
        entity = &candidate;
      }
    }
    if (entity != nullptr) {
      out += entity->text;
    } else {
      out += c;
    }
  }
}

// Decodes the entities of `table`; answers the output length reached after the last one.
template <size_t N>
size_t decode(std::u16string_view raw, const std::array<Entity, N>& table, std::u16string& out) {
  size_t afterLastEntity = out.size();
  for (size_t i = 0; i < raw.size();) {
    if (raw[i] == u'&') {
      bool decoded = false;
      for (const Entity& entity : table) {
        if (raw.substr(i, entity.text.size()) == entity.text) {
          out += entity.character;
          i += entity.text.size();
          afterLastEntity = out.size();
          decoded = true;
          break;
        }
      }
      if (decoded) {
        continue;
      }
    }
    out += raw[i++];
  }
  return afterLastEntity;
}

}  // namespace

void escapeAttribute(std::u16string_view text, std::u16string& out) {
  encode(text, kAttributeEntities, out);
}

void escapeText(std::u16string_view text, std::u16string& out) {
  encode(text, kTextEntities, out);
}

void unescapeAttribute(std::u16string_view raw, std::u16string& out) {
  decode(raw, kAttributeEntities, out);
}

void unescapeText(std::u16string_view raw, std::u16string& out) {
  size_t start = 0;
  while (start < raw.size() && (raw[start] == u' ' || raw[start] == u'\t' || raw[start] == u'\n' ||
                                raw[start] == u'\r')) {
    ++start;
  }
  size_t keep = decode(raw.substr(start), kTextEntities, out);
  size_t end = out.size();
  while (end > keep && isTrimmed(out[end - 1])) {
    --end;
  }
  out.resize(end);
}

}  // namespace s::xml
