#include "platform/qt/qt_printer.h"

#include <QFileDialog>
#include <QFontMetrics>
#include <QGuiApplication>
#include <QPainter>
#include <QPrintDialog>
#include <QPrinter>
#include <QPrinterInfo>

namespace kavex {

QtPrinter::QtPrinter(QWidget* parent) : parent_(parent) {}

QtPrinter::QtPrinter(QString pdfFile) : pdfFile_(std::move(pdfFile)) {}

void QtPrinter::printLine(const std::string& text) {
    lines_.append(QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size())));
}

void QtPrinter::endDocument() {
    QPrinter printer(QPrinter::HighResolution);
    if (choosePrinter(printer)) paint(printer);
    lines_.clear();
}

bool QtPrinter::choosePrinter(QPrinter& printer) {
    QString pdf = pdfFile_;
    if (pdf.isEmpty() && QPrinterInfo::availablePrinters().isEmpty()) {
        pdf = QFileDialog::getSaveFileName(parent_, "Drucken als PDF", "Auszug.pdf", "PDF (*.pdf)");
        if (pdf.isEmpty()) return false;
        if (!pdf.endsWith(".pdf", Qt::CaseInsensitive)) pdf += ".pdf";
    }
    if (!pdf.isEmpty()) {
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(pdf);
        return true;
    }
    QPrintDialog dialog(&printer, parent_);
    return dialog.exec() == QDialog::Accepted;
}

void QtPrinter::paint(QPrinter& printer) const {
    QPainter painter;
    if (!painter.begin(&printer)) return;
    painter.setFont(QGuiApplication::font());
    const QFontMetrics metrics(painter.font(), &printer);
    const int lineHeight = metrics.lineSpacing();
    const QRect page = printer.pageLayout().paintRectPixels(printer.resolution());
    const int bottom = page.height();
    int y = metrics.ascent();
    for (const QString& line : lines_) {
        if (y + metrics.descent() > bottom && y > metrics.ascent()) {
            printer.newPage();
            y = metrics.ascent();
        }
        painter.drawText(0, y, line);
        y += lineHeight;
    }
    painter.end();
}

} // namespace kavex
