#pragma once
// The trading window on screen: a view over the headless OrderForm with its four tabs,
// the order grid with the in-cell editor, the strip of command buttons, the settings
// tab and the "Message" window.
#include <QWidget>

#include <functional>
#include <memory>

class QComboBox;
class QDialog;
class QLabel;
class QListView;
class QPushButton;
class QTabWidget;
class QTableView;

namespace kavex {

class CellGridModel;
class PopupMenuPresenter;
class Label;
class OrderForm;
class TextList;
class TextListModel;

class TradingWindow : public QWidget {
  public:
    explicit TradingWindow(OrderForm& form, QWidget* parent = nullptr);
    ~TradingWindow() override;

    QTableView* orderGridView() const { return gridView_; }
    QTabWidget* tabs() const { return tabs_; }
    QPushButton* button(const QString& caption) const;
    // Another tab added by a subsystem (executions, statements), or a widget for one.
    QWidget* tabPage(const QString& caption) const;

  protected:
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    QWidget* buildOrdersTab();
    QWidget* buildExecutionsTab();
    QWidget* buildStatementsTab();
    QWidget* buildSettingsTab();
    QWidget* buildMessageWindow();
    QLabel* boundLabel(Label& model);
    QListView* boundList(TextList& list);
    QPushButton* addButton(QLayout* layout, const QString& caption, std::function<void()> action);
    void gridPressed(const QPoint& position, Qt::MouseButton button);
    void syncEditor();
    void syncQuickButtons();

    OrderForm& form_;
    QTabWidget* tabs_ = nullptr;
    QTableView* gridView_ = nullptr;
    CellGridModel* gridModel_ = nullptr;
    QComboBox* editor_ = nullptr;
    QComboBox* quantityBox_ = nullptr;
    QDialog* messageWindow_ = nullptr;
    QList<QPushButton*> buttons_;
    QList<Label*> boundLabels_;
    std::unique_ptr<PopupMenuPresenter> contextMenu_;
    bool closing_ = false;
};

} // namespace kavex
