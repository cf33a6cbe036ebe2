#include "gui/drawer/Glyphs.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <numbers>

namespace s::gui::drawer {

namespace {

constexpr std::u16string_view kColorPrefix = u"#Color-";

constexpr std::array<std::u16string_view, 36> kNames = {
    u"#_",          u"#\u25A1",      u"#\u2199",     u"#X",         u"#.",         u"#Resizer",
    u"#Up",         u"#Down",        u"#Left",       u"#Right",     u"#LeftLeft",  u"#RightRight",
    u"#ThumbLineV", u"#ThumbLineH",  u"#TreeClosed", u"#TreeOpen",  u"#Check",     u"#Plus",
    u"#Minus",      u"#PlusMinus",   u"#Next",       u"#Prev",      u"#Play",      u"#Pause",
    u"#Stop",       u"#Speaker",     u"#Mute",       u"#TurnRight", u"#TurnLeft",  u"#OnTop",
    u"#FitWindow",  u"#FitToWindow", u"#Palm",       u"#KeepRatio", u"#Transform", u"#Color-",
};

// Glyph coordinates: a unit square mapped onto the glyph's box, with strokes of whole pixels.
class Pen {
 public:
  Pen(cairo_t* cr, const platform::ui::Rect& area, Rgb colour) : cr_(cr) {
    size_ = std::max(4, std::min(area.width, area.height) * 2 / 3);
    left_ = area.x + (area.width - size_) / 2;
    top_ = area.y + (area.height - size_) / 2;
    setSource(cr, colour);
    // Small pictures read better as whole pixels than as grey smudges.
    cairo_set_antialias(cr, CAIRO_ANTIALIAS_NONE);
    cairo_set_line_width(cr, size_ >= 12 ? 2.0 : 1.0);
    cairo_set_line_cap(cr, CAIRO_LINE_CAP_SQUARE);
  }
  double x(double u) const { return left_ + u * size_; }
  double y(double v) const { return top_ + v * size_; }
  void move(double u, double v) { cairo_move_to(cr_, x(u), y(v)); }
  void line(double u, double v) { cairo_line_to(cr_, x(u), y(v)); }
  void stroke() { cairo_stroke(cr_); }
  void fill() { cairo_fill(cr_); }
  void segment(double u1, double v1, double u2, double v2) {
    move(u1, v1);
    line(u2, v2);
    stroke();
  }
  void polygon(std::initializer_list<std::array<double, 2>> points) {
    bool first = true;
    for (const auto& p : points) {
      first ? move(p[0], p[1]) : line(p[0], p[1]);
      first = false;
    }
    cairo_close_path(cr_);
    fill();
  }
  void box(double u1, double v1, double u2, double v2) {
    // Snapped to pixel centres so that one-pixel outlines stay sharp.
    cairo_rectangle(cr_, std::floor(x(u1)) + 0.5, std::floor(y(v1)) + 0.5,
                    std::floor(x(u2)) - std::floor(x(u1)), std::floor(y(v2)) - std::floor(y(v1)));
    stroke();
  }
  void solid(double u1, double v1, double u2, double v2) {
    cairo_rectangle(cr_, x(u1), y(v1), x(u2) - x(u1), y(v2) - y(v1));
    fill();
  }
  void arc(double u, double v, double r, double from, double to) {
    cairo_new_sub_path(cr_);
    cairo_arc(cr_, x(u), y(v), r * size_, from, to);
  }
  cairo_t* cr() const { return cr_; }
  int size() const { return size_; }

