#include "app/base/AppBase.h"

#include <utility>

#include "app/base/ProgramIcon.h"
#include "app/base/StartValues.h"
#include "framework/lang/TextIds.h"
#include "gui/drawer/BrandPictures.h"
#include "image/PngDecoder.h"

namespace s::app::win {

void AppBase::init(int argc, const char* const* argv, const AppBaseOptions& options) {
  reset();
  textIdBase_ = kTextIdBase;
  commandLine_ = CommandLine(argc, argv);
  programFile_ = file::PathWin::executable();
  programFolder_ = programFile_->parent();
  localizer_ = lang::Localizer::fromResource(u"IDR_XML", 130);
  settings_ = xml::MappedData::openProgramSettings();
  notice_ = settingsNotice(*settings_);

  settings_->setAutoSave(false);
  if (recordVersion(*settings_, versionText()) && options.openAddress) {
    options.openAddress(localizer_->text(lang::text::kAddressProgramPage));
  }
  chooseLanguage(*localizer_, *settings_);
  skins_ = options.skins;
  if (skins_ != nullptr) {
    skinIndex_ = chooseSkin(*skins_, *settings_, kMainWindow, kDefaultSkin, skinIndex_);
  }
  settings_->setAutoSave(true);
  settings_->saveSoon();
}

std::span<const uint8_t> AppBase::icon(int size) {
  return ProgramIcon::png(size);
}

platform::ui::IconPixels AppBase::iconPixels(int size) {
  platform::ui::IconPixels pixels;
  PoolPtr<image::ImageCache> picture = image::PngDecoder::decode(ProgramIcon::png(size));
  if (picture == nullptr) {
    return pixels;
  }
  pixels.width = picture->width();
  pixels.height = picture->height();
  pixels.argb.reserve(static_cast<size_t>(pixels.width) * static_cast<size_t>(pixels.height));
  for (int y = 0; y < pixels.height; ++y) {
    for (int x = 0; x < pixels.width; ++x) {
      // Blue, green, red, alpha in the picture.
      const uint8_t* p = picture->pixel(x, y);
      pixels.argb.push_back(static_cast<uint32_t>(p[3]) << 24 | static_cast<uint32_t>(p[2]) << 16 |
                            static_cast<uint32_t>(p[1]) << 8 | p[0]);
    }
  }
  return pixels;
}

AppWindow::Application AppBase::windowApplication() {
  return {settings_.get(), localizer_.get(), iconPixels(32)};
}

std::span<const uint8_t> AppBase::skinPicture(int32_t resourceId) {
  return gui::drawer::BrandPictures::jpeg(resourceId);
}

bool AppBase::saveSettings() {
  saved_ = true;
  return settings_ != nullptr && settings_->save();
}

void AppBase::reset() {
  if (settings_ != nullptr && !saved_) {
    settings_->save();
  }
  textIdBase_ = 0;
  commandLine_ = CommandLine();
  programFile_.reset();
  programFolder_.reset();
  settings_.reset();
  localizer_.reset();
  skins_ = nullptr;
  skinIndex_ = -1;
  notice_.clear();
  saved_ = false;
}

std::u16string settingsNotice(const xml::MappedData& settings) {
  const std::u16string path(settings.path());
  switch (settings.fileState()) {
    case xml::FileState::kKeptAside:
      return u"The settings file " + path + u" was not a settings document: it is kept as " +
             std::u16string(settings.keptAsidePath()) +
             u", and the program starts with the default settings.";
    case xml::FileState::kRefused:
      return u"The settings file " + path +
             u" is not a regular file or cannot be read: the program runs with the default "
             u"settings and does not save them.";
    case xml::FileState::kRead:
    case xml::FileState::kNew:
      break;
  }
  return {};
}

}  // namespace s::app::win
