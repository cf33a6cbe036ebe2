#include "gui/drawer/TextLayout.h"

#include <pango/pangocairo.h>

#include <array>
#include <cstring>
#include <string>
#include <unordered_map>

#include "framework/str/Utf8.h"
#include "platform/ui/DesktopScale.h"

namespace s::gui::drawer {

namespace {

const PangoFontDescription* defaultDescription() {
  static PangoFontDescription* const description = pango_font_description_from_string("Sans 10");
  return description;
}

// What one thread keeps for laying out text: pango's objects belong to the thread that uses
// them. One context per kind of antialiasing, so that switching between fonts does not make
// pango start again; the scratch surface stands for the target while measuring. The layouts of
// the texts met last are kept, shaped, so that a text painted again (the rows of a list repeat
// most of theirs, and every repaint repeats them all) costs no shaping.
class Kept {
 public:
  Kept() {
    PangoFontMap* fonts = pango_cairo_font_map_get_default();
    for (std::size_t i = 0; i < contexts_.size(); ++i) {
      contexts_[i] = pango_font_map_create_context(fonts);
      cairo_font_options_t* options = cairo_font_options_create();
      cairo_font_options_set_antialias(
          options, i == kSubpixel ? CAIRO_ANTIALIAS_SUBPIXEL : CAIRO_ANTIALIAS_GRAY);
      pango_cairo_context_set_font_options(contexts_[i], options);
      cairo_font_options_destroy(options);
    }
    scratch_ = cairo_image_surface_create(CAIRO_FORMAT_RGB24, 1, 1);
    scratchCr_ = cairo_create(scratch_);
  }
  ~Kept() {
    forget();
    for (PangoContext* context : contexts_) {
      g_object_unref(context);
    }
    cairo_destroy(scratchCr_);
    cairo_surface_destroy(scratch_);
  }
  Kept(const Kept&) = delete;
  Kept& operator=(const Kept&) = delete;

  static Kept& forThisThread() {
    thread_local Kept kept;
    return kept;
  }

  // A layout of `text` in `font`, matched to `cr` (nullptr: the scratch surface). width > 0
  // limits the lines to that many pixels: wrapped into at most `height` pixels when `wrap`, else
  // one line; with `ellipsis` what does not fit ends in "…". Valid until the next call.
  PangoLayout* layout(cairo_t* cr, std::u16string_view text, const IFont* font, std::int32_t width,
                      std::int32_t height, bool wrap, bool ellipsis) {
    const std::size_t kind = font == nullptr || font->isClearType() ? kSubpixel : kGray;
    // Sizes in points (the default font's) follow the desktop's resolution.
    const double dpi = platform::ui::DesktopScale::dpi();
    if (dpi != dpi_) {
      dpi_ = dpi;
      for (PangoContext* context : contexts_) {
        pango_cairo_context_set_resolution(context, dpi);
      }
    }
    // The layouts notice when the target changes; matching the same one again is skipped, as
    // it costs more than the painting of a short text. Measuring takes the target painted last
    // (every target is an image surface of the same options), so that measuring between paints
    // does not make the kept layouts start again.
    Target& matched = matched_[kind];
    if (cr != nullptr || matched.surface == nullptr) {
      cairo_t* target = cr != nullptr ? cr : scratchCr_;
      Target now{cairo_get_target(target), {}};
      cairo_get_matrix(target, &now.matrix);
      now.matrix.x0 = now.matrix.y0 = 0;
      if (now.surface != matched.surface ||
          std::memcmp(&now.matrix, &matched.matrix, sizeof now.matrix) != 0) {
        pango_cairo_update_context(target, contexts_[kind]);
        matched = now;
      }
    }
    const PangoFontDescription* description =
        font != nullptr ? font->description() : defaultDescription();
    const bool underline = font != nullptr && font->isUnderline();
    const bool strikeOut = font != nullptr && font->isStrikeOut();
    const std::int32_t lineHeight = wrap && height > 0 ? height : -1;
    // The key: how the text is laid out, then the text itself.
    Shape shape;
    std::memset(&shape, 0, sizeof shape);  // the padding too: the bytes are the key
    shape.kind = static_cast<std::uint8_t>(kind);
    shape.wrap = wrap;
    shape.ellipsis = ellipsis;
    shape.underline = underline;
    shape.strikeOut = strikeOut;
    shape.width = width > 0 ? width : -1;
    shape.height = lineHeight;
    shape.font = pango_font_description_hash(description);
    key_.assign(reinterpret_cast<const char*>(&shape), sizeof shape);
    const std::size_t head = key_.size();
    key_.resize(head + text.size() * 3);
    key_.resize(head +
                str::utf8::encode(text, reinterpret_cast<std::uint8_t*>(key_.data() + head)));
    auto found = layouts_.find(key_);
    if (found != layouts_.end() &&
        pango_font_description_equal(found->second.description, description)) {
      return found->second.layout;
    }
    if (found != layouts_.end()) {
      release(found->second);
      layouts_.erase(found);
    }
    if (layouts_.size() >= kKeptLayouts) {
      forget();
    }
    PangoLayout* layout = pango_layout_new(contexts_[kind]);
    pango_layout_set_font_description(layout, description);
    pango_layout_set_text(layout, key_.data() + head, static_cast<int>(key_.size() - head));
    pango_layout_set_width(layout, shape.width > 0 ? shape.width * PANGO_SCALE : -1);
    pango_layout_set_wrap(layout, PANGO_WRAP_WORD_CHAR);
    pango_layout_set_height(layout, lineHeight > 0 ? lineHeight * PANGO_SCALE : -1);
    pango_layout_set_ellipsize(layout, ellipsis ? PANGO_ELLIPSIZE_END : PANGO_ELLIPSIZE_NONE);
    if (underline || strikeOut) {
      PangoAttrList* attributes = pango_attr_list_new();
      if (underline) {
        pango_attr_list_insert(attributes, pango_attr_underline_new(PANGO_UNDERLINE_SINGLE));
      }
      if (strikeOut) {
        pango_attr_list_insert(attributes, pango_attr_strikethrough_new(TRUE));
      }
      pango_layout_set_attributes(layout, attributes);
      pango_attr_list_unref(attributes);
    }
    layouts_.emplace(key_, Entry{layout, pango_font_description_copy(description)});
    return layout;
  }

