#pragma once
// The trading window on screen: a view over the headless TradingWindow with its four tabs,
// the order grid with the in-cell editor, the strip of command buttons, the settings
// tab and the "Message" window. Its parts are placed where TradingWindow's layout puts them.
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

class AnimatedLogo;
class Bridge;
class CellGrid;
class CellGridModel;
class ColourEditor;
class LinkState;
class ExecutionGrid;
class ExternalOrderGate;
class GridActions;
class KeyActions;
class KeyBindings;
class PopupMenu;
class PopupMenuPresenter;
class SettingsTab;
class Statements;
class TradingWindow;
struct TradingWindowControls;
struct TwipRect;
class Label;
struct MessageWindow;
struct Settings;

// The headless parts the window on screen renders and forwards input to.
struct TradingWindowViews {
    TradingWindow& window;
    CellGrid& orderCells;
    GridActions& gridActions;
    PopupMenu& contextMenu;
    CellGrid& executionCells;
    ExecutionGrid& executionGrid;
    Statements& statements;
    MessageWindow& messageWindow;
    // The tab "Sonstiges".
    Settings& settings;
    ColourEditor& colourEditor;
    Bridge& bridge;
    AnimatedLogo& logo;
    const LinkState* linkState = nullptr; // colours the link's state label
    KeyBindings* keyBindings = nullptr;   // none: the window has no keys
    KeyActions* keyActions = nullptr;
    ExternalOrderGate* externalGate = nullptr; // none: no approval list
    std::function<std::string(int row)> orderRowToolTip;
};

class TradingWindowWidget : public QWidget {
  public:
    explicit TradingWindowWidget(TradingWindowViews views, QWidget* parent = nullptr);
    ~TradingWindowWidget() override;

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
    QLabel* linkStateLabel();
    QPushButton* addButton(QLayout* layout, const QString& caption, const QString& hint,
                           std::function<void()> action);
    void gridPressed(const QPoint& position, Qt::MouseButton button);
    void syncEditor();
    void syncQuickButtons();
    void tabChosen(int index);
    void applyLayout();
    void placeHeaders();
    QSize minimumWindowSize() const;
    void placeInTabArea(QWidget* widget, const TwipRect& rect);
    void reportPlacement();
    void place(TwipRect geometry); // a copy: resizing reports the new geometry to the window

    TradingWindowViews views_;
    TradingWindow& window_;
    TradingWindowControls& controls_;
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
