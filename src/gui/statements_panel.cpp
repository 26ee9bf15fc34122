#include "gui/statements_panel.h"

#include "gui/combo_popup.h"
#include "gui/text_list_model.h"
#include "views/statements.h"

#include <QCheckBox>
#include <QComboBox>
#include <QHBoxLayout>
#include <QListView>
#include <QPushButton>
#include <QVBoxLayout>

namespace kavex {

StatementsPanel::StatementsPanel(Statements& statements, QWidget* parent)
    : QWidget(parent), statements_(statements) {
    choice_ = new QComboBox;
    choice_->setObjectName("statementFiles");
    choice_->setPlaceholderText("Auszüge...");
    choice_->setToolTip("Gespeicherten Kontoauszug zeigen");
    opensBelow(choice_);
    auto* files = new TextListModel(statements_.files, choice_);
    choice_->setModel(files);
    // A refill (a statement arriving, say) leaves nothing chosen.
    connect(files, &QAbstractItemModel::modelReset, this, [this] { syncChoice(); });
    choice_->setMinimumContentsLength(24);
    connect(choice_, &QComboBox::activated, this, [this](int index) {
        statements_.showStatement(index);
        syncChoice();
    });

    append_ = new QCheckBox("Anhängen");
    append_->setChecked(statements_.append.checked());
    append_->setToolTip("Alle Auszüge hintereinander zeigen");
    connect(append_, &QCheckBox::toggled, this, [this](bool on) {
        statements_.setAppendAll(on);
        syncChoice();
    });

    auto button = [this](const QString& caption, auto action, const QString& hint) {
        auto* b = new QPushButton(caption);
        b->setToolTip(hint);
        connect(b, &QPushButton::clicked, this, [this, action] {
            (statements_.*action)();
            syncChoice();
        });
        return b;
    };

    list_ = new QListView;
    list_->setObjectName("statementLines");
    list_->setModel(new TextListModel(statements_.statement, list_));
    list_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    list_->setUniformItemSizes(true);
    QFont fixed("Monospace");
    fixed.setStyleHint(QFont::TypeWriter);
    list_->setFont(fixed); // statements are laid out in columns

    auto* controls = new QHBoxLayout;
    controls->addWidget(choice_);
    controls->addWidget(append_);
    controls->addWidget(button("Auszug löschen", &Statements::deleteStatement, "Gezeigten Auszug löschen"));
    controls->addWidget(
        button("Auszüge anfordern", &Statements::requestStatements, "Kontoauszüge beim Server anfordern"));
    controls->addWidget(button("&Drucken", &Statements::print, "Gezeigten Auszug drucken (Alt+D)"));
    controls->addStretch(1);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(controls);
    layout->addWidget(list_, 1);
    syncChoice();
}

void StatementsPanel::syncChoice() {
    choice_->setCurrentIndex(statements_.selected());
}

} // namespace kavex
