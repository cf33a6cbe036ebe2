// Window: files and links dropped from other programs, delivered to the box under the drop.
#include "gui/layout/Window.h"

#include <unistd.h>

#include <climits>
#include <string>
#include <vector>

#include "framework/str/Utf8.h"
#include "platform/ui/UriList.h"

namespace s::gui::win {

using platform::ui::Event;

namespace {
bool takesDrops(Component& component) {
  auto* box = dynamic_cast<BoxBase*>(&component);
  if (box != nullptr && (box->acceptsFiles() || box->isUrlDropTarget())) {
    return true;
  }
  for (IComponent* child : *component.getChildren()) {
    Component* c = Component::of(child);
    if (c != nullptr && takesDrops(*c)) {
      return true;
    }
  }
  return false;
}

std::vector<std::u16string> utf16(const std::vector<std::string>& items) {
  std::vector<std::u16string> out;
  for (const std::string& item : items) {
    std::u16string text(item.size(), u'\0');
    text.resize(str::utf8::decode(reinterpret_cast<const std::uint8_t*>(item.data()), item.size(),
                                  text.data()));
    out.push_back(std::move(text));
  }
  return out;
}
}  // namespace

void Window::refreshDropTarget() {
  Component::runSync([&] {
    const bool takes = takesDrops(*this);
    if (display_ != nullptr && takes != dropTarget_ &&
        display_->setDropTarget(platformWindow_, takes)) {
      dropTarget_ = takes;
    }
  });
}

BoxBase* Window::dropTargetAt(std::int32_t x, std::int32_t y, bool files, bool links) {
  for (Component* c = componentAt(x, y); c != nullptr; c = of(c->getParent())) {
    auto* box = dynamic_cast<BoxBase*>(c);
    if (box != nullptr && ((files && box->acceptsFiles()) || (links && box->isUrlDropTarget()))) {
      return box;
    }
  }
  return nullptr;
}

void Window::handleDrop(const Event& event) {
  char host[HOST_NAME_MAX + 1] = {};
  gethostname(host, sizeof host - 1);
  const platform::ui::UriList items = platform::ui::UriList::parse(display_->droppedText(), host);
  BoxBase* forFiles = items.files().empty() ? nullptr : dropTargetAt(event.x, event.y, true, false);
  BoxBase* forLinks = items.links().empty() ? nullptr : dropTargetAt(event.x, event.y, false, true);
  display_->answerDrag(forFiles != nullptr || forLinks != nullptr);
  if (forFiles != nullptr) {
    forFiles->deliverDrop(kEventFilesDropped, utf16(items.files()));
  }
  if (forLinks != nullptr) {
    forLinks->deliverDrop(kEventLinksDropped, utf16(items.links()));
  }
}

}  // namespace s::gui::win
