#include "gui/layout/OwnedWindow.h"

#include "gui/layout/Window.h"

namespace s::gui::win {

using platform::ui::Event;
using platform::ui::EventKind;
using platform::ui::Rect;

OwnedWindow::~OwnedWindow() {
  close();
}

bool OwnedWindow::open(Window& owner, const platform::ui::WindowOptions& options) {
  bool opened = false;
  owner.runSync([&] {
    platform::ui::IDisplay* screen = owner.display();
    if (isOpen() || screen == nullptr) {
      return;
    }
    platform::ui::WindowOptions made = options;
    // A tray icon belongs to the notification area, not above the window.
    if (made.owner == 0 && made.kind != platform::ui::WindowKind::kTrayIcon) {
      made.owner = owner.platformWindow();
    }
    const platform::ui::WindowId id = screen->createWindow(made);
    if (id == 0) {
      return;
    }
    // Stored before the platform window is this box's, so nothing is sent back.
    setBounds(made.bounds.x, made.bounds.y, made.bounds.width, made.bounds.height);
    attachPlatformWindow(id, made.bounds);
    owner_ = &owner;
    owner.adopt(*this);
    createPlatform(&owner, this);
    relayout();
    opened = true;
  });
  return opened;
}

void OwnedWindow::close() {
  Component::runSync([&] { detach(); });
}

void OwnedWindow::detach() {
  Window* owner = owner_.load();
  if (owner == nullptr) {
    return;
  }
  releaseInput();
  setModal(false);
  destroyPlatform();
  owner->disown(*this);
  owner->display()->destroyWindow(platformWindow_);
  attachPlatformWindow(0, {});
  shown_ = false;
  owner_ = nullptr;
}

void OwnedWindow::show(bool activate) {
  Component::runSync([&] {
    Window* owner = owner_.load();
    if (owner == nullptr) {
      return;
    }
    shown_ = true;
    relayout();
    owner->display()->show(platformWindow_, activate);
    invalidate(Rect{0, 0, getWidth(), getHeight()});
  });
}

void OwnedWindow::hide() {
  Component::runSync([&] {
    Window* owner = owner_.load();
    if (owner == nullptr || !shown_) {
      return;
    }
    releaseInput();
    owner->display()->hide(platformWindow_);
    shown_ = false;
  });
}

bool OwnedWindow::grabInput() {
  bool grabbed = false;
  Component::runSync([&] {
    Window* owner = owner_.load();
    if (owner == nullptr || !shown_ || !owner->display()->grabPointer(platformWindow_)) {
      return;
    }
    // One holder at a time: the one before loses it, as to another program.
    OwnedWindow* previous = owner->inputHolder();
    if (previous != nullptr && previous != this) {
      previous->grabLost();
    }
    holdsInput_ = true;
    owner->setInputHolder(this);
    grabbed = true;
  });
  return grabbed;
}

void OwnedWindow::releaseInput() {
  Component::runSync([&] {
    if (holdsInput_) {
      endGrab();
      owner_.load()->display()->ungrabPointer();
    }
  });
}

void OwnedWindow::endGrab() {
  holdsInput_ = false;
  Window* owner = owner_.load();
  if (owner != nullptr && owner->inputHolder() == this) {
    owner->setInputHolder(nullptr);
  }
}

void OwnedWindow::grabLost() {
  endGrab();
  // A press in progress ends with the grab; either way the listeners hear it once.
  if (!loseCapture()) {
    fire(kWindowCaptureLost);
  }
}

void OwnedWindow::setModal(bool modal) {
  Component::runSync([&] {
    Window* owner = owner_.load();
    if (owner == nullptr || modal == modal_) {
      return;
    }
    modal_ = modal;
    if (modal) {
      owner->addModal();
    } else {
      owner->removeModal();
    }
  });
}

platform::ui::IDisplay* OwnedWindow::display() const {
  Window* owner = owner_.load();
  return owner != nullptr ? owner->display() : nullptr;
}

bool OwnedWindow::isUiThread() const {
  Window* owner = owner_.load();
  return owner != nullptr && owner->isUiThread();
}

bool OwnedWindow::runSync(Operation op, void* block) {
  Window* owner = owner_.load();
  return owner != nullptr && owner->runSync(op, block);
}

void OwnedWindow::requestPaint() {
  if (Window* owner = owner_.load()) {
    owner->requestPaint();
  }
}

void OwnedWindow::takeOwnerInput(const Event& event) {
  Event here = event;
  here.window = platformWindow_;
  here.x = event.rootX - getX();
  here.y = event.rootY - getY();
  onPlatformEvent(here);
}

void OwnedWindow::onPlatformEvent(const Event& event) {
  switch (event.kind) {
    case EventKind::kConfigure: {
      const BoundsChange change = changeOf(event);
      takePlatformBounds(event);
      if (change.sized) {
        fire(kWindowSized);
      }
      if (change.moved) {
        fire(kWindowMoved);
      }
      return;
    }
    case EventKind::kMap:
      shown_ = true;
      invalidate(Rect{0, 0, getWidth(), getHeight()});
      return;
    case EventKind::kCloseRequest:
      fire(kWindowClosing);
      return;
    case EventKind::kUnmap:
      shown_ = false;
      // An unmapped window holds no grab.
      if (holdsInput_) {
        grabLost();
        return;
      }
      break;
    case EventKind::kPointerGrabLost:
      if (holdsInput_) {
        grabLost();
        return;
      }
      break;
    default:
      break;
  }
  handleHostEvent(event);
}

void OwnedWindow::reset() {
  close();
  BoxBase::reset();
  clearHostState();
}

}  // namespace s::gui::win
