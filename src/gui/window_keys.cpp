#include "gui/window_keys.h"

#include "views/key_actions.h"

#include <QApplication>
#include <QGridLayout>
#include <QKeySequenceEdit>
#include <QLabel>
#include <QPushButton>
#include <QShortcut>

namespace kavex {
namespace {

QString q(const std::string& s) {
    return QString::fromStdString(s);
}

const char* kPlainToolTip = "kavexPlainToolTip";

} // namespace

WindowKeys::WindowKeys(QWidget& window, KeyBindings& bindings, KeyActions& actions)
    : QObject(&window), window_(window), bindings_(bindings), actions_(actions) {
    // A modal dialog has the keyboard; the chat is a window of its own, and a window-wide
    // shortcut only fires while the trading window is the active one.
    actions_.otherInputFocused = [] { return QApplication::activeModalWidget() != nullptr; };
    bindings_.changed = [this] { rebuild(); };
    rebuild();
}

WindowKeys::~WindowKeys() {
    bindings_.changed = nullptr;
    actions_.otherInputFocused = nullptr;
}

void WindowKeys::rebuild() {
    for (QShortcut* s : shortcuts_)
        delete s;
    shortcuts_.clear();
    for (const KeyActionText& t : kKeyActionTexts) {
        const std::string& key = bindings_.key(t.action);
        if (key.empty()) continue;
        auto* shortcut = new QShortcut(QKeySequence(q(key), QKeySequence::PortableText), &window_);
        shortcut->setContext(Qt::WindowShortcut);
        connect(shortcut, &QShortcut::activated, this, [this, key] { actions_.press(key); });
        shortcuts_.push_back(shortcut);
    }
    nameKeysInToolTips();
}

void WindowKeys::nameKeysInToolTips() {
    for (const KeyActionText& t : kKeyActionTexts) {
        for (QPushButton* button : window_.findChildren<QPushButton*>()) {
            if (button->text() != QString::fromUtf8(t.caption)) continue;
            // The tooltip without a key is kept, so that a changed key replaces the old name.
            if (!button->property(kPlainToolTip).isValid())
                button->setProperty(kPlainToolTip, button->toolTip());
            const QString plain = button->property(kPlainToolTip).toString();
            const std::string& key = bindings_.key(t.action);
            if (key.empty())
                button->setToolTip(plain);
            else
                button->setToolTip(plain.isEmpty() ? "Taste " + q(key) : plain + " (Taste " + q(key) + ")");
        }
    }
}

KeySettingsBox::KeySettingsBox(KeyBindings& bindings, QWidget* parent)
    : QGroupBox("Tastatur", parent), bindings_(bindings) {
    auto* layout = new QGridLayout(this);
    layout->setVerticalSpacing(1);
    int row = 0;
    for (const KeyActionText& t : kKeyActionTexts) {
        auto* edit = new QKeySequenceEdit;
        edit->setObjectName(QString("key") + t.name);
        const KeyAction action = t.action;
        // One key, not a chord: the first key pressed is taken at once.
        connect(edit, &QKeySequenceEdit::keySequenceChanged, this,
                [this, edit, action](const QKeySequence& keys) {
                    if (keys.isEmpty()) return;
                    const QString text = QKeySequence(keys[0]).toString(QKeySequence::PortableText);
                    edit->clearFocus();
                    bindings_.assign(action, text.toStdString());
                    sync();
                });
        auto* clear = new QPushButton("Löschen");
        clear->setToolTip("Taste für diesen Befehl entfernen");
        connect(clear, &QPushButton::clicked, this, [this, action] {
            bindings_.clear(action);
            sync();
        });
        layout->addWidget(new QLabel(QString::fromUtf8(t.caption)), row, 0);
        layout->addWidget(edit, row, 1);
        layout->addWidget(clear, row, 2);
        edits_.push_back(edit);
        ++row;
    }
    sync();
}

void KeySettingsBox::sync() {
    for (std::size_t i = 0; i < edits_.size(); ++i) {
        QSignalBlocker block(edits_[i]);
        edits_[i]->setKeySequence(
            QKeySequence(q(bindings_.key(kKeyActionTexts[i].action)), QKeySequence::PortableText));
    }
}

} // namespace kavex
