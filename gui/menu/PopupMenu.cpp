#include "gui/menu/PopupMenu.h"

#include <utility>

#include "framework/lang/Localizer.h"
#include "gui/layout/Window.h"
#include "gui/menu/MenuTracker.h"

namespace s::gui::win {

PopupMenu::~PopupMenu() {
  if (localizer_ != nullptr) {
    localizer_->removeListener(this);
  }
}

void PopupMenu::reset() {
  setLocalizer(nullptr);
  name_.clear();
  nameTextId_ = -1;
  entries_.clear();
  listeners_.clear();
  lastCommand_ = -1;
}

void PopupMenu::onEvent(IObject* source, std::int32_t /*code*/) {
  if (source != nullptr && source == localizer_) {
    retextAll();
  }
}

PopupMenu::Entry PopupMenu::makeEntry(PoolPtr<MenuItem> item) const {
  Entry entry;
  if (!item->isSeparator()) {
    if (item->getLocalizer() == nullptr) {
      item->setLocalizer(localizer_);
    }
    item->reread();
    entry.checked = item->isChecked();
  }
  entry.item = std::move(item);
  return entry;
}

void PopupMenu::add(PoolPtr<MenuItem> item) {
  if (item != nullptr) {
    entries_.push_back(makeEntry(std::move(item)));
  }
}

void PopupMenu::insert(std::uint32_t position, PoolPtr<MenuItem> item) {
  if (item == nullptr) {
    return;
  }
  const std::size_t at = std::min<std::size_t>(position, entries_.size());
  entries_.insert(entries_.begin() + static_cast<std::ptrdiff_t>(at), makeEntry(std::move(item)));
}

void PopupMenu::removeAll() {
  // The last entry first, as the entries were built.
  while (!entries_.empty()) {
    entries_.pop_back();
  }
}

bool PopupMenu::removeAt(std::uint32_t position) {
  if (position >= entries_.size()) {
    return false;
  }
  entries_.erase(entries_.begin() + position);
  return true;
}

bool PopupMenu::removeCommand(std::int32_t commandId) {
  std::uint32_t index = 0;
  return indexOfCommand(commandId, index) && removeAt(index);
}

const PopupMenu::Entry* PopupMenu::findEntry(std::int32_t commandId) const {
  for (const Entry& entry : entries_) {
    if (entry.item != nullptr && !entry.item->isSeparator() &&
        entry.item->getCommandId() == commandId) {
      return &entry;
    }
    if (entry.subMenu != nullptr) {
      if (const Entry* inner = entry.subMenu->findEntry(commandId)) {
        return inner;
      }
    }
  }
  return nullptr;
}

PopupMenu::Entry* PopupMenu::findEntry(std::int32_t commandId) {
  return const_cast<Entry*>(std::as_const(*this).findEntry(commandId));
}

menuitem::MenuItem* PopupMenu::findItem(std::int32_t commandId) const {
  const Entry* entry = findEntry(commandId);
  return entry != nullptr ? entry->item.get() : nullptr;
}

bool PopupMenu::containsCommand(std::int32_t commandId) const {
  return commandId >= 0 && findEntry(commandId) != nullptr;
}

bool PopupMenu::indexOfCommand(std::int32_t commandId, std::uint32_t& index) const {
  for (std::uint32_t i = 0; i < entries_.size(); ++i) {
    const Entry& entry = entries_[i];
    if (entry.item != nullptr && !entry.item->isSeparator() &&
        entry.item->getCommandId() == commandId) {
      index = i;
      return true;
    }
  }
  return false;
}

bool PopupMenu::setSubMenuEnabled(const PopupMenu* subMenu, bool enabled) {
  for (Entry& entry : entries_) {
    if (entry.subMenu != nullptr && entry.subMenu.get() == subMenu) {
      entry.enabled = enabled;
      return true;
    }
  }
  return false;
}

bool PopupMenu::setEnabled(std::int32_t commandId, bool enabled) {
  Entry* entry = findEntry(commandId);
  if (entry == nullptr) {
    return false;
  }
  entry->enabled = enabled;
  return true;
}

bool PopupMenu::isEnabledAt(std::uint32_t position) const {
  return position < entries_.size() && entries_[position].enabled;
}

void PopupMenu::addSubMenu(PoolPtr<PopupMenu> menu) {
  if (menu == nullptr) {
    return;
  }
  if (menu->localizer_ == nullptr && localizer_ != nullptr) {
    menu->setLocalizer(localizer_);
  }
  Entry entry;
  entry.subMenu = std::move(menu);
  entries_.push_back(std::move(entry));
}

void PopupMenu::setLocalizer(lang::Localizer* localizer) {
  if (localizer == localizer_) {
    return;
  }
  if (localizer_ != nullptr) {
    localizer_->removeListener(this);
  }
  localizer_ = localizer;
  if (localizer_ != nullptr) {
    localizer_->addListener(this);
  }
}

bool PopupMenu::isChecked(std::int32_t commandId) const {
  const MenuItem* item = findItem(commandId);
  return item != nullptr && item->isChecked();
}

bool PopupMenu::setChecked(std::int32_t commandId, bool checked) {
  Entry* entry = findEntry(commandId);
  if (entry == nullptr) {
    return false;
  }
  entry->item->setChecked(checked);
  entry->checked = checked;
  return true;
}

bool PopupMenu::setText(std::int32_t commandId, std::u16string_view text) {
  Entry* entry = findEntry(commandId);
  if (entry == nullptr) {
    return false;
  }
  entry->item->setText(text);
  // A text id, when the item has one, wins over the literal text.
  entry->item->reread();
  return true;
}

bool PopupMenu::setTextId(std::int32_t commandId, std::int32_t textId) {
  Entry* entry = findEntry(commandId);
  if (entry == nullptr) {
    return false;
  }
  entry->item->setTextId(textId);
  if (entry->item->getLocalizer() == nullptr) {
    entry->item->setLocalizer(localizer_);
  }
  entry->item->reread();
  return true;
}

void PopupMenu::retextAll() {
  for (Entry& entry : entries_) {
    if (entry.item != nullptr) {
      entry.item->reread();
    } else if (entry.subMenu != nullptr) {
      entry.subMenu->retextAll();
    }
  }
}

std::u16string PopupMenu::getName() const {
  if (nameTextId_ >= 0 && localizer_ != nullptr) {
    return std::u16string(localizer_->text(nameTextId_));
  }
  return name_;
}

void PopupMenu::setNameTextId(std::int32_t textId) {
  nameTextId_ = textId;
}

void PopupMenu::setName(std::u16string_view text) {
  name_ = text;
}

bool PopupMenu::checkRadio(std::int32_t checkPosition, std::int32_t firstPosition,
                           std::int32_t lastPosition) {
  if (firstPosition < 0 || lastPosition < firstPosition ||
      lastPosition >= static_cast<std::int32_t>(entries_.size())) {
    return false;
  }
  for (std::int32_t i = firstPosition; i <= lastPosition; ++i) {
    Entry& entry = entries_[static_cast<std::size_t>(i)];
    const bool marked = i == checkPosition;
    entry.radio = true;
    entry.checked = marked;
    if (entry.item != nullptr && !entry.item->isSeparator()) {
      entry.item->setChecked(marked);
    }
  }
  return true;
}

bool PopupMenu::checkRadioAt(std::int32_t position) {
  if (position < -1 || position >= static_cast<std::int32_t>(entries_.size())) {
    return false;
  }
  // An empty menu has nothing to mark, which is what -1 asks for.
  return entries_.empty() || checkRadio(position, 0, static_cast<std::int32_t>(count()) - 1);
}

bool PopupMenu::checkRadioCommand(std::int32_t commandId) {
  std::uint32_t index = 0;
  return indexOfCommand(commandId, index) && checkRadioAt(static_cast<std::int32_t>(index));
}

void PopupMenu::dispatch(std::int32_t commandId) {
  lastCommand_ = commandId;
  listeners_.fire(this, 0);
}

PopupMenu::EntryView PopupMenu::entryAt(std::uint32_t position) const {
  EntryView view;
  if (position >= entries_.size()) {
    return view;
  }
  const Entry& entry = entries_[position];
  view.enabled = entry.enabled;
  if (entry.checked) {
    view.mark = entry.radio ? drawer::MenuMark::kRadio : drawer::MenuMark::kCheck;
  }
  if (entry.subMenu != nullptr) {
    view.subMenu = entry.subMenu.get();
    view.text = entry.subMenu->getName();
  } else {
    view.separator = entry.item->isSeparator();
    view.text = entry.item->getText();
    view.commandId = entry.item->getCommandId();
  }
  return view;
}

std::int32_t PopupMenu::track(int x, int y, IWindow& owner) {
  auto* window = dynamic_cast<Window*>(&owner);
  if (window == nullptr) {
    return -1;
  }
  TrackOptions options;
  options.anchor = {x, y, 0, 0};
  return trackWith(options, *window).command;
}

std::int32_t PopupMenu::trackBottomAligned(int x, int y, IWindow& owner) {
  auto* window = dynamic_cast<Window*>(&owner);
  if (window == nullptr) {
    return -1;
  }
  TrackOptions options;
  options.anchor = {x, y, 0, 0};
  options.side = MenuSide::kAbove;
  return trackWith(options, *window).command;
}

PopupMenu::TrackResult PopupMenu::trackWith(const TrackOptions& options, Window& owner) {
  TrackResult result;
  owner.runSync([&] {
    if (owner.display() != nullptr) {
      MenuTracker tracker(owner, *this, options);
      result = tracker.run();
    }
  });
  return result;
}

}  // namespace s::gui::win
