#include "gui/trading_window_widget.h"

#include "gui/approval_panel.h"
#include "gui/cell_grid_model.h"
#include "gui/cell_grid_view.h"
#include "gui/combo_popup.h"
#include "gui/popup_menu_qt.h"
#include "gui/settings_tab.h"
#include "gui/statements_panel.h"
#include "gui/text_list_model.h"
#include "gui/window_keys.h"
#include "platform/qt/qt_colour.h"
#include "views/cell_grid.h"
#include "views/execution_grid.h"
#include "views/grid_actions.h"
#include "views/link_state.h"
#include "views/popup_menu.h"
#include "views/show_error.h"
#include "views/trading_window.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QDialog>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QMouseEvent>
#include <QMoveEvent>
#include <QPushButton>
#include <QResizeEvent>
#include <QScreen>
#include <QTabWidget>
#include <QTableView>
#include <QVBoxLayout>

#include <array>

namespace kavex {
namespace {

QString q(const std::string& s) {
    return QString::fromStdString(s);
}

constexpr int kBackground = 23 + 256 * 139 + 65536 * 191;

// Twips become pixels at 15 twips to the pixel (96 dots per inch), as the grids' column
// widths do, so that the window's parts and the grid columns keep their proportions.
QRect pixels(const TwipRect& r) {
    return {twipsToPixels(r.left), twipsToPixels(r.top), twipsToPixels(r.width), twipsToPixels(r.height)};
}

void paintBackground(QWidget* widget) {
    widget->setAutoFillBackground(true);
    QPalette palette = widget->palette();
    palette.setColor(QPalette::Window, toQColor(kBackground));
    palette.setColor(QPalette::Base, toQColor(kBackground));
    widget->setPalette(palette);
}

// A grid view in the window's colours that leaves the keyboard to the window; its title
// rows and its left column stay in place.
QTableView* gridView(CellGridModel* model, int titleRows, QWidget* parent) {
    auto* view = new CellGridView(*model, titleRows, 1, parent);
    view->setFocusPolicy(Qt::NoFocus);
    view->setShowGrid(true);
    QPalette palette = view->palette();
    palette.setColor(QPalette::Base, toQColor(kBackground));
    view->setPalette(palette);
    return view;
}

} // namespace

TradingWindowWidget::TradingWindowWidget(TradingWindowViews views, QWidget* parent)
    : QWidget(parent), views_(views), window_(views.window), controls_(views.window.controls()) {
    setWindowTitle(q(controls_.title.text()));
    controls_.title.setObserver([this](const std::string& t) { setWindowTitle(q(t)); });
    boundLabels_.push_back(&controls_.title);

    // The label strip with the three header labels.
    labelStrip_ = new QWidget(this);
    paintBackground(labelStrip_);
    headers_[0] = boundLabel(controls_.statusLine);
    headers_[0]->setObjectName("statusLine");
    auto* account = new QWidget;
    auto* accountLabels = new QHBoxLayout(account);
    accountLabels->setContentsMargins(0, 0, 0, 0);
    accountLabels->addWidget(linkStateLabel());
    accountLabels->addWidget(boundLabel(controls_.accountCodeLabel));
    accountLabels->addWidget(boundLabel(controls_.totalPlaceLabel));
    accountLabels->addWidget(boundLabel(controls_.dayPlaceLabel));
    QLabel* panelResult = boundLabel(controls_.panelResultLabel);
    panelResult->setObjectName("panelResult");
    accountLabels->addWidget(panelResult);
    account->setObjectName("accountStrip");
    headers_[1] = account;
    headers_[2] = boundLabel(controls_.resultLabel);
    headers_[2]->setObjectName("resultLabel");
    for (QWidget* header : headers_) {
        header->setParent(labelStrip_);
        paintBackground(header);
    }
    // A label whose text changed asks its parent, the strip, to lay it out again.
    labelStrip_->installEventFilter(this);

    tabs_ = new QTabWidget(this);
    tabs_->addTab(buildOrdersTab(), "Orders");
    tabs_->addTab(buildExecutionsTab(), "Executions");
    tabs_->addTab(buildStatementsTab(), "Auszüge");
    tabs_->addTab(buildSettingsTab(), "Sonstiges");
    // The pages start below the tab captions: lay them out again once they have their size.
    for (int i = 0; i < tabs_->count(); ++i)
        tabs_->widget(i)->installEventFilter(this);

    messageWindow_ = static_cast<QDialog*>(buildMessageWindow());
    if (views_.keyBindings && views_.keyActions) {
        settingsTab_->addBox(new KeySettingsBox(*views_.keyBindings));
        new WindowKeys(*this, *views_.keyBindings, *views_.keyActions);
    }
    if (views_.externalGate) new ApprovalPanel(*views_.externalGate, tabs_->widget(0));
    contextMenu_ = std::make_unique<PopupMenuPresenter>(views_.contextMenu, this);
    connect(tabs_, &QTabWidget::currentChanged, this, [this](int index) { tabChosen(index); });
    window_.placeWindow = [this](const TwipRect& geometry) { place(geometry); };
    resize(1280, 720);
    setMinimumSize(minimumWindowSize());
}

TradingWindowWidget::~TradingWindowWidget() {
    window_.placeWindow = nullptr;
    controls_.chatOptionVisibilityChanged = nullptr;
    for (Label* label : boundLabels_)
        label->setObserver(nullptr);
    views_.messageWindow.visible.setObserver(nullptr);
    views_.messageWindow.text.setObserver(nullptr);
}

QLabel* TradingWindowWidget::boundLabel(Label& model) {
    auto* label = new QLabel(q(model.text()));
    model.setObserver([label](const std::string& text) { label->setText(q(text)); });
    boundLabels_.push_back(&model);
    return label;
}

QLabel* TradingWindowWidget::linkStateLabel() {
    QLabel* label = boundLabel(controls_.linkState);
    label->setObjectName("linkState");
    label->setToolTip("Verbindung zum Spielserver");
    const LinkState* state = views_.linkState;
    if (state == nullptr) return label;
    auto show = [label, state](const std::string& text) {
        label->setText(q(text));
        label->setStyleSheet("QLabel { font-weight: bold; color: " + toQColor(state->colour()).name() +
                             "; }");
    };
    show(controls_.linkState.text());
    controls_.linkState.setObserver(show);
    return label;
}

QPushButton* TradingWindowWidget::addButton(QLayout* layout, const QString& caption, const QString& hint,
                                            std::function<void()> action) {
    auto* button = new QPushButton(caption);
    button->setToolTip(hint);
    connect(button, &QPushButton::clicked, this, [this, action = std::move(action)] {
        action();
        syncQuickButtons();
    });
    layout->addWidget(button);
    buttons_.push_back(button);
    return button;
}

QPushButton* TradingWindowWidget::button(const QString& caption) const {
    for (QPushButton* b : buttons_)
        if (b->text() == caption) return b;
    for (QPushButton* b : findChildren<QPushButton*>())
        if (b->text() == caption) return b;
    return nullptr;
}

QWidget* TradingWindowWidget::tabPage(const QString& caption) const {
    for (int i = 0; i < tabs_->count(); ++i)
        if (tabs_->tabText(i) == caption) return tabs_->widget(i);
    return nullptr;
}

QWidget* TradingWindowWidget::buildOrdersTab() {
    auto* page = new QWidget;
    ordersFrame_ = new QWidget(page);
    gridModel_ = new CellGridModel(views_.orderCells, page);
    gridModel_->rowToolTip = views_.orderRowToolTip;
    gridView_ = gridView(gridModel_, GridActions::kTitleRows, ordersFrame_);
    gridView_->viewport()->installEventFilter(this);

    editor_ = new QComboBox(gridView_->viewport());
    editor_->setEditable(true);
    // Return must commit the typed text, never add it to the list as a new item.
    editor_->setInsertPolicy(QComboBox::NoInsert);
    editor_->setToolTip("Enter übernimmt, Esc verwirft");
    editor_->hide();
    editor_->installEventFilter(this);
    connect(editor_, qOverload<int>(&QComboBox::activated), this, [this](int index) {
        views_.gridActions.chooseEditorItem(index);
        syncEditor();
    });
    connect(editor_->lineEdit(), &QLineEdit::returnPressed, this, [this] {
        views_.gridActions.setEditorText(editor_->currentText().toStdString());
        views_.gridActions.commitEditor();
        syncEditor();
    });

    auto* strip = new QHBoxLayout;
    GridActions& actions = views_.gridActions;
    addButton(strip, "CANCEL Alle", "Alle offenen Orders streichen", [this] { window_.cancelAll(); });
    addButton(strip, "TRANS Alle", "Alle Eingabezeilen als Orders senden", [this] { window_.transmitAll(); });
    addButton(strip, "Lösche TRANS", "Alle Eingabezeilen löschen", [this] { window_.deleteEntryLines(); });
    addButton(strip, "BUY MARKET", "Market-Kauf im DEFAULT-Wert", [this] { window_.buyMarket(); });
    addButton(strip, "SELL MARKET", "Market-Verkauf im DEFAULT-Wert", [this] { window_.sellMarket(); });
    addButton(strip, "GLATT", "Alle Positionen schließen", [this] { window_.closeAllPositions(); });
    QPushButton* more =
        addButton(strip, q(controls_.moreButton.text()), "Erledigte Orders zeigen oder ausblenden",
                  [this] { window_.toggleFinishedOrders(); });
    controls_.moreButton.setObserver([more](const std::string& caption) { more->setText(q(caption)); });
    boundLabels_.push_back(&controls_.moreButton);
    QPushButton* user = addButton(strip, "User/PW", {}, [this] { window_.askForNewUser(); });
    auto userHint = [user](const std::string& hint) {
        user->setToolTip(hint.empty() ? QString("Neuen Usernamen und Paßwort eingeben") : q(hint));
    };
    userHint(controls_.userButtonHint.text());
    controls_.userButtonHint.setObserver(userHint);
    boundLabels_.push_back(&controls_.userButtonHint);
    addButton(strip, "ENDE", "Einstellungen speichern und Programm beenden", [this] { close(); });
    auto* chat = new QCheckBox("CHAT");
    chat->setToolTip("Chatfenster öffnen oder schließen");
    chat->setChecked(controls_.chatOption.checked());
    chat->setVisible(controls_.chatOptionVisible);
    controls_.chatOptionVisibilityChanged = [chat](bool visible) { chat->setVisible(visible); };
    connect(chat, &QCheckBox::toggled, this, [this](bool on) { controls_.chatOption.setChecked(on); });
    strip->addWidget(chat);
    quantityBox_ = new QComboBox;
    quantityBox_->setEditable(true);
    quantityBox_->setToolTip("Stückzahl neuer Eingabezeilen und Market-Orders");
    // The list is filled as the window loads (Client::load, before the window is built).
    for (const std::string& v : controls_.defaultQuantityList.lines())
        quantityBox_->addItem(q(v));
    quantityBox_->setCurrentText(q(actions.defaultQuantityBox().text()).trimmed());
    connect(quantityBox_, &QComboBox::currentTextChanged, this,
            [this](const QString& text) { views_.gridActions.setDefaultQuantityText(text.toStdString()); });
    actions.defaultQuantityBox().setObserver([this](const std::string& text) {
        QString shown = q(text).trimmed();
        if (quantityBox_->currentText() != shown) {
            QSignalBlocker block(quantityBox_);
            quantityBox_->setCurrentText(shown);
        }
    });
    boundLabels_.push_back(&actions.defaultQuantityBox());
    strip->addWidget(new QLabel("Stück:"));
    strip->addWidget(quantityBox_);
    auto* messages = new QComboBox;
    messages->setModel(new TextListModel(controls_.messages, messages));
    messages->setPlaceholderText("Meldungen...");
    messages->setMinimumWidth(220);
    messages->setToolTip("Alle Texte der Statuszeile");
    opensBelow(messages);
    messages->view()->setMinimumWidth(560); // long lines stay readable in the open list
    strip->addWidget(messages, 1);

    orderStrip_ = new QWidget(ordersFrame_);
    orderStrip_->setObjectName("orderStrip");
    paintBackground(orderStrip_);
    strip->setContentsMargins(2, 2, 2, 2);
    orderStrip_->setLayout(strip);
    // A control shown later (the chat option) widens the strip: the smallest window follows.
    orderStrip_->installEventFilter(this);
    return page;
}

QWidget* TradingWindowWidget::buildExecutionsTab() {
    auto* page = new QWidget;
    executionsFrame_ = new QWidget(page);
    auto* model = new CellGridModel(views_.executionCells, page);
    QTableView* view = gridView(model, 1, executionsFrame_);
    executionView_ = view;

    auto* refresh = new QPushButton("Grid Refresh", executionsFrame_);
    refresh->setToolTip("Executions neu aufbauen");
    connect(refresh, &QPushButton::clicked, this, [this] { views_.executionGrid.refresh(); });
    refreshButton_ = refresh;
    noteLabel_ = new QLabel("Reihenfolge:", executionsFrame_);
    auto* order = new QComboBox(executionsFrame_);
    order->setObjectName("executionOrder");
    order->setModel(new TextListModel(controls_.executionOrderList, order));
    order->setCurrentIndex(views_.executionGrid.selectedOrder());
    order->setToolTip("Reihenfolge der Executions");
    opensBelow(order);
    connect(order, &QComboBox::activated, this, [this](int index) {
        views_.executionGrid.selectOrder(index);
        views_.executionGrid.refresh();
    });
    orderList_ = order;
    return page;
}

QWidget* TradingWindowWidget::buildStatementsTab() {
    auto* page = new QWidget;
    auto* panel = new StatementsPanel(views_.statements, page);
    paintBackground(panel->list());
    statementsPanel_ = panel;
    return page;
}

QWidget* TradingWindowWidget::buildSettingsTab() {
    settingsTab_ = new SettingsTab(window_, views_.settings, views_.colourEditor, views_.bridge, views_.logo);
    return settingsTab_;
}

void TradingWindowWidget::tabChosen(int index) {
    window_.chooseTab(index);
    if (index == TradingWindow::SettingsTab) settingsTab_->sync();
    applyLayout();
}

// Frames and the statement list are placed in the tab area; their pages begin below
// the tab captions, so the page's own offset is taken off.
void TradingWindowWidget::placeInTabArea(QWidget* widget, const TwipRect& rect) {
    const QPoint pageOffset = widget->parentWidget()->mapTo(tabs_, QPoint(0, 0));
    widget->setGeometry(pixels(rect).translated(-pageOffset));
}

void TradingWindowWidget::applyLayout() {
    const FormLayout& l = window_.layout();
    labelStrip_->setGeometry(pixels(l.labelStrip));
    placeHeaders();
    tabs_->setGeometry(pixels(l.tabArea));
    placeInTabArea(ordersFrame_, l.ordersFrame);
    gridView_->setGeometry(pixels(l.orderGrid));
    orderStrip_->setGeometry(pixels(l.orderStrip));
    placeInTabArea(executionsFrame_, l.executionsFrame);
    executionView_->setGeometry(pixels(l.executionGrid));
    refreshButton_->setGeometry(pixels(l.refreshButton));
    noteLabel_->setGeometry(pixels(l.noteLabel));
    orderList_->setGeometry(pixels(l.orderList));
    placeInTabArea(statementsPanel_, l.statementList);
}

// The three header labels share the strip in thirds, except that one whose text is longer
// than its third takes the room the others do not need: a long message is not cut off
// under the account's labels, nor the account's result under the day's. With too little
// room for all, the status line gives way.
void TradingWindowWidget::placeHeaders() {
    constexpr int kHeaderGap = 12; // pixels between one label's text and the next label
    const FormLayout& l = window_.layout();
    std::array<int, 3> need{}, width{};
    int total = 0;
    for (std::size_t i = 0; i < 3; ++i) {
        need[i] = headers_[i]->sizeHint().width() + (i < 2 ? kHeaderGap : 0);
        width[i] = std::max(need[i], twipsToPixels(l.headerLabels[i].width));
        total += width[i];
    }
    int over = total - labelStrip_->width();
    for (int round = 0; round < 3 && over > 0; ++round) {
        // The part with the most room to spare gives first.
        std::size_t most = 0;
        for (std::size_t i = 1; i < 3; ++i)
            if (width[i] - need[i] > width[most] - need[most]) most = i;
        const int take = std::min(over, width[most] - need[most]);
        width[most] -= take;
        over -= take;
    }
    width[0] = std::max(0, width[0] - std::max(over, 0));
    const int height = twipsToPixels(l.labelStrip.height);
    int left = 0;
    for (std::size_t i = 0; i < 3; ++i) {
        headers_[i]->setGeometry(left, 0, width[i], height);
        left += width[i];
    }
}

// The smallest window in which the strip under the order grid shows every button whole
// and the tabs have the room their pages need. The parts' sizes are the window's size
// less fixed margins, so the margins are taken from the current layout.
QSize TradingWindowWidget::minimumWindowSize() const {
    const FormLayout& l = window_.layout();
    const int stripMargin = width() - twipsToPixels(l.orderStrip.width);
    const int width = orderStrip_->layout()->minimumSize().width() + stripMargin + 1;
    // The order grid keeps room for its title rows and one instrument.
    const int gridMargin = height() - twipsToPixels(l.orderGrid.height);
    const int grid = gridView_->horizontalHeader()->sizeHint().height() + 2 * gridView_->frameWidth() + 24;
    const int tabs = tabs_->minimumSizeHint().height() + twipsToPixels(l.labelStrip.height);
    return {width, std::max(grid + gridMargin + 1, tabs)};
}

void TradingWindowWidget::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    window_.resize(pixelsToTwips(width()), pixelsToTwips(height()));
    applyLayout();
    reportPlacement();
}

