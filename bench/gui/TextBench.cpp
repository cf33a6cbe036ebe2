// Laying out the short texts of list cells, as the list view measures and paints thousands of
// them: through TextLayout, and through a pango context, scratch surface and layout made
// afresh for every text, the peer it is compared with.
#include <pango/pangocairo.h>

#include <cstdio>
#include <string>
#include <vector>

#include "bench/support/Measure.h"
#include "gui/drawer/TextLayout.h"
#include "gui/widgets/Font.h"

namespace {

using s::gui::drawer::TextLayout;

constexpr int kTexts = 10000;
constexpr int kRuns = 7;
constexpr int kCellWidth = 90;
constexpr int kCellHeight = 18;

std::u16string ascii(const std::string& text) {
  return {text.begin(), text.end()};
}

// Texts of the twelve columns of the connection list, row after row.
std::vector<std::u16string> cellTexts() {
  const char* const names[] = {"firefox-esr", "sshd", "systemd-resolved", "chromium", "dnsmasq"};
  std::vector<std::u16string> texts;
  for (int i = 0; texts.size() < kTexts; ++i) {
    texts.push_back(i % 3 == 0 ? u"UDP" : u"TCP");
    texts.push_back(u"ESTABLISHED");
    texts.push_back(ascii(std::to_string(1000 + i % 700)));
    texts.push_back(ascii(names[i % 5]));
    texts.push_back(ascii("192.168.1." + std::to_string(i % 250)));
    texts.push_back(ascii(std::to_string(40000 + i)));
    texts.push_back(ascii("10.0." + std::to_string(i % 200) + ".7"));
    texts.push_back(u"443");
    texts.push_back(ascii(std::to_string(i % 1000) + ".50 KB"));
    texts.push_back(ascii(std::to_string(i % 90) + " B"));
    texts.push_back(ascii("00:" + std::to_string(10 + i % 50) + ":07"));
    texts.push_back(ascii(std::string("/usr/bin/") + names[i % 5]));
  }
  texts.resize(kTexts);
  return texts;
}

// The peer: what laying out one text costs when nothing is kept from one text to the next.
PangoLayout* freshLayout(cairo_t* cr, const std::u16string& text, const s::gui::win::Font& font) {
  PangoLayout* layout = pango_cairo_create_layout(cr);
  pango_layout_set_font_description(layout, font.description());
  const std::string bytes = TextLayout::utf8(text);
  pango_layout_set_text(layout, bytes.data(), static_cast<int>(bytes.size()));
  return layout;
}

int freshMeasure(const std::u16string& text, const s::gui::win::Font& font) {
  cairo_surface_t* scratch = cairo_image_surface_create(CAIRO_FORMAT_RGB24, 1, 1);
  cairo_t* cr = cairo_create(scratch);
  PangoLayout* layout = freshLayout(cr, text, font);
  int width = 0;
  int height = 0;
  pango_layout_get_pixel_size(layout, &width, &height);
  g_object_unref(layout);
  cairo_destroy(cr);
  cairo_surface_destroy(scratch);
  return width;
}

void freshPaint(cairo_t* cr, const std::u16string& text, const s::gui::win::Font& font) {
  PangoLayout* layout = freshLayout(cr, text, font);
  cairo_move_to(cr, 2, 2);
  pango_cairo_show_layout(cr, layout);
  g_object_unref(layout);
}

}  // namespace

int main() {
  const std::vector<std::u16string> texts = cellTexts();
  s::gui::win::Font font;
  font.setSizeCode(s::gui::win::Font::kSmallCode);
  cairo_surface_t* cell = cairo_image_surface_create(CAIRO_FORMAT_RGB24, kCellWidth, kCellHeight);
  cairo_t* cr = cairo_create(cell);
  long widths = 0;
  const s::platform::ui::Rect area{0, 0, kCellWidth, kCellHeight};

  const double measure = bench::medianMs(kRuns, [&] {
    for (const std::u16string& text : texts) {
      widths += TextLayout::measure(text, &font, 0).width;
    }
  });
  const double paint = bench::medianMs(kRuns, [&] {
    for (const std::u16string& text : texts) {
      TextLayout::paint(cr, area, text, &font, 0x000000, TextLayout::kLeft, false);
    }
  });
  const double freshMeasureMs = bench::medianMs(kRuns, [&] {
    for (const std::u16string& text : texts) {
      widths -= freshMeasure(text, font);
    }
  });
  const double freshPaintMs = bench::medianMs(kRuns, [&] {
    for (const std::u16string& text : texts) {
      freshPaint(cr, text, font);
    }
  });
  std::printf(
      "%d cell texts: measure %.1f ms, paint %.1f ms; with a context, surface and layout made "
      "per text: measure %.1f ms, paint %.1f ms; ratio measure %.2fx, paint %.2fx (median of "
      "%d; widths %s)\n",
      kTexts, measure, paint, freshMeasureMs, freshPaintMs, measure / freshMeasureMs,
      paint / freshPaintMs, kRuns, widths == 0 ? "agree" : "differ");
  cairo_destroy(cr);
  cairo_surface_destroy(cell);
  return 0;
}
