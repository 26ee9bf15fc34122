#pragma once
// The connection window "Orderclient" on screen: renders the headless ConnectionWindow.
// It shows its fields, lists and labels and passes edits, clicks and buttons back to it
// and to its connection. Hidden until the model shows it; closing it only hides it.
#include <QWidget>

#include <functional>
#include <string>

class QCheckBox;
class QLabel;
class QLineEdit;
class QListView;
class QPushButton;

namespace kavex {

class CheckBox;
class ConnectionWindow;
class Label;
class TextList;
class TextListModel;

class OrderClientWindow : public QWidget {
  public:
    explicit OrderClientWindow(ConnectionWindow& model, QWidget* parent = nullptr);
    ~OrderClientWindow() override;

    // For tests: the controls by their captions.
    QPushButton* button(const QString& caption) const;
    QListView* incomingView() const { return incomingView_; }
    QListView* outgoingView() const { return outgoingView_; }
    QLineEdit* hostEdit() const { return hostEdit_; }
    QLabel* lastQuoteLabel() const { return lastQuoteLabel_; }

  protected:
    void closeEvent(QCloseEvent* event) override;

  private:
    QLineEdit* lineEdit(Label& field, std::function<void(const std::string&)> edited);
    QLabel* label(Label& model);
    QCheckBox* checkBox(const QString& caption, CheckBox& model, std::function<void(bool)> toggled);
    QListView* listView(TextList& list);
    QPushButton* addButton(const QString& caption, const QString& hint, std::function<void()> action);

    ConnectionWindow& model_;
    QListView* incomingView_ = nullptr;
    QListView* outgoingView_ = nullptr;
    QLineEdit* hostEdit_ = nullptr;
    QLabel* lastQuoteLabel_ = nullptr;
    QList<QPushButton*> buttons_;
};

} // namespace kavex
