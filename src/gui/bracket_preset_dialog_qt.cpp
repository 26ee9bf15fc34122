#include "gui/bracket_preset_dialog_qt.h"

#include "views/bracket_preset_dialog.h"

#include <QButtonGroup>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

namespace kavex {
namespace {

QString q(const std::string& s) {
    return QString::fromStdString(s);
}

} // namespace

BracketPresetDialogQt::BracketPresetDialogQt(BracketPresetDialog& model, QWidget* parent)
    : QDialog(parent), model_(model) {
    setWindowTitle(BracketPresetDialog::kCaption);
    heading_ = new QLabel(q(model_.heading.text()));
    QFont bold = heading_->font();
    bold.setBold(true);
    heading_->setFont(bold);

    options_ = new QButtonGroup(this);
    auto* optionBox = new QVBoxLayout;
    for (int mode = 0; mode < static_cast<int>(BracketPresetDialog::kOptions.size()); ++mode) {
        auto* option = new QRadioButton(BracketPresetDialog::kOptions[static_cast<std::size_t>(mode)]);
        option->setChecked(mode == model_.selectedOption());
        options_->addButton(option, mode);
        optionBox->addWidget(option);
    }
    connect(options_, &QButtonGroup::idClicked, this, [this](int mode) { model_.chooseOption(mode); });

    profit_ = new QLineEdit(q(model_.profitField.text()));
    stop_ = new QLineEdit(q(model_.stopField.text()));
    auto* fields = new QFormLayout;
    fields->addRow(BracketPresetDialog::kProfitCaption, profit_);
    fields->addRow(BracketPresetDialog::kStopCaption, stop_);

    ok_ = new QPushButton(BracketPresetDialog::kOkCaption);
    ok_->setDefault(true);
    ok_->setToolTip("Werte speichern und die Bracketorder anlegen");
    connect(ok_, &QPushButton::clicked, this, &QDialog::accept);
    auto* cancel = new QPushButton(BracketPresetDialog::kCancelCaption);
    cancel->setObjectName("cancel");
    cancel->setToolTip("Schließt ohne zu speichern; die Bracketorder wird nicht angelegt");
    // Bypasses done(): cancelling stores nothing.
    connect(cancel, &QPushButton::clicked, this, [this] {
        model_.cancel();
        QDialog::done(QDialog::Rejected);
    });
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(ok_);
    buttons->addWidget(cancel);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(heading_);
    layout->addLayout(optionBox);
    layout->addLayout(fields);
    layout->addLayout(buttons);
}

void BracketPresetDialogQt::done(int result) {
    model_.profitField.setText(profit_->text().toStdString());
    model_.stopField.setText(stop_->text().toStdString());
    model_.confirm();
    if (model_.visible.checked()) return; // refused: the user corrects the values
    QDialog::done(result);
}

void BracketPresetDialogQt::run(BracketPresetDialog& model, QWidget* parent) {
    if (!model.visible.checked()) return;
    BracketPresetDialogQt dialog(model, parent);
    dialog.exec();
}

} // namespace kavex
