#pragma once

#include <array>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

#include "framework/base/MaybeOwned.h"
#include "framework/base/Pooled.h"
#include "framework/thread/ITask.h"
#include "gui/drawer/ISkin.h"
#include "gui/layout/ComponentHost.h"
#include "gui/layout/IAppWindow.h"
#include "gui/layout/IMenuBar.h"
#include "gui/layout/IPopupMenu.h"
#include "gui/layout/IWindow.h"
#include "platform/ui/IDisplay.h"
#include "platform/ui/ITrayIcon.h"

namespace s::thread::win {
class Thread;
}
namespace s::lang {
class Localizer;
}

namespace s::gui::win {

class OwnedWindow;

// A top-level window with its own user-interface thread. Making one starts the thread, which
// opens its own display (see setDisplayFactory), creates the platform window (240 × 120 at
// 96 dpi, titled "Window", hidden) and runs the loop; the maker waits until that is done. All
// painting, input and layout happen on that thread; operations called from other threads are
// queued to it and the caller waits until they are done. The pop-ups, dialogs and tray icon
// of the thread are OwnedWindows; the window routes their events to them.
//
// Application timers use platform timer id = application id + 10000, clear of the window's
// own timers 1 to 6.
class Window final : public Pooled<Window, ComponentHost, 0>,
                     public IWindow,
                     public platform::ui::IEventSink,
                     public platform::ui::ITrayIcon::IListener {
 public:
  using DisplayFactory = std::function<std::unique_ptr<platform::ui::IDisplay>()>;
  static constexpr std::uint32_t kAppTimerOffset = 10000;

  // How windows made from now on reach the screen, chosen by the program (the X server) or a
  // test (the offscreen display). Without one no window can be made.
  static void setDisplayFactory(DisplayFactory factory);

  Window();
  ~Window() override;

  // Giving the window back stops its thread, waiting for it up to the end wait (5 s). A thread
  // that has not ended by then (a listener that does not return) frees the window itself once
  // it ends, so that nothing it still does touches freed memory; given back on its own thread,
  // the window is freed the same way as soon as the thread is out of it.
  void release() override;
  void setEndWait(std::chrono::milliseconds wait) { endWait_ = wait; }

  // False when the platform window could not be made: without a display, or when the display
  // refused it, which the thread first tells the user in the message box "Window Creation
  // Failed!" (the maker waits until it is answered).
  bool isCreated() const { return created(); }
  // The display of this window's thread; its own operations belong to that thread.
  platform::ui::IDisplay* display() const override { return display_.get(); }
  const std::string& title() const { return title_; }
  // lastInput() also tells the kWindowHotKey being reported.

  void setTitle(std::string_view utf8) override;
  void setTitle(std::u16string_view text);
  // Where the window and its components take their texts by id from, again whenever its
  // language changes; setting another one relabels them at once.
  void setLocalizer(lang::Localizer* localizer);
  void setTitleTextId(std::int32_t id);
  void onEvent(IObject* source, std::int32_t code) override;
  void languageChanged() override;
  // Lays the window out and tells the window manager the smallest size the layout allows.
  void relayout() override;
  void cancelClose() override { closeCancelled_ = true; }
  void addListener(WindowEvent event, events::IEventListener* listener) override {
    addHostListener(event, listener);
  }
  void removeListener(WindowEvent event, events::IEventListener* listener) override {
    removeHostListener(event, listener);
  }
  void addCloseListener(events::IEventListener* listener) override {
    addListener(kWindowClosing, listener);
  }
  void addMessageListener(events::IEventListener* listener) override {
    addListener(kWindowMessage, listener);
  }
  void addSizeListener(events::IEventListener* listener) override {
    addListener(kWindowSized, listener);
  }
  void addTimerListener(events::IEventListener* listener) override {
    addListener(kWindowTimer, listener);
  }
  void setResizable(bool resizable) override;
  bool isResizable() const { return resizable_; }
  void setKeepOnTop(bool above) override;
  void setTaskbarButton(bool shown) override;
  // With it set, the window manager's close button (and Alt+F4) iconizes the window instead,
  // unless it is iconized already.
  void setCloseIconizes(bool iconizes) override { closeIconizes_ = iconizes; }
  void show(bool activate) override;
  void hide() override;
  void close() override;
  // Hides the window to its tray icon (minimized first, the icon shown unless it is already);
  // where no notification area exists it minimizes to the taskbar instead, and says why once.
  void iconize() override;
  // Back from the tray or the taskbar to its normal size and place, in front.
  void restore() override;
  void maximize() override;
  void minimize() override;
  // Hidden to the tray.
  bool isIconized() const override { return iconized_; }
  // Minimized (to the taskbar or on the way to the tray).
  bool isIconic() const override { return minimized_; }
  bool isMaximized() const override { return maximized_; }
  bool isActive() const { return active_; }
  bool isClosed() const override { return closed_.load(); }
  void waitUntilClosed() override;
  void setTimer(std::uint32_t id, std::uint32_t ms) override;
  void killTimer(std::uint32_t id) override;
  std::uint32_t getTimerId() const override { return timerId_; }

  // Hot keys for the whole desktop. `flags`: Alt 1, Ctrl 2, Shift 4, Win 8; `keyCode` an X
  // keysym (the key numbering of the platform's key events). A hot key of the same name is
  // given up first. False when the key is taken (with showError, the window tells so) or
  // unknown. Presses send kWindowHotKey; hotKeyName() tells which.
  bool registerHotKey(std::uint32_t flags, std::uint32_t keyCode, std::string_view name,
                      bool showError);
  void unregisterHotKey(std::string_view name);
  void unregisterAllHotKeys();
  const std::string& hotKeyName() const { return hotKeyName_; }
  // "(" error ") HotKey " modifier names key code " has been occupied by another application."
  static std::string hotKeyOccupiedText(int error, std::uint32_t flags, std::uint32_t keyCode);
  // The text of the last failed registration that asked for it, as its message box showed it.
  const std::string& lastHotKeyWarning() const { return lastHotKeyWarning_; }

  // Menus. The menu bar, the tray menu and the context menu (shown at the pointer on a right
  // click in the client area, after event 19) are offered a chosen command in that order; the
  // first that contains it dispatches it. routeCommand answers whether one did.
  void setMenuBar(IMenuBar* menuBar);
  void setTrayMenu(IPopupMenu* menu);
  void setContextMenu(IPopupMenu* menu, bool shown);
  bool routeCommand(std::int32_t commandId);

  // The application window's behaviour: settings, tray icon, states.
  //
  // Takes the icon, localizer, title (with " v" and the version text after it when asked),
  // skin, easy drag, keep on top, middle-click action and bounds from the settings; a stored
  // position that leaves the window off the virtual screen centres it, a stored size outside
  // [10, the screen] gives the default; "Maximized" stored maximizes it once shown.
  void applySettings(app::IAppWindow& settings, bool withVersion);
  app::IAppWindow* getAppWindow() const { return appWindow_; }
  void setIcon(const platform::ui::IconPixels& icon);
  // Each also writes its setting.
  void setEasyDrag(bool on);
  bool isEasyDrag() const { return easyDrag_; }
  void setMiddleClickAction(app::MiddleClick action);
  app::MiddleClick getMiddleClickAction() const { return middleClick_; }
  void showTrayIcon(bool show);
  void updateTrayIcon();
  // Kept shown even while the window is not iconized.
  void setTrayIconAlways(bool always);
  // A left click on the tray icon hides a window in front, shows a hidden one.
  void setTrayClickToggles(bool toggles);
  bool isTrayIconShown() const { return trayIconShown_; }
  // The window's tray icon as the platform has it; null without a tray service.
  platform::ui::ITrayIcon* trayIcon() const { return tray_.get(); }
  // true: in front and focused; false: records the deactivation (see the tray click).
  void activate(bool on);
  // Writes the normal bounds (or "Maximized") as the window leaves them; see the settings.
  void saveBounds();
  // The normal bounds: as last moved or sized while neither minimized nor maximized.
  const platform::ui::Rect& normalBounds() const { return normalBounds_; }
  // Another start of the program asks this one to show itself: restored if iconized or
  // minimized, then activated. Any thread.
  void showRequested();
  // How windows made from now on get their tray icon; none by default (iconizing minimizes).
  static void setTrayFactory(platform::ui::TrayFactory factory);
  void onTrayClick(platform::ui::TrayClick click, int rootX, int rootY) override;
  // A window hidden in a notification area that went comes back to the taskbar, minimized.
  void onTrayHostChanged() override;

  // Message boxes on this window's thread (see MessageBoxW); the caller waits for the answer.
  void showInfo(std::string_view text) override;
  void showWarning(std::string_view text) override;
  void showError(std::string_view text) override;
  bool askYesNo(std::string_view text) override;
  // A message from another instance of the program (kWindowMessage): the listeners hear it on the
  // window's thread and may answer with setMessageAnswer(); the sender gets the answer (0 when
  // none gave one), or -1 when the window's thread has ended.
  std::int32_t sendMessage(std::uint32_t a, std::uint32_t b, std::uint32_t c, std::uint32_t d);
  const std::array<std::uint32_t, 4>& messageValues() const { return messageValues_; }
  void setMessageAnswer(std::int32_t answer) { messageAnswer_ = answer; }
  // A user-defined notification (kWindowNotification) with its value, sent on the window's thread.
  void notify(std::uint32_t value);
  std::uint32_t notificationValue() const { return notificationValue_; }

  // The skin the window and its components paint with; null for the plain look. A skin takes
  // the desktop's frame away (the skin draws frame and caption). An owned skin is released
  // when replaced and when the window goes.
  void setSkin(drawer::ISkin* skin, bool owned);
  // kWindowClipboard whenever the clipboard changes hands, until unwatched or closed. False when
  // the window system cannot tell.
  bool watchClipboard(bool watch);
  bool isWatchingClipboard() const { return watchingClipboard_; }
  // Makes the window a drop target for other programs while a box in it takes drops.
  void refreshDropTarget();
  drawer::ISkin* getSkin() const { return skin_.get(); }
  // Where components that show texts by id find them; null for none.
  lang::Localizer* getLocalizer() const { return localizer_; }
  // Timers of components, numbered by each owner on its own (like the platform's per-window
  // timers); `tick` runs on the window's thread. Setting an id again restarts it.
  void setComponentTimer(const void* owner, std::uint32_t id, std::uint32_t ms,
                         std::function<void()> tick);
  void killComponentTimer(const void* owner, std::uint32_t id);
  void paint(cairo_t* cr) override;

  // True once the window is being destroyed: nested loops end.
  bool isStopping() const { return stopping_.load(); }
  // On the window's thread: runs its loop in place until `done` answers true or the window is
  // being destroyed, the nested loop of a modal box or a menu. Work queued to the thread runs
  // meanwhile, and the events of the window and its owned windows are handled as ever.
  void runNestedLoop(const std::function<bool()>& done);

  bool isUiThread() const override;
  // Runs op(block) on the window's thread and waits for it (at once on that thread); false, not
  // run, when the window has no thread: it could not be made, or has ended. The window's own
  // setters go through Component::runSync instead, which a window that could not be made runs
  // in place (what they store is then plain memory, an owned skin released with the window).
  using WindowHost::runSync;
  bool runSync(Operation op, void* block) override;

  void onPlatformEvent(const platform::ui::Event& event) override;

  void reset() override;
  std::u16string_view className() const override { return u"s_gui_win_Window"; }

 protected:
  void requestPaint() override;

 private:
  friend class OwnedWindow;

  class UiTask final : public ITask {
   public:
    explicit UiTask(Window& window) : window_(window) {}
    void run() override { window_.runThread(); }

   private:
    Window& window_;
  };

  // The thread: runLoop, then the window freed here when it was given back meanwhile.
  void runThread();
  void runLoop();
  // Any thread: true when the thread has ended, false when the window is now the thread's to
  // free.
  bool stopThread();
  // Paints the window's damage and its owned windows'.
  void flushPaint();
  // The owned windows of the thread, open ones only; their events come here first.
  void adopt(OwnedWindow& owned);
  void disown(OwnedWindow& owned);
  OwnedWindow* ownedWindowOf(platform::ui::WindowId window) const;
  // The owned window that holds the input (its grab): the window's own input goes to it.
  void setInputHolder(OwnedWindow* holder) { inputHolder_ = holder; }
  OwnedWindow* inputHolder() const { return inputHolder_; }
  // While a modal owned window is open the window's own input is held back.
  void addModal() { ++modals_; }
  void removeModal() { --modals_; }
  // The box that takes what is dropped at (x, y): the innermost under it accepting files (or
  // links), the window itself included.
  BoxBase* dropTargetAt(std::int32_t x, std::int32_t y, bool files, bool links);
  void handleDrop(const platform::ui::Event& event);
  void onConfigure(const platform::ui::Event& event);
  // The application-window parts of the input (WindowInput.cpp, WindowStates.cpp): the skinned
  // frame's edges, easy drag, the context menu, the middle click, F10.
  std::optional<platform::ui::PointerShape> frameCursorAt(std::int32_t x,
                                                          std::int32_t y) const override;
  bool handleFramePress(const platform::ui::Event& event) override;
  void unclaimedPress(WindowEvent told, const platform::ui::Event& event) override;
  bool unclaimedKey(const platform::ui::Event& event) override;
  // True when the press opened the context menu.
  bool handleContextPress(const platform::ui::Event& event);
  void middleClick();
  void closeRequested();
  // The window manager's state (WindowStates.cpp): maximizing, minimizing and restoring done
  // by the user through the window manager reach isMaximized(), isIconic() and the listeners.
  void onWmState(const platform::ui::WmState& state);
  void makeTrayIcon();
  std::string composedTitle() const;
  bool trayIconWanted() const { return trayIconShown_ || trayIconAlways_; }

  UiTask task_{*this};
  PoolPtr<thread::win::Thread> thread_;
  std::unique_ptr<platform::ui::IDisplay> display_;
  std::atomic<std::thread::id> uiThread_{};
  std::atomic<bool> ready_{false};
  std::atomic<bool> stopping_{false};
  std::atomic<bool> closed_{false};
  std::chrono::milliseconds endWait_{5000};
  std::mutex endLock_;
  std::condition_variable threadEnd_;
  bool threadEnded_ = false;
  bool freeOnEnd_ = false;

  std::string title_ = "Window";
  lang::Localizer* localizer_ = nullptr;
  std::int32_t titleTextId_ = -1;
  std::uint32_t timerId_ = 0;
  std::array<std::uint32_t, 4> messageValues_{};
  std::int32_t messageAnswer_ = 0;
  std::uint32_t notificationValue_ = 0;
  bool closeCancelled_ = false;
  bool closeIconizes_ = false;
  // The window manager ignores an iconize before it has mapped the window: it waits until then.
  bool mappedOnce_ = false;
  bool iconizeWhenMapped_ = false;
  // Written on the window's thread, read from any.
  std::atomic<bool> iconized_{false};
  std::atomic<bool> maximized_{false};
  std::atomic<bool> minimized_{false};
  bool active_ = false;
  std::chrono::steady_clock::time_point deactivated_{};
  bool easyDrag_ = false;
  app::MiddleClick middleClick_ = app::MiddleClick::kClose;
  bool trayIconShown_ = false;
  bool trayIconAlways_ = false;
  bool trayClickToggles_ = false;
  bool titleWithVersion_ = false;
  app::IAppWindow* appWindow_ = nullptr;
  platform::ui::IconPixels icon_;
  std::unique_ptr<platform::ui::ITrayIcon> tray_;
  IMenuBar* menuBar_ = nullptr;
  IPopupMenu* trayMenu_ = nullptr;
  IPopupMenu* contextMenu_ = nullptr;
  bool contextMenuShown_ = false;
  platform::ui::Rect normalBounds_;
  // The normal bounds before the last move or size (a maximize may tell its size first).
  platform::ui::Rect previousNormalBounds_;
  bool keepOnTop_ = false;
  bool resizable_ = true;
  bool taskbarButton_ = true;
  std::int32_t hintedMinWidth_ = -1;
  std::int32_t hintedMinHeight_ = -1;
  bool paintQueued_ = false;
  std::vector<OwnedWindow*> owned_;
  OwnedWindow* inputHolder_ = nullptr;
  int modals_ = 0;
  struct HotKey {
    std::string name;
    std::uint32_t id;
  };
  std::vector<HotKey> hotKeys_;
  std::uint32_t nextHotKeyId_ = 1;
  std::string hotKeyName_;
  std::string lastHotKeyWarning_;
  MaybeOwned<drawer::ISkin> skin_;
  struct ComponentTimer {
    const void* owner;
    std::uint32_t id;
    std::uint32_t platformId;
    std::function<void()> tick;
  };
  std::vector<ComponentTimer> componentTimers_;
  std::uint32_t nextComponentTimer_ = kComponentTimerBase;
  static constexpr std::uint32_t kComponentTimerBase = 0x40000000;
  bool watchingClipboard_ = false;
  bool dropTarget_ = false;
};

}  // namespace s::gui::win
