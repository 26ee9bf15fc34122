#include "platform/qt/qt_prompts.h"

#include "platform/qt/qt_colour.h"

#include <QColorDialog>
#include <QInputDialog>
#include <QMessageBox>
#include <QPushButton>

namespace kavex {
namespace {

QString q(const std::string& s) {
    return QString::fromStdString(s);
}

// A Yes/No box labelled in German; default is the button Return presses.
bool ask(QWidget* parent, const QString& caption, const QString& text, const QString& detail,
         QMessageBox::StandardButton defaultButton) {
    QMessageBox box(QMessageBox::Question, caption, text, QMessageBox::Yes | QMessageBox::No, parent);
    box.button(QMessageBox::Yes)->setText("Ja");
    box.button(QMessageBox::No)->setText("Nein");
    box.setDefaultButton(defaultButton);
    box.setEscapeButton(QMessageBox::No);
    if (!detail.isEmpty()) box.setInformativeText(detail);
    return box.exec() == QMessageBox::Yes;
}

} // namespace

void QtPrompts::message(const std::string& text, const std::string& caption) {
    QMessageBox::information(parent_, caption.empty() ? QString("Kavex") : q(caption), q(text));
}

bool QtPrompts::askYesNo(const std::string& text, const std::string& caption) {
    return ask(parent_, caption.empty() ? QString("Kavex") : q(caption), q(text), {}, QMessageBox::Yes);
}

bool QtPrompts::confirmOrders(const std::string& question, const std::string& orders) {
    return ask(parent_, "Kavex", q(question), q(orders), QMessageBox::No);
}

bool QtPrompts::chooseColour(int& colour) {
    QColor chosen = QColorDialog::getColor(toQColor(colour), parent_);
    if (!chosen.isValid()) return false;
    colour = fromQColor(chosen);
    return true;
}

std::optional<std::string> QtPrompts::askText(const std::string& question, const std::string& initial) {
    QInputDialog dialog(parent_);
    dialog.setWindowTitle(QStringLiteral("Kavex"));
    dialog.setLabelText(QString::fromStdString(question));
    dialog.setTextValue(QString::fromStdString(initial));
    dialog.setOkButtonText(QStringLiteral("OK"));
    dialog.setCancelButtonText(QStringLiteral("Abbrechen"));
    if (dialog.exec() != QDialog::Accepted) return std::nullopt;
    return dialog.textValue().toStdString();
}

} // namespace kavex
