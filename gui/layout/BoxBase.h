#pragma once

#include <string>
#include <vector>

#include "gui/layout/Component.h"
#include "gui/layout/IBox.h"
#include "platform/ui/DesktopScale.h"

namespace s::gui::win {

// The container part that `Box` and `Window` share: children, layout, alignment, spacing and
// insets, and the limits computed from the last layout.
class BoxBase : public Component, public virtual IBox {
 public:
  BoxBase() = default;

  bool isContainer() const override { return true; }
  void add(IComponent* child) override;
  void remove(IComponent* child, bool recurse) override;
  void relayout() override;

  std::int32_t getInsetLeft() const override { return insetLeft_; }
  std::int32_t getInsetRight() const override { return insetRight_; }
  std::int32_t getInsetTop() const override { return insetTop_; }
  std::int32_t getInsetBottom() const override { return insetBottom_; }

  ILayoutManager* getLayoutManager() const override;
  void setLayoutManager(ILayoutManager* manager) override { layoutManager_ = manager; }
  void setHSpacing(std::int32_t px) override { hSpacing_ = platform::ui::DesktopScale::px(px); }
  void setVSpacing(std::int32_t px) override { vSpacing_ = platform::ui::DesktopScale::px(px); }
  void setInsetLeft(std::int32_t px) override;
  void setInsetRight(std::int32_t px) override;
  void setInsetTop(std::int32_t px) override;
  void setInsetBottom(std::int32_t px) override;
  void setInsetH(std::int32_t px) override;
  void setInsetV(std::int32_t px) override;
  void setInset(std::int32_t px) override;
  void alignTop() override { verticalAlign_ = kAlignTop; }
  void alignMiddle() override { verticalAlign_ = kAlignMiddle; }
  void alignBottom() override { verticalAlign_ = kAlignBottom; }
  void alignLeft() override { horizontalAlign_ = kAlignLeft; }
  void alignCenter() override { horizontalAlign_ = kAlignCenter; }
  void alignRight() override { horizontalAlign_ = kAlignRight; }
  std::int32_t getLayoutKind() const override { return layoutKind_; }
  void setLayoutHorizontal() override { layoutKind_ = kLayoutHorizontal; }
  void setLayoutVertical() override { layoutKind_ = kLayoutVertical; }
  void setLayoutFlowH() override { layoutKind_ = kLayoutFlowH; }
  void setLayoutPile() override { layoutKind_ = kLayoutPile; }
  void fillParent() override;
  void setWidthPercent(std::int32_t percent, bool relayout) override;
  void setHeightPercent(std::int32_t percent, bool relayout) override;
  void setFixedWidth(std::int32_t px, bool relayout) override;
  void setFixedHeight(std::int32_t px, bool relayout) override;
  void setMinWidthOverride(std::int32_t px) override {
    minWidthOverride_ = platform::ui::DesktopScale::px(px);
  }
  // Files (and with setUrlDropTarget links) dragged from other programs and dropped on the box,
  // or on a child that takes no drops, go to its drop listeners: kEventFilesDropped for the
  // files, kEventLinksDropped for the links, each read with the getter during the event.
  void setAcceptFiles(bool accept) override;
  void addLaidOutListener(events::IEventListener* listener) override {
    laidOutListeners_.add(listener);
  }
  void addMovedListener(events::IEventListener* listener) override {
    movedListeners_.add(listener);
  }
  void addDropListener(events::IEventListener* listener) override { dropListeners_.add(listener); }
  void setUrlDropTarget(bool accept) override;
  void setShrinkWidth(bool shrink) override { shrinkWidth_ = shrink; }
  void setShrinkHeight(bool shrink) override { shrinkHeight_ = shrink; }

  std::int32_t getHSpacing() const override { return hSpacing_; }
  std::int32_t getVSpacing() const override { return vSpacing_; }
  std::int32_t getHorizontalAlign() const override { return horizontalAlign_; }
  std::int32_t getVerticalAlign() const override { return verticalAlign_; }
  LayoutResult getContentSizes() const override { return content_; }
  bool acceptsFiles() const { return acceptFiles_; }
  bool isUrlDropTarget() const { return urlDropTarget_; }
  // Local paths, and addresses as dropped; each valid during its event.
  const std::vector<std::u16string>& getDroppedFiles() const { return droppedFiles_; }
  const std::vector<std::u16string>& getDroppedLinks() const { return droppedLinks_; }
  // The window hands over a drop: the items go to the listeners with the event.
  void deliverDrop(BoxEvent event, std::vector<std::u16string> items);

  void reset() override;

 protected:
  std::int32_t ownMinWidth() const override;
  std::int32_t ownMinHeight() const override;
  std::int32_t ownMaxWidth() const override;
  std::int32_t ownMaxHeight() const override;
  void createPlatform(IWindow* window, WindowHost* host) override;

 private:
  std::int32_t layoutKind_ = kLayoutHorizontal;
  ILayoutManager* layoutManager_ = nullptr;
  std::int32_t horizontalAlign_ = kAlignLeft;
  std::int32_t verticalAlign_ = kAlignTop;
  std::int32_t hSpacing_ = 0;
  std::int32_t vSpacing_ = 0;
  LayoutResult content_;
  std::int32_t minWidthOverride_ = -1;
  bool shrinkWidth_ = false;
  bool shrinkHeight_ = false;
  bool acceptFiles_ = false;
  bool urlDropTarget_ = false;
  events::ListenerList laidOutListeners_;
  events::ListenerList dropListeners_;
  std::vector<std::u16string> droppedFiles_;
  std::vector<std::u16string> droppedLinks_;
  int layoutDepth_ = 0;
};

}  // namespace s::gui::win
