#include "gui/layout/BoxBase.h"

#include <algorithm>

#include "gui/layout/FlowHLayout.h"
#include "gui/layout/LinearLayout.h"
#include "gui/layout/PileLayout.h"
#include "gui/layout/Window.h"
#include "platform/ui/DesktopScale.h"

namespace s::gui::win {

using platform::ui::DesktopScale;

void BoxBase::reset() {
  Component::reset();
  layoutKind_ = kLayoutHorizontal;
  layoutManager_ = nullptr;
  horizontalAlign_ = kAlignLeft;
  verticalAlign_ = kAlignTop;
  hSpacing_ = vSpacing_ = 0;
  content_ = {};
  minWidthOverride_ = -1;
  shrinkWidth_ = shrinkHeight_ = acceptFiles_ = urlDropTarget_ = false;
  laidOutListeners_.clear();
  dropListeners_.clear();
  droppedFiles_.clear();
  droppedLinks_.clear();
  layoutDepth_ = 0;
}

std::int32_t BoxBase::ownMinWidth() const {
  if (shrinkWidth_) {
    return 0;
  }
  const std::int32_t width = insetLeft_ + insetRight_ + content_.contentMinWidth;
  return minWidthOverride_ >= 0 ? std::max(width, minWidthOverride_) : width;
}

std::int32_t BoxBase::ownMinHeight() const {
  return shrinkHeight_ ? 0 : insetTop_ + insetBottom_ + content_.contentMinHeight;
}

std::int32_t BoxBase::ownMaxWidth() const {
  return insetLeft_ + insetRight_ + std::max(content_.contentMinWidth, content_.contentMaxWidth);
}

std::int32_t BoxBase::ownMaxHeight() const {
  return insetTop_ + insetBottom_ + std::max(content_.contentMinHeight, content_.contentMaxHeight);
}

void BoxBase::setAcceptFiles(bool accept) {
  runSync([&] {
    acceptFiles_ = accept;
    if (auto* window = dynamic_cast<Window*>(getWindow()); window != nullptr && created()) {
      window->refreshDropTarget();
    }
  });
}

void BoxBase::setUrlDropTarget(bool accept) {
  runSync([&] {
    urlDropTarget_ = accept;
    if (auto* window = dynamic_cast<Window*>(getWindow()); window != nullptr && created()) {
      window->refreshDropTarget();
    }
  });
}

void BoxBase::createPlatform(IWindow* window, WindowHost* host) {
  Component::createPlatform(window, host);
  if (auto* top = dynamic_cast<Window*>(window);
      top != nullptr && (acceptFiles_ || urlDropTarget_)) {
    top->refreshDropTarget();
  }
}

void BoxBase::deliverDrop(BoxEvent event, std::vector<std::u16string> items) {
  std::vector<std::u16string>& held = event == kEventFilesDropped ? droppedFiles_ : droppedLinks_;
  held = std::move(items);
  dropListeners_.fire(this, event);
  held.clear();
}

ILayoutManager* BoxBase::getLayoutManager() const {
  return layoutManager_ != nullptr ? layoutManager_ : &FlowHLayout::instance();
}

void BoxBase::add(IComponent* child) {
  if (child == nullptr) {
    return;
  }
  runSync([&] {
    children_.push(child);
    // Without a platform window this only records the parent; the child is created with us.
    child->setParent(this);
    if (created()) {
      child->setOrigin(insetLeft_, insetTop_);
      relayout();
      relayoutParent();
      // A flowing parent settles its line breaks only on the second pass.
      if (getLayoutKind() == kLayoutFlowH) {
        relayoutParent();
      }
    }
  });
}

void BoxBase::remove(IComponent* child, bool recurse) {
  runSync([&] {
    const std::int64_t at = children_.indexOf(child);
    if (at < 0) {
      return;
    }
    PoolPtr<IComponent> removed = children_.takeAt(static_cast<std::uint32_t>(at));
    if (recurse) {
      removed->removeAll(true);
    }
    removed->setParent(nullptr);
    relayout();
  });
}

void BoxBase::relayout() {
  runSync([&] {
    // A layout may lay out its box again through its children, once; deeper is a loop.
    if (layoutDepth_ >= 2) {
      return;
    }
    ++layoutDepth_;
    const bool deferred = isDeferred();
    for (IComponent* child : children_) {
      child->setOrigin(insetLeft_, insetTop_);
      if (!deferred) {
        child->beginDeferred();
      }
    }
    ILayoutManager* manager = layoutManager_;
    if (manager == nullptr) {
      switch (layoutKind_) {
        case kLayoutVertical:
          manager = &LinearLayout::vertical();
          break;
        case kLayoutFlowH:
          manager = &FlowHLayout::instance();
          break;
        case kLayoutPile:
          manager = &PileLayout::instance();
          break;
        default:
          manager = &LinearLayout::horizontal();
          break;
      }
    }
    content_ = manager->layout(*this);
    if (!deferred) {
      for (IComponent* child : children_) {
        child->endDeferred();
        Component* c = of(child);
        if (c != nullptr) {
          c->invalidate();
        }
      }
    }
    laidOutListeners_.fire(this, kEventLaidOut);
    --layoutDepth_;
  });
}

void BoxBase::setInsetLeft(std::int32_t px) {
  insetLeft_ = DesktopScale::px(px);
  relayout();
}
void BoxBase::setInsetRight(std::int32_t px) {
  insetRight_ = DesktopScale::px(px);
  relayout();
}
void BoxBase::setInsetTop(std::int32_t px) {
  insetTop_ = DesktopScale::px(px);
  relayout();
}
void BoxBase::setInsetBottom(std::int32_t px) {
  insetBottom_ = DesktopScale::px(px);
  relayout();
}
void BoxBase::setInsetH(std::int32_t px) {
  insetLeft_ = insetRight_ = DesktopScale::px(px);
  relayout();
}
void BoxBase::setInsetV(std::int32_t px) {
  insetTop_ = insetBottom_ = DesktopScale::px(px);
  relayout();
}
void BoxBase::setInset(std::int32_t px) {
  insetLeft_ = insetRight_ = insetTop_ = insetBottom_ = DesktopScale::px(px);
  relayout();
}

void BoxBase::fillParent() {
  setWidthPercentValue(100);
  setHeightPercentValue(100);
  setFixedWidthValue(-1);
  setFixedHeightValue(-1);
}

void BoxBase::setWidthPercent(std::int32_t percent, bool relayout) {
  setWidthPercentValue(percent);
  setFixedWidthValue(-1);
  if (relayout) {
    relayoutParent();
  }
}

void BoxBase::setHeightPercent(std::int32_t percent, bool relayout) {
  setHeightPercentValue(percent);
  setFixedHeightValue(-1);
  if (relayout) {
    relayoutParent();
  }
}

void BoxBase::setFixedWidth(std::int32_t px, bool relayout) {
  setFixedWidthValue(DesktopScale::px(px));
  setWidthPercentValue(-1);
  if (relayout) {
    relayoutParent();
  }
}

void BoxBase::setFixedHeight(std::int32_t px, bool relayout) {
  setFixedHeightValue(DesktopScale::px(px));
  setHeightPercentValue(-1);
  if (relayout) {
    relayoutParent();
  }
}

}  // namespace s::gui::win
