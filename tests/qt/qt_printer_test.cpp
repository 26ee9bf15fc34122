// The Qt printer: a statement printed to a PDF file carries its heading and every line,
// over more than one page.
#include "base/files.h"
#include "base/text_list.h"
#include "model/trading_data.h"
#include "platform/qt/qt_printer.h"
#include "support/fake_event_loop.h"
#include "support/temp_dir.h"
#include "views/statements.h"

#include <QProcess>

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <string>

namespace kavex {
namespace {

TEST(QtPrinter, AStatementPrintedToPdfCarriesItsLines) {
    if (std::system("pdftotext -v >/dev/null 2>&1") != 0)
        GTEST_SKIP() << "pdftotext (poppler-utils) is not installed";
    test::TempDir dir;
    WorkingDirectory folder(dir.root);
    std::vector<std::string> lines = {"Kontoauszug ACC9 vom 01.03.2024", "SAP BOT 10 zu 100,5",
                                      "Gebühren 1,50 €"};
    for (int i = 1; i <= 120; ++i) // enough lines for a second page
        lines.push_back("Position " + std::to_string(i));
    writeTextLines(dir.root / "ACC920240301K.TXT", lines);

    const std::filesystem::path pdf = dir.root / "auszug.pdf";
    QtPrinter printer(QString::fromStdString(pdf.string()));
    test::FakeEventLoop loop;
    loop.setDateTime({2024, 3, 4, 14, 5, 9});
    TradingData data;
    TextList log;
    Statements statements(data, folder, loop, printer, log, nullptr);
    statements.fillStatementList();
    statements.showStatement(0);
    statements.Drucken_Click();
    ASSERT_TRUE(std::filesystem::exists(pdf));
    EXPECT_TRUE(log.empty());

    QProcess pdftotext;
    pdftotext.start("pdftotext", {"-enc", "UTF-8", QString::fromStdString(pdf.string()), "-"});
    ASSERT_TRUE(pdftotext.waitForFinished(10000));
    const std::string text = pdftotext.readAllStandardOutput().toStdString();
    for (const std::string& expected :
         {std::string("Ausdruck vom 03-04-2024 14:05:09"), lines[0], lines[1], lines[2],
          std::string("Position 120"), std::string(Statements::kEndLine)})
        EXPECT_NE(text.find(expected), std::string::npos) << expected << "\n--- in ---\n" << text;
    EXPECT_LT(text.find("Position 1\n"), text.find("Position 120"));
    EXPECT_NE(text.find('\f'), text.rfind('\f')); // more than one page
}

} // namespace
} // namespace kavex
