#pragma once
// The trading window's keys on screen: one window-wide shortcut per bound key, made again
// whenever the keys change, and the key's name in the tooltip of the button that does the
// same. Editing a key on the settings tab: the box "Tastatur".
#include <QGroupBox>
#include <QObject>

#include <vector>

class QKeySequenceEdit;
class QShortcut;
class QWidget;

namespace kavex {

class KeyActions;
class KeyBindings;

class WindowKeys : public QObject {
  public:
    WindowKeys(QWidget& window, KeyBindings& bindings, KeyActions& actions);
    ~WindowKeys() override;

  private:
    void rebuild();
    void nameKeysInToolTips();

    QWidget& window_;
    KeyBindings& bindings_;
    KeyActions& actions_;
    std::vector<QShortcut*> shortcuts_;
};

// One line per action: its caption, its key (focus the field and press the new key) and
// "Löschen", which leaves the action without a key.
class KeySettingsBox : public QGroupBox {
  public:
    explicit KeySettingsBox(KeyBindings& bindings, QWidget* parent = nullptr);
    void sync();

  private:
    KeyBindings& bindings_;
    std::vector<QKeySequenceEdit*> edits_;
};

} // namespace kavex
