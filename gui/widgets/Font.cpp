#include "gui/widgets/Font.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

#include "gui/drawer/TextLayout.h"
#include "platform/ui/DesktopScale.h"

namespace s::gui::win {

Font::~Font() {
  changed();
}

void Font::reset() {
  height_ = -13;
  width_ = 0;
  weight_ = kNormal;
  italic_ = underline_ = strikeOut_ = false;
  clearType_ = true;
  face_ = "Sans";
  sizeCode_ = 0;
  hasColour_ = false;
  colour_ = 0;
  backColour_ = secondColour_ = 0xEEEEEE;
  alignment_ = 0;
  explicitSize_ = explicitWeight_ = false;
  changed();
}

void Font::changed() {
  if (description_ != nullptr) {
    pango_font_description_free(description_);
    description_ = nullptr;
  }
}

std::int32_t Font::pixelsFor(std::int32_t points) {
  // Points at the desktop's 96 pixels per inch, as a character height.
  return -static_cast<std::int32_t>(std::lround(points * 96.0 / 72.0));
}

std::int32_t Font::getPointSize() const {
  return static_cast<std::int32_t>(std::lround(std::abs(height_) * 72.0 / 96.0));
}

bool Font::setSizeCode(std::int32_t code) {
  std::int32_t points = 0;
  std::int32_t weight = kNormal;
  if (code == kSmallCode) {
    points = 8;
  } else if (std::abs(code) < 100) {
    points = code + 10;
  } else if (std::abs(code) < 1000) {
    weight = kBold;
    points = code % 100 + 14;
  } else {
    return false;
  }
  sizeCode_ = code;
  if (!explicitWeight_) {
    weight_ = weight;
  }
  if (!explicitSize_) {
    height_ = pixelsFor(points);
    width_ = 0;
  }
  changed();
  return true;
}

void Font::setFace(std::u16string_view name) {
  face_ = name.empty() ? std::string("Sans") : drawer::TextLayout::utf8(name);
  changed();
}

void Font::setColour(std::uint8_t red, std::uint8_t green, std::uint8_t blue) {
  colour_ = drawer::rgb(red, green, blue);
  hasColour_ = true;
}

void Font::setBackColour(std::uint8_t red, std::uint8_t green, std::uint8_t blue) {
  backColour_ = drawer::rgb(red, green, blue);
}

void Font::setPointSize(std::int32_t points) {
  height_ = pixelsFor(points);
  width_ = 0;
  explicitSize_ = true;
  changed();
}

void Font::setHeight(std::int32_t height) {
  height_ = height;
  explicitSize_ = true;
  changed();
}

void Font::setWidth(std::int32_t width) {
  width_ = width;
  explicitSize_ = true;
  changed();
}

void Font::setBold(bool bold) {
  setWeight(bold ? kBold : kNormal);
}

void Font::setWeight(std::int32_t weight) {
  weight_ = std::clamp(weight, 100, 900);
  explicitWeight_ = true;
  changed();
}

void Font::setItalic(bool italic) {
  italic_ = italic;
  changed();
}

void Font::setUnderline(bool underline) {
  underline_ = underline;
}

void Font::setStrikeOut(bool strikeOut) {
  strikeOut_ = strikeOut;
}

void Font::setClearType(bool clearType) {
  clearType_ = clearType;
}

void Font::copyFrom(const Font& other) {
  if (&other == this) {
    return;
  }
  height_ = other.height_;
  width_ = other.width_;
  weight_ = other.weight_;
  italic_ = other.italic_;
  underline_ = other.underline_;
  strikeOut_ = other.strikeOut_;
  clearType_ = other.clearType_;
  face_ = other.face_;
  sizeCode_ = other.sizeCode_;
  hasColour_ = other.hasColour_;
  colour_ = other.colour_;
  backColour_ = other.backColour_;
  secondColour_ = other.secondColour_;
  alignment_ = other.alignment_;
  explicitSize_ = other.explicitSize_;
  explicitWeight_ = other.explicitWeight_;
  changed();
}

std::int32_t Font::measureHeight() const {
  return drawer::TextLayout::measure(u"test", this, 0).height;
}

const PangoFontDescription* Font::description() const {
  const double scale = platform::ui::DesktopScale::factor();
  if (description_ != nullptr && scale != describedAt_) {
    pango_font_description_free(description_);
    description_ = nullptr;
  }
  if (description_ == nullptr) {
    describedAt_ = scale;
    description_ = pango_font_description_new();
    pango_font_description_set_family(description_, face_.c_str());
    pango_font_description_set_weight(description_, static_cast<PangoWeight>(weight_));
    pango_font_description_set_style(description_,
                                     italic_ ? PANGO_STYLE_ITALIC : PANGO_STYLE_NORMAL);
    // A positive height counted the line with its leading; the glyphs take about 80 % of it.
    // Heights are given at 96 dpi, like every size of the toolkit.
    const double pixels = (height_ < 0 ? -height_ : height_ * 0.8) * scale;
    pango_font_description_set_absolute_size(description_, std::max(1.0, pixels) * PANGO_SCALE);
  }
  return description_;
}

}  // namespace s::gui::win
