#pragma once
// The trading window on screen: a view over the headless OrderForm with its four tabs,
// the order grid with the in-cell editor, the strip of command buttons, the settings
// tab and the "Message" window. Its parts are placed where OrderForm's layout puts them.
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
class SettingsTab;
struct TwipRect;
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
    // Any button of the window by its caption.
    QPushButton* button(const QString& caption) const;
    // Another tab added by a subsystem (executions, statements), or a widget for one.
    QWidget* tabPage(const QString& caption) const;

  protected:
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void moveEvent(QMoveEvent* event) override;

  private:
    QWidget* buildOrdersTab();
    QWidget* buildExecutionsTab();
    QWidget* buildStatementsTab();
    QWidget* buildSettingsTab();
    QWidget* buildMessageWindow();
    QLabel* boundLabel(Label& model);
    QPushButton* addButton(QLayout* layout, const QString& caption, std::function<void()> action);
    void gridPressed(const QPoint& position, Qt::MouseButton button);
    void syncEditor();
    void syncQuickButtons();
    void tabChosen(int index);
    void applyLayout();
    void placeInTabArea(QWidget* widget, const TwipRect& rect);
    void reportPlacement();
    void place(TwipRect geometry); // a copy: resizing reports the new geometry to the form

    OrderForm& form_;
    QTabWidget* tabs_ = nullptr;
    QWidget* labelStrip_ = nullptr;
    QWidget* headers_[3] = {};
    QWidget *ordersFrame_ = nullptr, *orderStrip_ = nullptr;
    QWidget *executionsFrame_ = nullptr, *executionView_ = nullptr;
    QWidget *refreshButton_ = nullptr, *noteLabel_ = nullptr, *orderList_ = nullptr;
    QWidget* statementsPanel_ = nullptr;
    SettingsTab* settingsTab_ = nullptr;
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
