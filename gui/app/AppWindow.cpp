#include "gui/app/AppWindow.h"

#include <utility>

#include "framework/settings/IMappedData.h"

namespace s::app::win {

PoolPtr<AppWindow> AppWindow::newAppWindow(Application application, std::u16string_view windowName,
                                           std::int32_t titleTextId, std::int32_t width,
                                           std::int32_t height, bool keepOnTop,
                                           MiddleClick middleClick, gui::drawer::Skinner* skinStore,
                                           std::u16string_view defaultSkin) {
  PoolPtr<AppWindow> window = make();
  window->application_ = std::move(application);
  window->windowName_ = windowName;
  window->view_ = std::u16string(windowName) + u"\\View";
  window->skin_ = std::u16string(windowName) + u"\\Skin";
  window->titleTextId_ = titleTextId;
  window->defaultWidth_ = width;
  window->defaultHeight_ = height;
  window->defaultKeepOnTop_ = keepOnTop;
  window->defaultMiddleClick_ = middleClick;
  window->skinStore_ = skinStore;
  window->defaultSkin_ = defaultSkin;
  return window;
}

void AppWindow::reset() {
  application_ = {};
  windowName_.clear();
  view_.clear();
  skin_.clear();
  titleTextId_ = -1;
  skinStore_ = nullptr;
  defaultWidth_ = kDefaultWidth;
  defaultHeight_ = kDefaultHeight;
  defaultEasyDrag_ = true;
  defaultMaximized_ = false;
  defaultKeepOnTop_ = false;
  defaultMiddleClick_ = MiddleClick::kClose;
  defaultSkin_.clear();
}

bool AppWindow::has(const std::u16string& section, std::u16string_view key) const {
  return application_.settings != nullptr && application_.settings->hasValue(section, key);
}

std::int32_t AppWindow::number(std::u16string_view key, std::int32_t fallback) const {
  return application_.settings != nullptr ? application_.settings->getS32(view_, key, fallback)
                                          : fallback;
}

void AppWindow::setNumber(std::u16string_view key, std::int32_t value) {
  if (application_.settings != nullptr) {
    application_.settings->setS32(view_, key, value);
  }
}

bool AppWindow::flag(std::u16string_view key, bool fallback) const {
  return application_.settings != nullptr ? application_.settings->getBool(view_, key, fallback)
                                          : fallback;
}

void AppWindow::setFlag(std::u16string_view key, bool value) {
  if (application_.settings != nullptr) {
    application_.settings->setBool(view_, key, value);
  }
}

std::int32_t AppWindow::getX() const {
  return number(u"X", 0);
}
void AppWindow::setX(std::int32_t x) {
  setNumber(u"X", x);
}
std::int32_t AppWindow::getY() const {
  return number(u"Y", 0);
}
void AppWindow::setY(std::int32_t y) {
  setNumber(u"Y", y);
}
std::int32_t AppWindow::getWidth() const {
  return number(u"Width", defaultWidth_);
}
void AppWindow::setWidth(std::int32_t width) {
  setNumber(u"Width", width);
}
std::int32_t AppWindow::getHeight() const {
  return number(u"Height", defaultHeight_);
}
void AppWindow::setHeight(std::int32_t height) {
  setNumber(u"Height", height);
}
bool AppWindow::getEasyDrag() const {
  return flag(u"EasyDrag", defaultEasyDrag_);
}
void AppWindow::setEasyDrag(bool on) {
  setFlag(u"EasyDrag", on);
}
bool AppWindow::getMaximized() const {
  return flag(u"Maximized", defaultMaximized_);
}
void AppWindow::setMaximized(bool on) {
  setFlag(u"Maximized", on);
}
bool AppWindow::getKeepOnTop() const {
  return flag(u"KeepOnTop", defaultKeepOnTop_);
}
void AppWindow::setKeepOnTop(bool on) {
  setFlag(u"KeepOnTop", on);
}

MiddleClick AppWindow::getMiddleClickAction() const {
  if (application_.settings == nullptr) {
    return defaultMiddleClick_;
  }
  return middleClickFrom(
      application_.settings->getString(view_, u"OnMClick", middleClickText(defaultMiddleClick_)));
}

void AppWindow::setMiddleClickAction(MiddleClick action) {
  if (application_.settings != nullptr) {
    application_.settings->setString(view_, u"OnMClick", middleClickText(action));
  }
}

std::u16string AppWindow::getSkin() const {
  if (application_.settings == nullptr) {
    return defaultSkin_;
  }
  return std::u16string(application_.settings->getString(skin_, u"", defaultSkin_));
}

void AppWindow::setSkin(std::u16string_view name) {
  if (application_.settings != nullptr) {
    application_.settings->setString(skin_, u"", name);
  }
}

void AppWindow::setBounds(std::int32_t x, std::int32_t y, std::int32_t width, std::int32_t height) {
  setX(x);
  setY(y);
  setSize(width, height);
}

void AppWindow::setSize(std::int32_t width, std::int32_t height) {
  setWidth(width);
  setHeight(height);
}

void AppWindow::clearBounds() {
  if (application_.settings != nullptr) {
    for (std::u16string_view key : {u"X", u"Y", u"Width", u"Height"}) {
      application_.settings->removeValue(view_, key);
    }
  }
}

bool AppWindow::isWidthUsable(std::int32_t screenWidth) const {
  const std::int32_t width = getWidth();
  return width >= kMinUsableSize && width <= screenWidth;
}

bool AppWindow::isHeightUsable(std::int32_t screenHeight) const {
  const std::int32_t height = getHeight();
  return height >= kMinUsableSize && height <= screenHeight;
}

}  // namespace s::app::win
