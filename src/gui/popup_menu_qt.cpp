#include "gui/popup_menu_qt.h"

#include "views/popup_menu.h"

#include <QCursor>
#include <QMenu>

namespace kavex {

PopupMenuPresenter::PopupMenuPresenter(PopupMenu& model, QWidget* parent) : model_(model), parent_(parent) {
    execMenu = [](QMenu& menu) { return menu.exec(QCursor::pos()); };
    model_.setObserver([this](PopupMenu&) { show(); });
}

PopupMenuPresenter::~PopupMenuPresenter() {
    model_.setObserver(nullptr);
}

void PopupMenuPresenter::show() {
    QMenu menu(parent_);
    const auto& entries = model_.entries();
    for (std::size_t i = 0; i < entries.size(); ++i) {
        QString caption = QString::fromStdString(entries[i].caption);
        QAction* action = entries[i].command ? menu.addAction(caption) : menu.addSection(caption);
        action->setData(static_cast<int>(i));
        action->setEnabled(static_cast<bool>(entries[i].command));
    }
    QAction* chosen = execMenu(menu);
    if (chosen == nullptr || !model_.isOpen()) {
        model_.dismiss();
        return;
    }
    model_.choose(chosen->data().toInt());
}

} // namespace kavex
