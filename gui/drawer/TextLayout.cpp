#include "gui/drawer/TextLayout.h"

#include <pango/pangocairo.h>

#include <array>

#include "framework/str/Utf8.h"
#include "platform/ui/DesktopScale.h"

namespace s::gui::drawer {

namespace {

const PangoFontDescription* defaultDescription() {
  static PangoFontDescription* const description = pango_font_description_from_string("Sans 10");
  return description;
}

// What one thread keeps for laying out text: pango's objects belong to the thread that uses
// them. One context and layout per kind of antialiasing, so that switching between fonts does
// not make pango start again; the scratch surface stands for the target while measuring.
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
      layouts_[i] = pango_layout_new(contexts_[i]);
    }
    scratch_ = cairo_image_surface_create(CAIRO_FORMAT_RGB24, 1, 1);
    scratchCr_ = cairo_create(scratch_);
  }
  ~Kept() {
    for (std::size_t i = 0; i < contexts_.size(); ++i) {
      g_object_unref(layouts_[i]);
      g_object_unref(contexts_[i]);
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

  // The kept layout for `font`, matched to `cr` (nullptr: the scratch surface) and holding
  // `text`. width > 0 limits the lines to that many pixels: wrapped into at most `height`
  // pixels when `wrap`, else one line; with `ellipsis` what does not fit ends in "…".
  PangoLayout* layout(cairo_t* cr, std::u16string_view text, const IFont* font, std::int32_t width,
                      std::int32_t height, bool wrap, bool ellipsis) {
    const std::size_t kind = font == nullptr || font->isClearType() ? kSubpixel : kGray;
    PangoLayout* layout = layouts_[kind];
    // Sizes in points (the default font's) follow the desktop's resolution.
    const double dpi = platform::ui::DesktopScale::dpi();
    if (dpi != dpi_) {
      dpi_ = dpi;
      for (PangoContext* context : contexts_) {
        pango_cairo_context_set_resolution(context, dpi);
      }
    }
    // Matching an unchanged target changes nothing; the layout notices when it does.
    pango_cairo_update_context(cr != nullptr ? cr : scratchCr_, contexts_[kind]);
    pango_layout_set_font_description(layout,
                                      font != nullptr ? font->description() : defaultDescription());
    bytes_.resize(text.size() * 3);
    bytes_.resize(str::utf8::encode(text, reinterpret_cast<std::uint8_t*>(bytes_.data())));
    pango_layout_set_text(layout, bytes_.data(), static_cast<int>(bytes_.size()));
    pango_layout_set_width(layout, width > 0 ? width * PANGO_SCALE : -1);
    pango_layout_set_wrap(layout, PANGO_WRAP_WORD_CHAR);
    pango_layout_set_height(layout, wrap && height > 0 ? height * PANGO_SCALE : -1);
    pango_layout_set_ellipsize(layout, ellipsis ? PANGO_ELLIPSIZE_END : PANGO_ELLIPSIZE_NONE);
    const bool underline = font != nullptr && font->isUnderline();
    const bool strikeOut = font != nullptr && font->isStrikeOut();
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
    } else {
      pango_layout_set_attributes(layout, nullptr);
    }
    return layout;
  }

 private:
  static constexpr std::size_t kSubpixel = 0;
  static constexpr std::size_t kGray = 1;

  std::array<PangoContext*, 2> contexts_{};
  std::array<PangoLayout*, 2> layouts_{};
  cairo_surface_t* scratch_ = nullptr;
  cairo_t* scratchCr_ = nullptr;
  double dpi_ = 0;
  std::string bytes_;
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
  int width = 0;
  int height = 0;
  pango_layout_get_pixel_size(layout, &width, &height);
  std::int32_t x = area.x;
  if (align == kCenter) {
    x += (area.width - width) / 2;
  } else if (align == kRight) {
    x += area.width - width;
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
