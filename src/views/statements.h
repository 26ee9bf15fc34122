#pragma once
// The tab "Auszüge": the account statement files the server sends (account code, date
// as yyyymmdd, "K.TXT"), shown, deleted, printed and asked for when missing.
#include "base/text_list.h"
#include "platform/services.h"

#include <cstdint>
#include <functional>
#include <string>

namespace kavex {

class EventLoop;
class WorkingDirectory;
struct TradingData;

// The printer of a window that has none: documents vanish.
class NoPrinter : public Printer {
  public:
    void printLine(const std::string&) override {}
    void endDocument() override {}
};

class Statements {
  public:
    static constexpr const char* kEndLine = "--------------------------------------";
    // No statements exist before 20 September 2004, and at most the last 100 days are asked for.
    static constexpr int32_t kFirstDay = 38250;
    static constexpr int32_t kMaxDaysBack = 100;

    // `requestStatement` asks the server for the statement of a day (sent only while connected).
    Statements(TradingData& data, WorkingDirectory& folder, EventLoop& loop, Printer& printer, TextList& log,
               std::function<void(int32_t day)> requestStatement);

    // Refills the drop-down "Auszüge..." with the statement files of the working directory.
    void fillStatementList();
    // A file chosen in the drop-down: its lines and a line of hyphens are shown, after
    // the statements shown so far when "Anhängen" is ticked, instead of them otherwise.
    void showStatement(int index);
    // Ticking "Anhängen" shows every statement of the drop-down, one after another.
    void setAppendAll(bool checked);
    void deleteStatement();   // "Auszug löschen"
    void requestStatements(); // "Auszüge anfordern"
    void print();             // "&Drucken"

    // accountCode (trimmed) + yyyymmdd + "K.TXT"
    static std::string statementFileName(std::string_view accountCode, int32_t day);

    TextList files;     // the drop-down "Auszüge..."
    TextList statement; // the statement list
    CheckBox append;    // "Anhängen"
    // The drop-down's selection; -1 when none.
    int selected() const { return selected_; }

  private:
    TradingData& data_;
    WorkingDirectory& folder_;
    EventLoop& loop_;
    Printer& printer_;
    TextList& log_;
    std::function<void(int32_t)> requestStatement_;
    int selected_ = -1;
};

} // namespace kavex