 private:
  cairo_t* cr_;
  int size_ = 0;
  int left_ = 0;
  int top_ = 0;
};

constexpr double kPi = std::numbers::pi;

void arrow(Pen& p, double angle) {
  // A triangle pointing right, turned by `angle`.
  const double c = std::cos(angle);
  const double s = std::sin(angle);
  auto at = [&](double u, double v) -> std::array<double, 2> {
    const double du = u - 0.5;
    const double dv = v - 0.5;
    return {0.5 + du * c - dv * s, 0.5 + du * s + dv * c};
  };
  p.polygon({at(0.25, 0.1), at(0.8, 0.5), at(0.25, 0.9)});
}

void doubleArrow(Pen& p, bool right) {
  const double d = right ? 1 : -1;
  for (double from : {0.0, 0.45}) {
    const double u0 = right ? from : 1 - from;
    p.polygon({{u0, 0.15}, {u0 + d * 0.5, 0.5}, {u0, 0.85}});
  }
}

void turn(Pen& p, bool right) {
  p.arc(0.5, 0.55, 0.33, right ? kPi : 0.0, right ? 2.3 * kPi : 0.7 * kPi);
  if (!right) {
    cairo_t* cr = p.cr();
    cairo_new_path(cr);
    cairo_arc_negative(cr, p.x(0.5), p.y(0.55), 0.33 * p.size(), 0.0, -1.3 * kPi);
  }
  p.stroke();
  const double tip = right ? 0.83 : 0.17;
  p.polygon({{tip - 0.2, 0.55}, {tip + 0.2, 0.55}, {tip, 0.85}});
}

void speaker(Pen& p) {
  p.polygon({{0.05, 0.35}, {0.3, 0.35}, {0.55, 0.1}, {0.55, 0.9}, {0.3, 0.65}, {0.05, 0.65}});
}

bool drawNamed(Pen& p, std::u16string_view name) {
  if (name == u"#_") {
    p.solid(0.1, 0.8, 0.9, 0.95);
  } else if (name == u"#\u25A1") {
    p.box(0.1, 0.1, 0.9, 0.9);
    p.solid(0.1, 0.1, 0.9, 0.25);
  } else if (name == u"#\u2199") {
    p.box(0.35, 0.05, 0.95, 0.6);
    p.box(0.05, 0.4, 0.65, 0.95);
  } else if (name == u"#X") {
    p.segment(0.1, 0.1, 0.9, 0.9);
    p.segment(0.9, 0.1, 0.1, 0.9);
  } else if (name == u"#.") {
    p.solid(0.35, 0.35, 0.65, 0.65);
  } else if (name == u"#Resizer") {
    for (double d : {0.0, 0.35, 0.7}) {
      p.segment(1.0, d, d, 1.0);
    }
  } else if (name == u"#Up") {
    arrow(p, -kPi / 2);
  } else if (name == u"#Down") {
    arrow(p, kPi / 2);
  } else if (name == u"#Left") {
    arrow(p, kPi);
  } else if (name == u"#Right") {
    arrow(p, 0);
  } else if (name == u"#LeftLeft") {
    doubleArrow(p, false);
  } else if (name == u"#RightRight") {
    doubleArrow(p, true);
  } else if (name == u"#ThumbLineV") {
    for (double v : {0.3, 0.5, 0.7}) {
      p.segment(0.2, v, 0.8, v);
    }
  } else if (name == u"#ThumbLineH") {
    for (double u : {0.3, 0.5, 0.7}) {
      p.segment(u, 0.2, u, 0.8);
    }
  } else if (name == u"#TreeClosed") {
    p.box(0.0, 0.0, 1.0, 1.0);
    p.segment(0.25, 0.5, 0.75, 0.5);
    p.segment(0.5, 0.25, 0.5, 0.75);
  } else if (name == u"#TreeOpen") {
    p.box(0.0, 0.0, 1.0, 1.0);
    p.segment(0.25, 0.5, 0.75, 0.5);
  } else if (name == u"#Check") {
    p.move(0.1, 0.5);
    p.line(0.4, 0.85);
    p.line(0.9, 0.15);
    p.stroke();
  } else if (name == u"#Plus") {
    p.segment(0.1, 0.5, 0.9, 0.5);
    p.segment(0.5, 0.1, 0.5, 0.9);
  } else if (name == u"#Minus") {
    p.segment(0.1, 0.5, 0.9, 0.5);
  } else if (name == u"#PlusMinus") {
    p.segment(0.1, 0.35, 0.9, 0.35);
    p.segment(0.5, 0.0, 0.5, 0.7);
    p.segment(0.1, 0.9, 0.9, 0.9);
  } else if (name == u"#Next") {
    p.polygon({{0.1, 0.1}, {0.75, 0.5}, {0.1, 0.9}});
    p.solid(0.75, 0.1, 0.9, 0.9);
  } else if (name == u"#Prev") {
    p.polygon({{0.9, 0.1}, {0.25, 0.5}, {0.9, 0.9}});
    p.solid(0.1, 0.1, 0.25, 0.9);
  } else if (name == u"#Play") {
    p.polygon({{0.15, 0.05}, {0.9, 0.5}, {0.15, 0.95}});
  } else if (name == u"#Pause") {
    p.solid(0.15, 0.1, 0.4, 0.9);
    p.solid(0.6, 0.1, 0.85, 0.9);
  } else if (name == u"#Stop") {
    p.solid(0.1, 0.1, 0.9, 0.9);
  } else if (name == u"#Speaker") {
    speaker(p);
    p.arc(0.55, 0.5, 0.25, -kPi / 4, kPi / 4);
    p.stroke();
    p.arc(0.55, 0.5, 0.42, -kPi / 4, kPi / 4);
    p.stroke();
  } else if (name == u"#Mute") {
    speaker(p);
    p.segment(0.65, 0.3, 0.95, 0.7);
    p.segment(0.95, 0.3, 0.65, 0.7);
  } else if (name == u"#TurnRight") {
    turn(p, true);
  } else if (name == u"#TurnLeft") {
    turn(p, false);
  } else if (name == u"#OnTop") {
    p.solid(0.05, 0.0, 0.95, 0.15);
    p.polygon({{0.5, 0.2}, {0.9, 0.6}, {0.1, 0.6}});
    p.solid(0.38, 0.6, 0.62, 1.0);
  } else if (name == u"#FitWindow") {
    p.box(0.0, 0.0, 1.0, 1.0);
    p.box(0.3, 0.3, 0.7, 0.7);
  } else if (name == u"#FitToWindow") {
    p.box(0.0, 0.0, 1.0, 1.0);
    p.segment(0.2, 0.2, 0.8, 0.8);
    p.segment(0.8, 0.2, 0.2, 0.8);
  } else if (name == u"#Palm") {
    for (double u : {0.15, 0.35, 0.55, 0.75}) {
      p.solid(u, 0.05, u + 0.13, 0.6);
    }
    p.solid(0.15, 0.5, 0.88, 0.95);
  } else if (name == u"#KeepRatio") {
    p.box(0.0, 0.2, 1.0, 0.8);
    p.segment(0.2, 0.5, 0.8, 0.5);
  } else if (name == u"#Transform") {
    p.box(0.0, 0.0, 0.6, 0.6);
    p.polygon({{0.55, 0.55}, {1.0, 0.55}, {1.0, 1.0}, {0.55, 1.0}});
  } else {
    return false;
  }
  return true;
}

int hexDigit(char16_t c) {
  if (c >= u'0' && c <= u'9') {
    return c - u'0';
  }
  if (c >= u'a' && c <= u'f') {
    return c - u'a' + 10;
  }
  if (c >= u'A' && c <= u'F') {
    return c - u'A' + 10;
  }
  return -1;
}

}  // namespace

std::span<const std::u16string_view> Glyphs::names() {
  return {kNames.data(), kNames.size()};
}

bool Glyphs::swatchColour(std::u16string_view caption, Rgb& colour) {
  if (!caption.starts_with(kColorPrefix) || caption.size() != kColorPrefix.size() + 6) {
    return false;
  }
  Rgb value = 0;
  for (char16_t c : caption.substr(kColorPrefix.size())) {
    const int digit = hexDigit(c);
    if (digit < 0) {
      return false;
    }
    value = (value << 4) | static_cast<Rgb>(digit);
  }
  colour = value;
  return true;
}

bool Glyphs::isGlyph(std::u16string_view caption) {
  Rgb unused = 0;
  if (swatchColour(caption, unused)) {
    return true;
  }
  return caption != kColorPrefix &&
         std::find(kNames.begin(), kNames.end(), caption) != kNames.end();
}

bool Glyphs::draw(cairo_t* cr, std::u16string_view name, const platform::ui::Rect& area,
                  Rgb colour) {
  if (area.empty()) {
    return false;
  }
  cairo_save(cr);
  bool drawn = false;
  Rgb swatch = 0;
  if (swatchColour(name, swatch)) {
    const int side = std::max(2, std::min(area.width, area.height) - 6);
    const platform::ui::Rect box{area.x + (area.width - side) / 2,
                                 area.y + (area.height - side) / 2, side, side};
    setSource(cr, swatch);
    cairo_rectangle(cr, box.x, box.y, box.width, box.height);
    cairo_fill(cr);
    setSource(cr, colour);
    cairo_set_line_width(cr, 1.0);
    cairo_rectangle(cr, box.x + 0.5, box.y + 0.5, box.width - 1, box.height - 1);
    cairo_stroke(cr);
    drawn = true;
  } else {
    Pen pen(cr, area, colour);
    drawn = drawNamed(pen, name);
  }
  cairo_restore(cr);
  return drawn;
}

}  // namespace s::gui::drawer
