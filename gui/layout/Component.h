#pragma once

#include <cairo.h>

#include <cstdint>

#include "framework/col/ArrayP.h"
#include "gui/layout/IContainer.h"
#include "gui/layout/IWindow.h"
#include "gui/layout/ListenerList.h"
#include "gui/layout/WindowHost.h"
#include "platform/ui/Event.h"
#include "platform/ui/PointerShape.h"
#include "platform/ui/Rect.h"

namespace s::gui::win {

// The component protocol shared by every widget: geometry with its limits and sizing wishes,
// deferred geometry, visibility, background, the tree and its platform rectangle.
//
// A component's "platform window" is the rectangle it occupies in its top-level window. It
// exists once the component is in a tree whose window exists (created()); before that every
// setter only stores. Applying bounds moves that rectangle (and repaints what it uncovered and
// covers); a hidden component is parked at (-10000, 10000).
class Component : public virtual IComponent {
 public:
  Component();
  ~Component() override;
  Component(const Component&) = delete;
  Component& operator=(const Component&) = delete;

  void onEvent(IObject* source, std::int32_t code) override;
  std::int32_t getX() const override { return x_; }
  void setX(std::int32_t x) override { setPosition(x, y_); }
  std::int32_t getY() const override { return y_; }
  void setY(std::int32_t y) override { setPosition(x_, y); }
  std::int32_t getScreenX() const override;
  std::int32_t getScreenY() const override;
  bool containsScreenPoint(std::int32_t x, std::int32_t y) const override;
  std::int32_t getWidth() const override { return width_; }
  void setWidth(std::int32_t width) override { setSize(width, height_); }
  std::int32_t getHeight() const override { return height_; }
  void setHeight(std::int32_t height) override { setSize(width_, height); }
  std::int32_t getInnerWidth() const override;
  void setInnerWidth(std::int32_t width) override;
  std::int32_t getInnerHeight() const override;
  void setInnerHeight(std::int32_t height) override;
  void setPosition(std::int32_t x, std::int32_t y) override;
  void setSize(std::int32_t width, std::int32_t height) override;
  void setBounds(std::int32_t x, std::int32_t y, std::int32_t width, std::int32_t height) override;
  void setOrigin(std::int32_t originX, std::int32_t originY) override;
  void moveOrigin(std::int32_t dx, std::int32_t dy) override;
  std::int32_t getMinWidth() const override;
  std::int32_t getMinHeight() const override;
  std::int32_t getMinInnerWidth() const override;
  std::int32_t getMinInnerHeight() const override;
  std::int32_t getMaxWidth() const override;
  std::int32_t getMaxHeight() const override;
  std::int32_t getMaxInnerWidth() const override;
  std::int32_t getMaxInnerHeight() const override;
  bool isVisible() const override { return visible_ && created_; }
  // Whether the component is to be shown, platform window or not (what layouts count).
  bool wantsVisible() const { return visible_; }
  void setVisible(bool show, bool recurse) override;
  bool isEnabled() const override { return enabled_; }
  void setEnabled(bool enabled) override;
  // Only focusable components take the focus; for the others these answer false and do nothing.
  bool hasFocus() const override;
  void setFocus() override;
  void centerInParent() override;
  void centerHorizontally() override;
  void centerVertically() override;
  Background getBackground() const override { return background_; }
  bool isTransparent() const override { return background_.transparent; }
  void setTransparent(bool redraw) override;
  void setBackgroundWhite(bool redraw) override { setBackground(255, 255, 255, redraw); }
  void setBackgroundSystem(bool redraw) override;
  void setBackgroundBlack(bool redraw) override { setBackground(0, 0, 0, redraw); }
  void setBackgroundLight(bool redraw) override;
  void setBackground(std::uint8_t red, std::uint8_t green, std::uint8_t blue, bool redraw) override;
  IWindow* getWindow() const override { return window_; }
  IContainer* getParent() const override { return parent_; }
  void setParent(IContainer* container) override;
  void add(IComponent* child) override;
  void remove(IComponent* child, bool recurse) override;
  void removeAll(bool recurse) override;
  bool isContainer() const override { return false; }
  void repaint(std::int32_t x, std::int32_t y, std::int32_t width, std::int32_t height) override;
  void repaint() override { repaint(0, 0, width_, height_); }
  void setSizeClamped(std::int32_t width, std::int32_t height) override;
  void relayout() override {}
  std::uint32_t childCount() const override { return children_.count(); }
  IComponent* getChild(std::uint32_t i) const override;
  const col::ArrayP<IComponent>* getChildren() const override { return &children_; }
  ScreenRect getScreenRect() const override;
  bool isDeferred() const override { return deferred_; }
  void beginDeferred() override;
  void endDeferred() override;

  void reset() override;

  // A leaf's own limits: the smallest size it accepts and the size it would like.
  void setMinSize(std::int32_t width, std::int32_t height);
  void setNaturalSize(std::int32_t width, std::int32_t height);
  std::int32_t widthPercent() const { return widthPercent_; }
  std::int32_t heightPercent() const { return heightPercent_; }
  std::int32_t fixedWidth() const { return fixedWidth_; }
  std::int32_t fixedHeight() const { return fixedHeight_; }
  std::int32_t originX() const { return originX_; }
  std::int32_t originY() const { return originY_; }
  void addMovedListener(events::IEventListener* listener) { movedListeners_.add(listener); }

