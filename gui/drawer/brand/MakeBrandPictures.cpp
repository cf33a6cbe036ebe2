// Draws the program's two brand pictures (wide 700 × 230, tall 230 × 700) and writes them as
// JPEG files: make_brand_pictures <wide.jpg> <tall.jpg> [<wide.png> <tall.png>] (PNG previews). The
// results are kept in the tree and compiled into the program; run this again only to change the
// artwork.
#include <cairo.h>
#include <pango/pangocairo.h>

#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <numbers>
#include <vector>

// After <cstdio> and <cstddef>, which it needs.
#include <jpeglib.h>

#include "gui/drawer/brand/BrandMark.h"

namespace {

// A small network of hosts: points joined by lines, a few of them lit.
void drawNetwork(cairo_t* cr, int width, int height, unsigned seed) {
  struct Node {
    double x;
    double y;
  };
  std::vector<Node> nodes;
  unsigned state = seed;
  auto next = [&state] {
    state = state * 1103515245u + 12345u;
    return static_cast<double>((state >> 8) & 0xFFFF) / 65535.0;
  };
  nodes.reserve(26);
  for (int i = 0; i < 26; ++i) {
    nodes.push_back({next() * width, next() * height});
  }
  cairo_set_line_width(cr, 1.0);
  for (std::size_t i = 0; i < nodes.size(); ++i) {
    for (std::size_t j = i + 1; j < nodes.size(); ++j) {
      const double d = std::hypot(nodes[i].x - nodes[j].x, nodes[i].y - nodes[j].y);
      if (d < 150) {
        cairo_set_source_rgba(cr, 0.76, 0.92, 0.0, 0.35 * (1 - d / 150));
        cairo_move_to(cr, nodes[i].x, nodes[i].y);
        cairo_line_to(cr, nodes[j].x, nodes[j].y);
        cairo_stroke(cr);
      }
    }
  }
  for (std::size_t i = 0; i < nodes.size(); ++i) {
    const bool lit = i % 5 == 0;
    cairo_arc(cr, nodes[i].x, nodes[i].y, lit ? 4.0 : 2.5, 0, 2 * std::numbers::pi);
    if (lit) {
      cairo_set_source_rgba(cr, 1.0, 0.65, 0.0, 0.9);
    } else {
      cairo_set_source_rgba(cr, 0.85, 0.85, 0.85, 0.7);
    }
    cairo_fill(cr);
  }
}

void drawText(cairo_t* cr, const char* text, const char* font, double x, double y, double red,
              double green, double blue) {
  PangoLayout* layout = pango_cairo_create_layout(cr);
  PangoFontDescription* description = pango_font_description_from_string(font);
  pango_layout_set_font_description(layout, description);
  pango_layout_set_text(layout, text, -1);
  cairo_set_source_rgb(cr, red, green, blue);
  cairo_move_to(cr, x, y);
  pango_cairo_show_layout(cr, layout);
  pango_font_description_free(description);
  g_object_unref(layout);
}

cairo_surface_t* picture(int width, int height) {
  cairo_surface_t* surface = cairo_image_surface_create(CAIRO_FORMAT_RGB24, width, height);
  cairo_t* cr = cairo_create(surface);
  cairo_pattern_t* sky = cairo_pattern_create_linear(0, 0, width, height);
  cairo_pattern_add_color_stop_rgb(sky, 0, 0.10, 0.10, 0.10);
  cairo_pattern_add_color_stop_rgb(sky, 1, 0.28, 0.30, 0.26);
  cairo_set_source(cr, sky);
  cairo_paint(cr);
  cairo_pattern_destroy(sky);
  drawNetwork(cr, width, height, width > height ? 7u : 11u);
  if (width > height) {
    s::gui::drawer::drawBrandMark(cr, 115, 105, 48);
    drawText(cr, "Netvigil", "Sans Bold 54", 215, 42, 1, 1, 1);
    drawText(cr, "every connection, every byte", "Sans 17", 220, 132, 0.76, 0.92, 0.0);
  } else {
    s::gui::drawer::drawBrandMark(cr, 105, 150, 52);
    drawText(cr, "Netvigil", "Sans Bold 28", 30, 300, 1, 1, 1);
    drawText(cr, "every connection,\nevery byte", "Sans 15", 32, 352, 0.76, 0.92, 0.0);
  }
  cairo_destroy(cr);
  cairo_surface_flush(surface);
  return surface;
}

bool writeJpeg(cairo_surface_t* surface, const char* path) {
  FILE* out = std::fopen(path, "wb");
  if (out == nullptr) {
    return false;
  }
  const int width = cairo_image_surface_get_width(surface);
  const int height = cairo_image_surface_get_height(surface);
  const int stride = cairo_image_surface_get_stride(surface);
  const unsigned char* pixels = cairo_image_surface_get_data(surface);
  jpeg_compress_struct info{};
  jpeg_error_mgr errors{};
  info.err = jpeg_std_error(&errors);
  jpeg_create_compress(&info);
  jpeg_stdio_dest(&info, out);
  info.image_width = static_cast<JDIMENSION>(width);
  info.image_height = static_cast<JDIMENSION>(height);
  info.input_components = 3;
  info.in_color_space = JCS_RGB;
  jpeg_set_defaults(&info);
  jpeg_set_quality(&info, 90, TRUE);
  jpeg_start_compress(&info, TRUE);
  std::vector<unsigned char> row(static_cast<std::size_t>(width) * 3);
  while (info.next_scanline < info.image_height) {
    const auto* source =
        reinterpret_cast<const std::uint32_t*>(pixels + info.next_scanline * stride);
    for (int x = 0; x < width; ++x) {
      row[x * 3] = static_cast<unsigned char>(source[x] >> 16);
      row[x * 3 + 1] = static_cast<unsigned char>(source[x] >> 8);
      row[x * 3 + 2] = static_cast<unsigned char>(source[x]);
    }
    JSAMPROW rows[] = {row.data()};
    jpeg_write_scanlines(&info, rows, 1);
  }
  jpeg_finish_compress(&info);
  jpeg_destroy_compress(&info);
  return std::fclose(out) == 0;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 3 && argc != 5) {
    std::fprintf(stderr,
                 "usage: make_brand_pictures <wide.jpg> <tall.jpg> [<wide.png> <tall.png>]\n");
    return 2;
  }
  bool ok = true;
  for (int i = 0; i < 2; ++i) {
    cairo_surface_t* surface = i == 0 ? picture(700, 230) : picture(230, 700);
    ok = writeJpeg(surface, argv[1 + i]) && ok;
    if (argc == 5) {
      ok = cairo_surface_write_to_png(surface, argv[3 + i]) == CAIRO_STATUS_SUCCESS && ok;
    }
    cairo_surface_destroy(surface);
  }
  return ok ? 0 : 1;
}