void TradingWindowWidget::moveEvent(QMoveEvent* event) {
    QWidget::moveEvent(event);
    reportPlacement();
}

void TradingWindowWidget::reportPlacement() {
    window_.windowPlaced(
        {pixelsToTwips(x()), pixelsToTwips(y()), pixelsToTwips(width()), pixelsToTwips(height())});
}

// A saved geometry is fitted into the screen it lies on (the main screen when that one is
// gone): a window never reopens partly off-screen.
void TradingWindowWidget::place(TwipRect geometry) {
    auto orKeep = [](int32_t twips, int current) { return twips > 0 ? twipsToPixels(twips) : current; };
    QRect wanted(orKeep(geometry.left, x()), orKeep(geometry.top, y()), orKeep(geometry.width, width()),
                 orKeep(geometry.height, height()));
    QScreen* screen = QGuiApplication::screenAt(wanted.center());
    if (screen == nullptr) screen = QGuiApplication::primaryScreen();
    if (screen != nullptr) {
        // The place is the frame's; the size is the inside's.
        const QRect area = screen->availableGeometry();
        const QSize frame = frameGeometry().size() - size();
        wanted.setSize(wanted.size().boundedTo(area.size() - frame).expandedTo(minimumSize()));
        const QSize outside = wanted.size() + frame;
        wanted.moveLeft(std::max(area.left(), std::min(wanted.left(), area.right() + 1 - outside.width())));
        wanted.moveTop(std::max(area.top(), std::min(wanted.top(), area.bottom() + 1 - outside.height())));
    }
    resize(wanted.size());
    move(wanted.topLeft());
}

