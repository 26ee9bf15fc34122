#pragma once
// A context menu kept headless: the logic fills it and opens it, the window shows it at
// the mouse and reports the choice back. Like a message box it is modal: the window's
// observer runs while the menu is open and returns once it is closed.
#include <functional>
#include <string>
#include <vector>

namespace kavex {

struct MenuEntry {
    std::string caption;
    std::function<void()> command; // empty for the header, which cannot be chosen
};

class PopupMenu {
  public:
    using Observer = std::function<void(PopupMenu&)>;

    // Opens the menu with these entries and hands it to the window.
    void open(std::vector<MenuEntry> entries);
    // Runs the command of entry `index` (0 is the header) and closes the menu; an index
    // without a command only closes it.
    void choose(int index);
    void dismiss();

    bool isOpen() const { return open_; }
    const std::vector<MenuEntry>& entries() const { return entries_; }
    std::vector<std::string> captions() const;
    // Index of the entry with this caption; -1 when none.
    int indexOf(const std::string& caption) const;

    void setObserver(Observer observer) { observer_ = std::move(observer); }

  private:
    std::vector<MenuEntry> entries_;
    bool open_ = false;
    Observer observer_;
};

} // namespace kavex
