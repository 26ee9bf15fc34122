#include "platform/qt/qt_prompts.h"

#include "platform/qt/qt_colour.h"

#include <QColorDialog>
#include <QMessageBox>

namespace kavex {
namespace {

QString q(const std::string& s) {
    return QString::fromStdString(s);
}

} // namespace

void QtPrompts::message(const std::string& text, const std::string& caption) {
    QMessageBox::information(parent_, caption.empty() ? QString("Kavex") : q(caption), q(text));
}

bool QtPrompts::askYesNo(const std::string& text, const std::string& caption) {
    return QMessageBox::question(parent_, caption.empty() ? QString("Kavex") : q(caption), q(text),
                                 QMessageBox::Yes | QMessageBox::No) == QMessageBox::Yes;
}

bool QtPrompts::chooseColour(int& colour) {
    QColor chosen = QColorDialog::getColor(toQColor(colour), parent_);
    if (!chosen.isValid()) return false;
    colour = fromQColor(chosen);
    return true;
}

} // namespace kavex
