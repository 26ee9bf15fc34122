#pragma once
// The tab "Auszüge" on screen: the drop-down "Auszüge...", the statement list, the option
// "Anhängen" and the buttons "Auszug löschen", "Auszüge anfordern" and "&Drucken", all
// working on the headless statement model. The window that embeds the panel calls
// Statements::fillStatementList() when the tab is opened.
#include <QWidget>

class QCheckBox;
class QComboBox;
class QListView;

namespace kavex {

class Statements;

class StatementsPanel : public QWidget {
  public:
    explicit StatementsPanel(Statements& statements, QWidget* parent = nullptr);

    QComboBox* choice() const { return choice_; }
    QListView* list() const { return list_; }

  private:
    // Shows the model's selection ("Auszüge..." when none).
    void syncChoice();

    Statements& statements_;
    QComboBox* choice_ = nullptr;
    QCheckBox* append_ = nullptr;
    QListView* list_ = nullptr;
};

} // namespace kavex