QWidget* TradingWindowWidget::buildMessageWindow() {
    MessageWindow& model = views_.messageWindow;
    auto* dialog = new QDialog(this);
    dialog->setWindowTitle(MessageWindow::kCaption);
    auto* text = new QLabel;
    text->setWordWrap(true);
    auto* ok = new QPushButton(MessageWindow::kOkCaption);
    auto* suppress = new QCheckBox(MessageWindow::kSuppressCaption);
    ok->setToolTip("Meldung schließen");
    suppress->setToolTip("Meldungen nur noch in der Statuszeile zeigen");
    auto* layout = new QVBoxLayout(dialog);
    layout->addWidget(text);
    layout->addWidget(ok);
    layout->addWidget(suppress);
    model.text.setObserver([text](const std::string& t) { text->setText(q(t)); });
    model.visible.setObserver([dialog](bool visible) {
        if (!visible) {
            dialog->hide();
            return;
        }
        dialog->adjustSize();
        if (QScreen* screen = QGuiApplication::primaryScreen())
            dialog->move(screen->availableGeometry().center() -
                         QPoint(dialog->width() / 2, dialog->height() / 2));
        dialog->show();
        dialog->raise();
    });
    connect(ok, &QPushButton::clicked, dialog, [&model] { model.confirm(); });
    connect(suppress, &QCheckBox::toggled, dialog, [&model](bool on) { model.suppress.setChecked(on); });
    connect(dialog, &QDialog::rejected, dialog, [&model] { model.confirm(); });
    return dialog;
}

