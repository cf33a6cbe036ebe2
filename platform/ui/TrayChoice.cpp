#include "platform/ui/TrayChoice.h"

namespace s::platform::ui {

namespace {

bool hasHost(const std::unique_ptr<ITrayIcon>& tray) {
  return tray != nullptr && tray->hostAvailable();
}

}  // namespace

std::unique_ptr<TrayChoice> TrayChoice::make(const Maker& preferred, const Maker& fallback,
                                             ITrayIcon::IListener& listener) {
  std::unique_ptr<TrayChoice> choice(new TrayChoice(listener));
  if (preferred) {
    choice->preferred_ = preferred(*choice);
  }
  if (fallback) {
    choice->fallback_ = fallback(*choice);
  }
  if (choice->preferred_ == nullptr && choice->fallback_ == nullptr) {
    return nullptr;
  }
  return choice;
}

bool TrayChoice::hostAvailable() const {
  return hasHost(preferred_) || hasHost(fallback_);
}

void TrayChoice::show(const IconPixels& icon, std::string_view tip) {
  if (shown_) {
    update(icon, tip);
    return;
  }
  shown_ = true;
  icon_ = icon;
  tip_ = std::string(tip);
  place();
}

void TrayChoice::update(const IconPixels& icon, std::string_view tip) {
  icon_ = icon;
  tip_ = std::string(tip);
  for (ITrayIcon* tray : {preferred_.get(), fallback_.get()}) {
    if (tray != nullptr && tray->isShown()) {
      tray->update(icon_, tip_);
    }
  }
}

void TrayChoice::hide() {
  shown_ = false;
  place();
}

std::string_view TrayChoice::protocol() const {
  if (hasHost(preferred_) || fallback_ == nullptr) {
    return preferred_->protocol();
  }
  return fallback_->protocol();
}

void TrayChoice::onTrayClick(TrayClick click, int rootX, int rootY) {
  listener_.onTrayClick(click, rootX, rootY);
}

void TrayChoice::onTrayHostChanged() {
  place();
  listener_.onTrayHostChanged();
}

void TrayChoice::place() {
  const bool inPreferred = hasHost(preferred_);
  const bool inFallback = !inPreferred && hasHost(fallback_);
  const bool waiting = !inPreferred && !inFallback;
  showIn(preferred_.get(), shown_ && (inPreferred || waiting), icon_, tip_);
  showIn(fallback_.get(), shown_ && (inFallback || waiting), icon_, tip_);
}

void TrayChoice::showIn(ITrayIcon* tray, bool wanted, const IconPixels& icon,
                        std::string_view tip) {
  if (tray == nullptr || wanted == tray->isShown()) {
    return;
  }
  if (wanted) {
    tray->show(icon, tip);
  } else {
    tray->hide();
  }
}

}  // namespace s::platform::ui
