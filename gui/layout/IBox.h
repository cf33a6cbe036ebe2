#pragma once

#include <cstdint>

#include "framework/base/IEventListener.h"
#include "gui/layout/IContainer.h"
#include "gui/layout/ILayoutManager.h"

namespace s::gui {

enum LayoutKind : std::int32_t {
  kLayoutHorizontal = 0,
  kLayoutVertical = 1,
  kLayoutFlowH = 2,
  kLayoutPile = 3,
};
enum HorizontalAlign : std::int32_t { kAlignLeft = 0, kAlignCenter = 1, kAlignRight = 2 };
enum VerticalAlign : std::int32_t { kAlignTop = 0, kAlignMiddle = 1, kAlignBottom = 2 };

// The events a box (or any component, for kEventMovedOrResized) sends its listeners.
enum BoxEvent : std::int32_t {
  kEventLaidOut = 3,
  kEventMovedOrResized = 4,
  kEventFilesDropped = 5,  // the box's getDroppedFiles()
  kEventLinksDropped = 6,  // the box's getDroppedLinks()
};

// A container that lays its children out with one of four layouts or a layout manager.
class IBox : public IContainer {
 public:
  virtual ILayoutManager* getLayoutManager() const = 0;
  virtual void setLayoutManager(ILayoutManager* manager) = 0;
  virtual void setHSpacing(std::int32_t px) = 0;
  virtual void setVSpacing(std::int32_t px) = 0;
  virtual void setInsetLeft(std::int32_t px) = 0;
  virtual void setInsetRight(std::int32_t px) = 0;
  virtual void setInsetTop(std::int32_t px) = 0;
  virtual void setInsetBottom(std::int32_t px) = 0;
  virtual void setInsetH(std::int32_t px) = 0;
  virtual void setInsetV(std::int32_t px) = 0;
  virtual void setInset(std::int32_t px) = 0;
  virtual void alignTop() = 0;
  virtual void alignMiddle() = 0;
  virtual void alignBottom() = 0;
  virtual void alignLeft() = 0;
  virtual void alignCenter() = 0;
  virtual void alignRight() = 0;
  virtual std::int32_t getLayoutKind() const = 0;
  virtual void setLayoutHorizontal() = 0;
  virtual void setLayoutVertical() = 0;
  virtual void setLayoutFlowH() = 0;
  virtual void setLayoutPile() = 0;
  virtual void fillParent() = 0;
  virtual void setWidthPercent(std::int32_t percent, bool relayout) = 0;
  virtual void setHeightPercent(std::int32_t percent, bool relayout) = 0;
  virtual void setFixedWidth(std::int32_t px, bool relayout) = 0;
  virtual void setFixedHeight(std::int32_t px, bool relayout) = 0;
  virtual void setMinWidthOverride(std::int32_t px) = 0;
  virtual void setAcceptFiles(bool accept) = 0;
  virtual void addLaidOutListener(events::IEventListener* listener) = 0;
  virtual void addMovedListener(events::IEventListener* listener) = 0;
  virtual void addDropListener(events::IEventListener* listener) = 0;
  virtual void setUrlDropTarget(bool accept) = 0;
  virtual void setShrinkWidth(bool shrink) = 0;
  virtual void setShrinkHeight(bool shrink) = 0;

  // What the layouts read.
  virtual std::int32_t getHSpacing() const = 0;
  virtual std::int32_t getVSpacing() const = 0;
  virtual std::int32_t getHorizontalAlign() const = 0;
  virtual std::int32_t getVerticalAlign() const = 0;
  virtual LayoutResult getContentSizes() const = 0;
};

}  // namespace s::gui