bool TradingWindowWidget::eventFilter(QObject* watched, QEvent* event) {
    if (watched == labelStrip_ && event->type() == QEvent::LayoutRequest) placeHeaders();
    if (watched == orderStrip_ && event->type() == QEvent::LayoutRequest) setMinimumSize(minimumWindowSize());
    if (event->type() == QEvent::Resize && watched->isWidgetType() &&
        tabs_->indexOf(static_cast<QWidget*>(watched)) >= 0)
        applyLayout();
    if (watched == gridView_->viewport() && event->type() == QEvent::MouseButtonPress) {
        auto* mouse = static_cast<QMouseEvent*>(event);
        gridPressed(mouse->position().toPoint(), mouse->button());
        return true;
    }
    if (watched == editor_ && event->type() == QEvent::KeyPress &&
        static_cast<QKeyEvent*>(event)->key() == Qt::Key_Escape) {
        views_.gridActions.escapeEditor();
        syncEditor();
        return true;
    }
    if (watched == editor_ && event->type() == QEvent::FocusOut && editor_->isVisible() &&
        !editor_->view()->isVisible()) {
        views_.gridActions.setEditorText(editor_->currentText().toStdString());
        views_.gridActions.commitEditor();
        syncEditor();
    }
    return QWidget::eventFilter(watched, event);
}

