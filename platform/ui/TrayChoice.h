#pragma once

#include <functional>
#include <memory>
#include <string>
#include <string_view>

#include "platform/ui/ITrayIcon.h"

namespace s::platform::ui {

// The icon in whichever notification area the desktop has: through the preferred protocol
// while its host is there, else through the fallback's. While neither host is there the icon
// waits in both, so the first that appears takes it; when the preferred host appears later,
// the icon moves to it, so that a desktop that speaks both shows it once.
class TrayChoice final : public ITrayIcon, private ITrayIcon::IListener {
 public:
  // Makes an icon speaking to `listener`; null when its protocol cannot be spoken here.
  using Maker = std::function<std::unique_ptr<ITrayIcon>(ITrayIcon::IListener& listener)>;

  // Null when neither maker gives an icon.
  static std::unique_ptr<TrayChoice> make(const Maker& preferred, const Maker& fallback,
                                          ITrayIcon::IListener& listener);
  TrayChoice(const TrayChoice&) = delete;
  TrayChoice& operator=(const TrayChoice&) = delete;

  bool hostAvailable() const override;
  void show(const IconPixels& icon, std::string_view tip) override;
  void update(const IconPixels& icon, std::string_view tip) override;
  void hide() override;
  bool isShown() const override { return shown_; }
  // The protocol of the host that has the icon, or would take it.
  std::string_view protocol() const override;

 private:
  explicit TrayChoice(ITrayIcon::IListener& listener) : listener_(listener) {}
  void onTrayClick(TrayClick click, int rootX, int rootY) override;
  void onTrayHostChanged() override;
  // Shows the icon where it belongs now and takes it from where it does not.
  void place();
  static void showIn(ITrayIcon* tray, bool wanted, const IconPixels& icon, std::string_view tip);

  ITrayIcon::IListener& listener_;
  std::unique_ptr<ITrayIcon> preferred_;
  std::unique_ptr<ITrayIcon> fallback_;
  bool shown_ = false;
  IconPixels icon_;
  std::string tip_;
};

}  // namespace s::platform::ui
