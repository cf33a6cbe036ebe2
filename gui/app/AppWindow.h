#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "framework/base/Pooled.h"
#include "gui/layout/IAppWindow.h"

namespace s::settings {
class IMappedData;
}

namespace s::app::win {

namespace detail {
class AppWindowBases : public IAppWindow, public IObject, public IPoolable {};
}  // namespace detail

// The settings of one top-level window in the program's settings store: section
// "<window>\View" for its place and behaviour, "<window>\Skin" (the section's default value)
// for its skin. Getters answer the default when nothing is stored.
class AppWindow final : public Pooled<AppWindow, detail::AppWindowBases> {
 public:
  static constexpr std::int32_t kDefaultWidth = 500;
  static constexpr std::int32_t kDefaultHeight = 500;
  static constexpr std::int32_t kMinUsableSize = 10;

  // What the window takes from the application: the settings store, the texts and the icon.
  struct Application {
    settings::IMappedData* settings = nullptr;
    lang::Localizer* localizer = nullptr;
    platform::ui::IconPixels icon;
  };

  AppWindow() = default;

  // Easy drag on, maximized off.
  static PoolPtr<AppWindow> newAppWindow(Application application, std::u16string_view windowName,
                                         std::int32_t titleTextId, std::int32_t width,
                                         std::int32_t height, bool keepOnTop,
                                         MiddleClick middleClick, gui::drawer::Skinner* skinStore,
                                         std::u16string_view defaultSkin);

  std::u16string_view getWindowName() const override { return windowName_; }
  std::int32_t getTitleTextId() const override { return titleTextId_; }
  lang::Localizer* getLocalizer() const override { return application_.localizer; }
  const platform::ui::IconPixels& getIcon() const override { return application_.icon; }
  gui::drawer::Skinner* getSkinStore() const override { return skinStore_; }
  std::int32_t getDefaultWidth() const override { return defaultWidth_; }
  std::int32_t getDefaultHeight() const override { return defaultHeight_; }

  bool hasX() const override { return has(view_, u"X"); }
  std::int32_t getX() const override;
  void setX(std::int32_t x) override;
  bool hasY() const override { return has(view_, u"Y"); }
  std::int32_t getY() const override;
  void setY(std::int32_t y) override;
  bool hasWidth() const override { return has(view_, u"Width"); }
  std::int32_t getWidth() const override;
  void setWidth(std::int32_t width) override;
  bool hasHeight() const override { return has(view_, u"Height"); }
  std::int32_t getHeight() const override;
  void setHeight(std::int32_t height) override;
  bool hasEasyDrag() const override { return has(view_, u"EasyDrag"); }
  bool getEasyDrag() const override;
  void setEasyDrag(bool on) override;
  bool hasMaximized() const override { return has(view_, u"Maximized"); }
  bool getMaximized() const override;
  void setMaximized(bool on) override;
  bool hasKeepOnTop() const override { return has(view_, u"KeepOnTop"); }
  bool getKeepOnTop() const override;
  void setKeepOnTop(bool on) override;
  bool hasMiddleClick() const override { return has(view_, u"OnMClick"); }
  MiddleClick getMiddleClickAction() const override;
  void setMiddleClickAction(MiddleClick action) override;
  bool hasSkin() const override { return has(skin_, u""); }
  std::u16string getSkin() const override;
  void setSkin(std::u16string_view name) override;
  std::u16string_view getDefaultSkin() const override { return defaultSkin_; }

  bool hasPosition() const override { return hasX() && hasY(); }
  void setBounds(std::int32_t x, std::int32_t y, std::int32_t width, std::int32_t height) override;
  void setSize(std::int32_t width, std::int32_t height) override;
  void clearBounds() override;
  bool isWidthUsable(std::int32_t screenWidth) const override;
  bool isHeightUsable(std::int32_t screenHeight) const override;

  void reset() override;
  std::u16string_view className() const override { return u"s_app_win_AppWindow"; }

 private:
  bool has(const std::u16string& section, std::u16string_view key) const;
  std::int32_t number(std::u16string_view key, std::int32_t fallback) const;
  void setNumber(std::u16string_view key, std::int32_t value);
  bool flag(std::u16string_view key, bool fallback) const;
  void setFlag(std::u16string_view key, bool value);

  Application application_;
  std::u16string windowName_;
  std::u16string view_;  // "<window>\View"
  std::u16string skin_;  // "<window>\Skin"
  std::int32_t titleTextId_ = -1;
  gui::drawer::Skinner* skinStore_ = nullptr;
  std::int32_t defaultWidth_ = kDefaultWidth;
  std::int32_t defaultHeight_ = kDefaultHeight;
  bool defaultEasyDrag_ = true;
  bool defaultMaximized_ = false;
  bool defaultKeepOnTop_ = false;
  MiddleClick defaultMiddleClick_ = MiddleClick::kClose;
  std::u16string defaultSkin_;
};

}  // namespace s::app::win
