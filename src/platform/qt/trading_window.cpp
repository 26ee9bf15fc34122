#include "platform/qt/trading_window.h"

#include "platform/qt/bridge_frame.h"
#include "platform/qt/cell_grid_model.h"
#include "platform/qt/popup_menu_qt.h"
#include "platform/qt/statements_panel.h"
#include "platform/qt/text_list_model.h"
#include "trading_window/order_form.h"

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
#include <QPushButton>
#include <QScreen>
#include <QTabWidget>
#include <QTableView>
#include <QVBoxLayout>

namespace kavex {
namespace {

QString q(const std::string& s) {
    return QString::fromStdString(s);
}

constexpr int kBackground = 23 + 256 * 139 + 65536 * 191;

QTableView* gridView(QAbstractItemModel* model) {
    auto* view = new QTableView;
    view->setModel(model);
    view->horizontalHeader()->hide();
    view->verticalHeader()->hide();
    view->verticalHeader()->setMinimumSectionSize(1); // separator rows are half a row high
    view->horizontalHeader()->setMinimumSectionSize(1);
    view->setSelectionMode(QAbstractItemView::NoSelection);
    view->setEditTriggers(QAbstractItemView::NoEditTriggers);
    view->setFocusPolicy(Qt::NoFocus);
    view->setShowGrid(true);
    QPalette palette = view->palette();
    palette.setColor(QPalette::Base, toQColor(kBackground));
    view->setPalette(palette);
    return view;
}

} // namespace

TradingWindow::TradingWindow(OrderForm& form, QWidget* parent) : QWidget(parent), form_(form) {
    setWindowTitle(q(form_.title.text()));
    form_.title.setObserver([this](const std::string& t) { setWindowTitle(q(t)); });
    boundLabels_.push_back(&form_.title);

    auto* header = new QHBoxLayout;
    header->addWidget(boundLabel(form_.statusLine), 1);
    auto* account = new QHBoxLayout;
    account->addWidget(boundLabel(form_.accountCodeLabel));
    account->addWidget(boundLabel(form_.totalPlaceLabel));
    account->addWidget(boundLabel(form_.dayPlaceLabel));
    header->addLayout(account, 1);
    header->addWidget(boundLabel(form_.resultLabel), 1);

    tabs_ = new QTabWidget;
    tabs_->addTab(buildOrdersTab(), "Orders");
    tabs_->addTab(buildExecutionsTab(), "Executions");
    tabs_->addTab(buildStatementsTab(), "Auszüge");
    tabs_->addTab(buildSettingsTab(), "Sonstiges");

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(header);
    layout->addWidget(tabs_, 1);
    messageWindow_ = static_cast<QDialog*>(buildMessageWindow());
    contextMenu_ = std::make_unique<PopupMenuPresenter>(form_.contextMenu().menu(), this);
    connect(tabs_, &QTabWidget::currentChanged, this, [this](int index) {
        if (tabs_->tabText(index) == "Auszüge") form_.statements().FillAuszug();
    });
    resize(1280, 720);
}

TradingWindow::~TradingWindow() {
    form_.chatOptionVisibilityChanged = nullptr;
    for (Label* label : boundLabels_)
        label->setObserver(nullptr);
    form_.messageWindow().visible.setObserver(nullptr);
    form_.messageWindow().text.setObserver(nullptr);
}

QLabel* TradingWindow::boundLabel(Label& model) {
    auto* label = new QLabel(q(model.text()));
    model.setObserver([label](const std::string& text) { label->setText(q(text)); });
    boundLabels_.push_back(&model);
    return label;
}

QListView* TradingWindow::boundList(TextList& list) {
    auto* view = new QListView;
    view->setModel(new TextListModel(list, view));
    view->setEditTriggers(QAbstractItemView::NoEditTriggers);
    return view;
}

QPushButton* TradingWindow::addButton(QLayout* layout, const QString& caption, std::function<void()> action) {
    auto* button = new QPushButton(caption);
    connect(button, &QPushButton::clicked, this, [this, action = std::move(action)] {
        action();
        syncQuickButtons();
    });
    layout->addWidget(button);
    buttons_.push_back(button);
    return button;
}

QPushButton* TradingWindow::button(const QString& caption) const {
    for (QPushButton* b : buttons_)
        if (b->text() == caption) return b;
    return nullptr;
}

QWidget* TradingWindow::tabPage(const QString& caption) const {
    for (int i = 0; i < tabs_->count(); ++i)
        if (tabs_->tabText(i) == caption) return tabs_->widget(i);
    return nullptr;
}

QWidget* TradingWindow::buildOrdersTab() {
    auto* page = new QWidget;
    gridModel_ = new CellGridModel(form_.orderGridCells(), page);
    gridView_ = gridView(gridModel_);
    gridModel_->setView(gridView_);
    gridModel_->applyLayout(*gridView_);
    gridView_->viewport()->installEventFilter(this);

    editor_ = new QComboBox(gridView_->viewport());
    editor_->setEditable(true);
    editor_->hide();
    editor_->installEventFilter(this);
    connect(editor_, qOverload<int>(&QComboBox::activated), this, [this](int index) {
        form_.gridActions().chooseEditorItem(index);
        syncEditor();
    });
    connect(editor_->lineEdit(), &QLineEdit::returnPressed, this, [this] {
        form_.gridActions().setEditorText(editor_->currentText().toStdString());
        form_.gridActions().commitEditor();
        syncEditor();
    });

    auto* strip = new QHBoxLayout;
    GridActions& actions = form_.gridActions();
    addButton(strip, "CANCEL Alle", [this] { form_.cancelAll_Click(); });
    addButton(strip, "TRANS Alle", [this] { form_.transmitAll_Click(); });
    addButton(strip, "Lösche TRANS", [this] { form_.deleteEntries_Click(); });
    addButton(strip, "BUY MARKET", [this] { form_.buyMarket_Click(); });
    addButton(strip, "SELL MARKET", [this] { form_.sellMarket_Click(); });
    addButton(strip, "GLATT", [this] { form_.glatt_Click(); });
    QPushButton* more = addButton(strip, q(form_.moreButton.text()), [this] { form_.more_Click(); });
    form_.moreButton.setObserver([more](const std::string& caption) { more->setText(q(caption)); });
    boundLabels_.push_back(&form_.moreButton);
    QPushButton* user = addButton(strip, "User/PW", [this] { form_.userPassword_Click(); });
    user->setToolTip(q(form_.userButtonHint.text()));
    form_.userButtonHint.setObserver([user](const std::string& hint) { user->setToolTip(q(hint)); });
    boundLabels_.push_back(&form_.userButtonHint);
    addButton(strip, "ENDE", [this] { close(); });
    auto* chat = new QCheckBox("CHAT");
    chat->setChecked(form_.chatOption.checked());
    chat->setVisible(form_.chatOptionVisible());
    form_.chatOptionVisibilityChanged = [chat](bool visible) { chat->setVisible(visible); };
    connect(chat, &QCheckBox::toggled, this, [this](bool on) { form_.chatOption.setChecked(on); });
    strip->addWidget(chat);
    quantityBox_ = new QComboBox;
    quantityBox_->setEditable(true);
    for (const std::string& v : form_.defaultQuantityList.lines())
        quantityBox_->addItem(q(v));
    quantityBox_->setCurrentText(q(actions.defaultQuantityBox().text()).trimmed());
    connect(quantityBox_, &QComboBox::currentTextChanged, this,
            [this](const QString& text) { form_.gridActions().setDefaultQuantityText(text.toStdString()); });
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
    messages->setModel(new TextListModel(form_.messages_, messages));
    messages->setPlaceholderText("Meldungen...");
    messages->setMinimumWidth(220);
    strip->addWidget(messages, 1);

    auto* layout = new QVBoxLayout(page);
    layout->addWidget(gridView_, 1);
    layout->addLayout(strip);
    return page;
}

QWidget* TradingWindow::buildExecutionsTab() {
    auto* page = new QWidget;
    auto* model = new CellGridModel(form_.executionGridCells(), page);
    QTableView* view = gridView(model);
    model->setView(view);
    model->applyLayout(*view);
    auto* order = new QComboBox;
    order->setObjectName("executionOrder");
    for (const std::string& v : form_.executionOrderList.lines())
        order->addItem(q(v));
    auto* layout = new QVBoxLayout(page);
    layout->addWidget(view, 1);
    layout->addWidget(order);
    return page;
}

QWidget* TradingWindow::buildStatementsTab() {
    return new StatementsPanel(form_.statements());
}

QWidget* TradingWindow::buildSettingsTab() {
    auto* page = new QWidget;
    Settings& settings = form_.settings();
    auto option = [&](const QString& caption, int16_t& value) {
        auto* box = new QCheckBox(caption);
        box->setChecked(value != 0);
        connect(box, &QCheckBox::toggled, this, [&value](bool on) { value = on ? 1 : 0; });
        return box;
    };
    auto* options = new QVBoxLayout;
    options->addWidget(
        option("Sicherheitsabfrage bei BUY/SELL MARKET und GLATT aktivieren", settings.confirmation));
    options->addWidget(option("Chat mit Sound", settings.chatSound));
    options->addWidget(option("Execution mit Sound", settings.executionSound));
    QCheckBox* asciiRemote = option("ASCII-Remote", settings.asciiRemote);
    connect(asciiRemote, &QCheckBox::toggled, this, [this](bool on) { form_.asciiRemote_Click(on); });
    options->addWidget(asciiRemote);
    // The bridge frame shows while "Zentrivo extern" is set, never in the game edition.
    auto* bridgeFrame = new BridgeFrame(form_.bridge(), settings, form_.bridgeLog);
    bridgeFrame->setVisible(form_.bridgeFrameVisible());
    if (!form_.gameEdition()) {
        QCheckBox* zentrivo = option("Zentrivo extern", settings.zentrivoExtern);
        connect(zentrivo, &QCheckBox::toggled, this, [this, bridgeFrame](bool on) {
            form_.zentrivoExtern_Click(on);
            bridgeFrame->setVisible(form_.bridgeFrameVisible());
        });
        options->addWidget(zentrivo);
    }

    auto* schemes = new QComboBox;
    for (const std::string& name : form_.colourSchemeList.lines())
        schemes->addItem(q(name));
    connect(schemes, &QComboBox::textActivated, this,
            [this](const QString& name) { form_.colourScheme_Click(name.toStdString()); });
    options->addWidget(new QLabel("Farbschema:"));
    options->addWidget(schemes);

    auto* commands = new QHBoxLayout;
    addButton(commands, "Anwenden", [this] { form_.apply_Click(); });
    addButton(commands, "Neuen Usernamen wählen", [this] { form_.newUser_Click(); });
    addButton(commands, "Clientfenster zeigen", [this] { form_.showClient_Click(); });
    options->addLayout(commands);
    options->addWidget(bridgeFrame);
    options->addStretch();

    QListView* protocol = boundList(form_.protocol_);
    connect(protocol, &QListView::doubleClicked, this, [this] { form_.protocol_DoubleClick(); });
    auto* layout = new QHBoxLayout(page);
    layout->addLayout(options);
    layout->addWidget(protocol, 1);
    return page;
}

QWidget* TradingWindow::buildMessageWindow() {
    MessageWindow& model = form_.messageWindow();
    auto* dialog = new QDialog(this);
    dialog->setWindowTitle(MessageWindow::kCaption);
    auto* text = new QLabel;
    text->setWordWrap(true);
    auto* ok = new QPushButton(MessageWindow::kOkCaption);
    auto* suppress = new QCheckBox(MessageWindow::kSuppressCaption);
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
    connect(ok, &QPushButton::clicked, dialog, [&model] { model.OK_Click(); });
    connect(suppress, &QCheckBox::toggled, dialog, [&model](bool on) { model.suppress.setChecked(on); });
    connect(dialog, &QDialog::rejected, dialog, [&model] { model.OK_Click(); });
    return dialog;
}

bool TradingWindow::eventFilter(QObject* watched, QEvent* event) {
    if (watched == gridView_->viewport() && event->type() == QEvent::MouseButtonPress) {
        auto* mouse = static_cast<QMouseEvent*>(event);
        gridPressed(mouse->position().toPoint(), mouse->button());
        return true;
    }
    if (watched == editor_ && event->type() == QEvent::KeyPress &&
        static_cast<QKeyEvent*>(event)->key() == Qt::Key_Escape) {
        form_.gridActions().escapeEditor();
        syncEditor();
        return true;
    }
    if (watched == editor_ && event->type() == QEvent::FocusOut && editor_->isVisible() &&
        !editor_->view()->isVisible()) {
        form_.gridActions().setEditorText(editor_->currentText().toStdString());
        form_.gridActions().commitEditor();
        syncEditor();
    }
    return QWidget::eventFilter(watched, event);
}

void TradingWindow::gridPressed(const QPoint& position, Qt::MouseButton button) {
    QModelIndex index = gridView_->indexAt(position);
    if (!index.isValid()) return;
    GridActions& actions = form_.gridActions();
    if (actions.editor().visible) actions.setEditorText(editor_->currentText().toStdString());
    actions.mouseDown(index.row(), index.column(), button == Qt::RightButton);
    syncEditor();
    syncQuickButtons();
}

void TradingWindow::syncEditor() {
    const CellEditor& model = form_.gridActions().editor();
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

void TradingWindow::syncQuickButtons() {
    const auto& colours = form_.gridActions().quickButtonColours();
    const char* captions[] = {"BUY MARKET", "SELL MARKET"};
    for (int i = 0; i < 2; ++i) {
        QPushButton* b = button(captions[i]);
        if (b && colours[static_cast<std::size_t>(i)] >= 0)
            b->setStyleSheet("background-color: " + toQColor(colours[static_cast<std::size_t>(i)]).name() +
                             ";");
    }
}

void TradingWindow::closeEvent(QCloseEvent* event) {
    if (!closing_) {
        closing_ = true;
        form_.Form_Unload();
    }
    event->accept();
}

} // namespace kavex
