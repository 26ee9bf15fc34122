#include "views/popup_menu.h"

namespace kavex {

void PopupMenu::open(std::vector<MenuEntry> entries) {
    entries_ = std::move(entries);
    open_ = true;
    if (observer_) observer_(*this);
}

void PopupMenu::choose(int index) {
    if (!open_) return;
    open_ = false;
    if (index < 0 || index >= static_cast<int>(entries_.size())) return;
    // The command may open the menu again with other entries: run a copy.
    std::function<void()> command = entries_[static_cast<std::size_t>(index)].command;
    if (command) command();
}

void PopupMenu::dismiss() {
    open_ = false;
}

std::vector<std::string> PopupMenu::captions() const {
    std::vector<std::string> out;
    out.reserve(entries_.size());
    for (const MenuEntry& e : entries_)
        out.push_back(e.caption);
    return out;
}

int PopupMenu::indexOf(const std::string& caption) const {
    for (std::size_t i = 0; i < entries_.size(); ++i)
        if (entries_[i].caption == caption) return static_cast<int>(i);
    return -1;
}

} // namespace kavex