 private:
  static constexpr std::size_t kSubpixel = 0;
  static constexpr std::size_t kGray = 1;
  // Enough for the texts of a screenful of rows and of the window around them; past it the
  // kept layouts start again.
  static constexpr std::size_t kKeptLayouts = 2048;

  struct Shape {
    std::uint8_t kind;
    bool wrap;
    bool ellipsis;
    bool underline;
    bool strikeOut;
    std::int32_t width;
    std::int32_t height;
    std::uint32_t font;
  };
  struct Entry {
    PangoLayout* layout;
    PangoFontDescription* description;
  };
  // What a context was last matched to: the surface and the transformation's linear part.
  struct Target {
    cairo_surface_t* surface = nullptr;
    cairo_matrix_t matrix{};
  };

  static void release(Entry& entry) {
    g_object_unref(entry.layout);
    pango_font_description_free(entry.description);
  }
  void forget() {
    for (auto& [key, entry] : layouts_) {
      release(entry);
    }
    layouts_.clear();
  }

  std::array<PangoContext*, 2> contexts_{};
  std::array<Target, 2> matched_{};
  cairo_surface_t* scratch_ = nullptr;
  cairo_t* scratchCr_ = nullptr;
  double dpi_ = 0;
  std::string key_;
  std::unordered_map<std::string, Entry> layouts_;
};

}  // namespace

std::string TextLayout::utf8(std::u16string_view text) {
  std::string out(text.size() * 3, '\0');
  const std::size_t n = str::utf8::encode(text, reinterpret_cast<std::uint8_t*>(out.data()));
  out.resize(n);
  return out;
}

TextLayout::Size TextLayout::measure(std::u16string_view text, const IFont* font,
                                     std::int32_t wrapWidth) {
  PangoLayout* layout =
      Kept::forThisThread().layout(nullptr, text, font, wrapWidth, 0, wrapWidth > 0, false);
  int width = 0;
  int height = 0;
  pango_layout_get_pixel_size(layout, &width, &height);
  return {width, height};
}

void TextLayout::paint(cairo_t* cr, const platform::ui::Rect& area, std::u16string_view text,
                       const IFont* font, Rgb colour, std::int32_t align, bool wrap) {
  if (text.empty() || area.empty()) {
    return;
  }
  PangoLayout* layout =
      Kept::forThisThread().layout(cr, text, font, area.width, area.height, wrap, true);
  // Pango starts a right-to-left line at the right of the width it was given: the logical
  // rectangle's x says where, and is taken back so that the alignment is the area's alone.
  PangoRectangle logical{};
  pango_layout_get_pixel_extents(layout, nullptr, &logical);
  const std::int32_t height = logical.height;
  std::int32_t x = area.x - logical.x;
  if (align == kCenter) {
    x += (area.width - logical.width) / 2;
  } else if (align == kRight) {
    x += area.width - logical.width;
  }
  cairo_save(cr);
  cairo_rectangle(cr, area.x, area.y, area.width, area.height);
  cairo_clip(cr);
  setSource(cr, colour);
  // Whole pixels keep the text as sharp as the platform's.
  const std::int32_t y = area.y + (area.height - height) / 2;
  cairo_move_to(cr, x, y);
  pango_cairo_show_layout(cr, layout);
  cairo_restore(cr);
}

}  // namespace s::gui::drawer