void TradingWindowWidget::gridPressed(const QPoint& position, Qt::MouseButton button) {
    QModelIndex index = gridView_->indexAt(position);
    if (!index.isValid()) return;
    GridActions& actions = views_.gridActions;
    if (actions.editor().visible) actions.setEditorText(editor_->currentText().toStdString());
    actions.mouseDown(index.row(), index.column(), button == Qt::RightButton);
    syncEditor();
    syncQuickButtons();
}

void TradingWindowWidget::syncEditor() {
    const CellEditor& model = views_.gridActions.editor();
    if (!model.visible) {
        editor_->hide();
        return;
    }
    QSignalBlocker block(editor_);
    editor_->clear();
    for (const std::string& item : model.items)
        editor_->addItem(q(item));
    if (model.selected >= 0) editor_->setCurrentIndex(model.selected);
    editor_->setEditText(q(model.text));
    QRect cell = gridView_->visualRect(gridModel_->index(model.row, model.col));
    editor_->setGeometry(cell.x(), cell.y(), std::max(cell.width(), 80), std::max(cell.height(), 22));
    editor_->show();
    editor_->setFocus();
}

void TradingWindowWidget::syncQuickButtons() {
    const auto& colours = views_.gridActions.quickButtonColours();
    const char* captions[] = {"BUY MARKET", "SELL MARKET"};
    for (int i = 0; i < 2; ++i) {
        QPushButton* b = button(captions[i]);
        if (b && colours[static_cast<std::size_t>(i)] >= 0)
            b->setStyleSheet("background-color: " + toQColor(colours[static_cast<std::size_t>(i)]).name() +
                             ";");
    }
}

void TradingWindowWidget::closeEvent(QCloseEvent* event) {
    if (!closing_) {
        closing_ = true;
        window_.end();
    }
    event->accept();
}

} // namespace kavex
