#include "gui/drawer/TextLayout.h"

#include <vector>

#include "framework/str/Utf8.h"

namespace s::gui::drawer {

const PangoFontDescription* TextLayout::defaultDescription() {
  static PangoFontDescription* const description = pango_font_description_from_string("Sans 10");
  return description;
}

std::string TextLayout::utf8(std::u16string_view text) {
  std::string out(text.size() * 3, '\0');
  const std::size_t n = str::utf8::encode(text, reinterpret_cast<std::uint8_t*>(out.data()));
  out.resize(n);
  return out;
}

PangoLayout* TextLayout::make(cairo_t* cr, std::u16string_view text, const IFont* font,
                              std::int32_t wrapWidth) {
  PangoLayout* layout = pango_cairo_create_layout(cr);
  pango_layout_set_font_description(layout,
                                    font != nullptr ? font->description() : defaultDescription());
  const std::string bytes = utf8(text);
  pango_layout_set_text(layout, bytes.data(), static_cast<int>(bytes.size()));
  if (wrapWidth > 0) {
    pango_layout_set_width(layout, wrapWidth * PANGO_SCALE);
    pango_layout_set_wrap(layout, PANGO_WRAP_WORD_CHAR);
  }
  if (font != nullptr && (font->isUnderline() || font->isStrikeOut())) {
    PangoAttrList* attributes = pango_attr_list_new();
    if (font->isUnderline()) {
      pango_attr_list_insert(attributes, pango_attr_underline_new(PANGO_UNDERLINE_SINGLE));
    }
    if (font->isStrikeOut()) {
      pango_attr_list_insert(attributes, pango_attr_strikethrough_new(TRUE));
    }
    pango_layout_set_attributes(layout, attributes);
    pango_attr_list_unref(attributes);
  }
  cairo_font_options_t* options = cairo_font_options_create();
  cairo_font_options_set_antialias(options, font == nullptr || font->isClearType()
                                                ? CAIRO_ANTIALIAS_SUBPIXEL
                                                : CAIRO_ANTIALIAS_GRAY);
  pango_cairo_context_set_font_options(pango_layout_get_context(layout), options);
  cairo_font_options_destroy(options);
  pango_layout_context_changed(layout);
  return layout;
}

TextLayout::Size TextLayout::measure(std::u16string_view text, const IFont* font,
                                     std::int32_t wrapWidth) {
  cairo_surface_t* scratch = cairo_image_surface_create(CAIRO_FORMAT_RGB24, 1, 1);
  cairo_t* cr = cairo_create(scratch);
  PangoLayout* layout = make(cr, text, font, wrapWidth);
  int width = 0;
  int height = 0;
  pango_layout_get_pixel_size(layout, &width, &height);
  g_object_unref(layout);
  cairo_destroy(cr);
  cairo_surface_destroy(scratch);
  return {width, height};
}

void TextLayout::paint(cairo_t* cr, const platform::ui::Rect& area, std::u16string_view text,
                       const IFont* font, Rgb colour, std::int32_t align, bool wrap) {
  if (text.empty() || area.empty()) {
    return;
  }
  PangoLayout* layout = make(cr, text, font, wrap ? area.width : 0);
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
  g_object_unref(layout);
}

}  // namespace s::gui::drawer
