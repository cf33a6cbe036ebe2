#pragma once

#include <pango/pango-font.h>

#include <cstdint>
#include <string>
#include <string_view>

#include "framework/base/Pooled.h"
#include "gui/drawer/IFont.h"

namespace s::gui::win {

// A component's font: the fields of a platform font description turned into a pango one. The
// face is the desktop's sans font ("Sans", which fontconfig resolves). Heights are pixels,
// negative for the character height as the old platform counted them (-13 is 10 points).
class Font final : public Pooled<Font, drawer::IFont> {
 public:
  static constexpr std::int32_t kNormal = 400;
  static constexpr std::int32_t kBold = 700;
  // The size code of the monitor's status labels: normal weight, 8 points.
  static constexpr std::int32_t kSmallCode = 100001;

  Font() = default;
  ~Font() override;
  Font(const Font&) = delete;
  Font& operator=(const Font&) = delete;

  // Size codes: |c| < 100 normal c + 10 points; 100 ≤ |c| < 1000 bold (c mod 100) + 14 points
  // (the remainder signed like c); 100001 normal 8 points; any other code changes nothing. The
  // size applies only while no height, width or point size was set explicitly. False when the
  // code was ignored.
  bool setSizeCode(std::int32_t code);
  std::int32_t getSizeCode() const { return sizeCode_; }
  void setFace(std::u16string_view name);
  const std::string& getFace() const { return face_; }
  void setColour(std::uint8_t red, std::uint8_t green, std::uint8_t blue);
  // Back to no colour of its own: the drawer chooses.
  void clearColour() { hasColour_ = false; }
  void setBackColour(std::uint8_t red, std::uint8_t green, std::uint8_t blue);
  drawer::Rgb getBackColour() const { return backColour_; }
  void setSecondColour(drawer::Rgb colour) { secondColour_ = colour; }
  drawer::Rgb getSecondColour() const { return secondColour_; }
  void setPointSize(std::int32_t points);
  void setHeight(std::int32_t height);
  void setWidth(std::int32_t width);
  void setBold(bool bold);
  // kNormal, kBold or any weight between 100 and 900.
  void setWeight(std::int32_t weight);
  void setItalic(bool italic);
  void setUnderline(bool underline);
  void setStrikeOut(bool strikeOut);
  void setClearType(bool clearType);
  void setAlignment(std::int32_t alignment) { alignment_ = alignment; }
  std::int32_t getAlignment() const { return alignment_; }
  // The pixel height of the text "test" in this font.
  std::int32_t measureHeight() const;
  // Copies every setting of `other` (variant fonts kept in step).
  void copyFrom(const Font& other);

  std::int32_t getHeight() const { return height_; }
  std::int32_t getWidth() const { return width_; }
  std::int32_t getWeight() const { return weight_; }
  // The size in points that the height stands for.
  std::int32_t getPointSize() const;
  bool isItalic() const { return italic_; }

  const PangoFontDescription* description() const override;
  bool hasColour() const override { return hasColour_; }
  drawer::Rgb getColour() const override { return colour_; }
  bool isUnderline() const override { return underline_; }
  bool isStrikeOut() const override { return strikeOut_; }
  bool isClearType() const override { return clearType_; }

  void reset() override;
  std::u16string_view className() const override { return u"s_gui_win_Font"; }

 private:
  static std::int32_t pixelsFor(std::int32_t points);
  void changed();

  std::int32_t height_ = -13;
  std::int32_t width_ = 0;
  std::int32_t weight_ = kNormal;
  bool italic_ = false;
  bool underline_ = false;
  bool strikeOut_ = false;
  bool clearType_ = true;
  std::string face_ = "Sans";
  std::int32_t sizeCode_ = 0;
  bool hasColour_ = false;
  drawer::Rgb colour_ = 0;
  drawer::Rgb backColour_ = 0xEEEEEE;
  drawer::Rgb secondColour_ = 0xEEEEEE;
  std::int32_t alignment_ = 0;
  bool explicitSize_ = false;
  bool explicitWeight_ = false;
  mutable PangoFontDescription* description_ = nullptr;
  // The desktop's scale the description was made for.
  mutable double describedAt_ = 1.0;
};

}  // namespace s::gui::win