  // The platform rectangle, in the parent's coordinates, and how often it was moved.
  bool created() const { return created_; }
  const platform::ui::Rect& platformBounds() const { return platformBounds_; }
  std::uint32_t platformMoves() const { return platformMoves_; }
  // The platform rectangle in the window's client coordinates.
  platform::ui::Rect clientBounds() const;

  // Asks the window to paint the component's rectangle again.
  void invalidate();
  // The platform window the component is in (its thread, focus and pointer capture); null
  // until it is created.
  WindowHost* host() const { return created_ ? host_ : nullptr; }

  // Painting, on the window's thread, with (0, 0) at the component's top-left corner and the
  // clip set to its rectangle. The default fills the background unless transparent.
  virtual void paint(cairo_t* cr);
  // Pointer input at (x, y) in the component; true when the component used it.
  virtual bool handleInput(const platform::ui::Event& event, std::int32_t x, std::int32_t y);
  // The pointer's shape over the component; kInherit (the default) leaves it to the parent, and
  // the window shows the arrow where no component names one.
  void setCursor(platform::ui::PointerShape shape) { cursor_ = shape; }
  // The shape at (x, y) in the component; the default answers the one set.
  virtual platform::ui::PointerShape cursorAt(std::int32_t x, std::int32_t y) const;
  // Whether the keyboard focus may rest here now: a click gives it, Tab stops at it.
  virtual bool isFocusable() const { return false; }
  // A key pressed while this component or one of its descendants has the focus; true when used
  // (what none takes goes to the window's key listeners).
  virtual bool handleKey(const platform::ui::Event& event);
  // The pointer capture this component held was taken away before the button was released: no
  // release will come, so a press in progress ends here.
  virtual void captureLost() {}
  // The window's language changed (or its localizer did), on the window's thread: components
  // showing texts by id fetch them again. The default tells the children.
  virtual void languageChanged();
  // The deepest visible component under (x, y), given in this component's coordinates.
  Component* componentAt(std::int32_t x, std::int32_t y);

  // Every component in a tree is a Component; nullptr for anything else.
  static Component* of(IComponent* component);
  static const Component* of(const IComponent* component);
  // wantsVisible() of any component.
  static bool shown(const IComponent* component);

 protected:
  // The limits without the fixed size and percentage rules; a container computes them from
  // its layout.
  virtual std::int32_t ownMinWidth() const { return minWidth_; }
  virtual std::int32_t ownMinHeight() const { return minHeight_; }
  virtual std::int32_t ownMaxWidth() const;
  virtual std::int32_t ownMaxHeight() const;
  // Moves the platform rectangle to the stored bounds; the window overrides it to move itself.
  virtual void applyBounds();
  // The platform window comes into being (on the window's thread) with the stored settings.
  virtual void createPlatform(IWindow* window, WindowHost* host);
  virtual void destroyPlatform();
  // Asks the parent to lay out again (when it has a platform window).
  void relayoutParent();
  // Runs `work` on the window's thread and waits for it once the platform window exists, else
  // here and now: until then the component is plain memory.
  template <class Work>
  void runSync(Work&& work) {
    if (host_ != nullptr && created_) {
      host_->runSync(work);
    } else {
      work();
    }
  }

  void setWidthPercentValue(std::int32_t percent) { widthPercent_ = percent; }
  void setHeightPercentValue(std::int32_t percent) { heightPercent_ = percent; }
  void setFixedWidthValue(std::int32_t px) { fixedWidth_ = px; }
  void setFixedHeightValue(std::int32_t px) { fixedHeight_ = px; }

  std::int32_t insetLeft_ = 0;
  std::int32_t insetRight_ = 0;
  std::int32_t insetTop_ = 0;
  std::int32_t insetBottom_ = 0;
  col::ArrayP<IComponent> children_;
  IWindow* window_ = nullptr;
  WindowHost* host_ = nullptr;
  events::ListenerList movedListeners_;

 private:
  const Component& root() const;

  std::int32_t x_ = 0;
  std::int32_t y_ = 0;
  std::int32_t originX_ = 0;
  std::int32_t originY_ = 0;
  std::int32_t width_ = 0;
  std::int32_t height_ = 0;
  std::int32_t minWidth_ = 0;
  std::int32_t minHeight_ = 0;
  std::int32_t naturalWidth_ = 0;
  std::int32_t naturalHeight_ = 0;
  std::int32_t widthPercent_ = -1;
  std::int32_t heightPercent_ = -1;
  std::int32_t fixedWidth_ = -1;
  std::int32_t fixedHeight_ = -1;
  bool visible_ = true;
  bool enabled_ = true;
  bool deferred_ = false;
  bool dirty_ = false;
  bool created_ = false;
  platform::ui::PointerShape cursor_ = platform::ui::PointerShape::kInherit;
  Background background_;
  IContainer* parent_ = nullptr;
  platform::ui::Rect platformBounds_;
  std::uint32_t platformMoves_ = 0;
};

}  // namespace s::gui::win
