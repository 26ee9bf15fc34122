#pragma once
// The system printer on Qt. Lines are collected until the document ends; then the print
// dialog chooses the printer. Where no printer is installed, the user chooses a PDF file
// instead. The choice of printer and the page layout are ours: one line of text per line
// in the application's font, a new page when a page is full.
#include "platform/services.h"

#include <QString>
#include <QStringList>

class QPrinter;
class QWidget;

namespace kavex {

class QtPrinter : public Printer {
  public:
    // Asks through dialogs shown over `parent`.
    explicit QtPrinter(QWidget* parent = nullptr);
    // Prints every document straight into this PDF file, without asking.
    explicit QtPrinter(QString pdfFile);

    void printLine(const std::string& text) override;
    // Prints the collected lines; cancelling a dialog drops them.
    void endDocument() override;

  private:
    bool choosePrinter(QPrinter& printer);
    void paint(QPrinter& printer) const;

    QWidget* parent_ = nullptr;
    QString pdfFile_;
    QStringList lines_;
};

} // namespace kavex
