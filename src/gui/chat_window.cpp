#include "gui/chat_window.h"

#include <functional>

#include "community/chat.h"
#include "gui/text_list_model.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QMouseEvent>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScreen>
#include <QScrollBar>
#include <QTextBlock>
#include <QVBoxLayout>

namespace kavex {
namespace {

QString fromUtf8(std::string_view text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

// The chat keeps line breaks as CR LF; Qt's text views use LF.
QString toView(std::string_view text) {
    QString t = fromUtf8(text);
    t.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    return t;
}

std::string fromView(QString text) {
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    text.replace(QStringLiteral("\n"), QStringLiteral("\r\n"));
    return text.toStdString();
}

// Byte offset in the chat's history where the view's block `block` starts. The view
// breaks lines at CR LF and at a lone LF.
std::size_t historyOffsetOfBlock(const std::string& history, int block) {
    std::size_t pos = 0;
    for (int b = 0; b < block; ++b) {
        const std::size_t lf = history.find('\n', pos);
        if (lf == std::string::npos) return history.size();
        pos = lf + 1;
    }
    return pos;
}

} // namespace

ChatWindow::ChatWindow(Chat& chat, std::function<QRect()> anchor, QWidget* parent)
    : QWidget(parent, Qt::Window), chat_(chat), anchor_(std::move(anchor)) {
    setWindowTitle(QStringLiteral("Chat"));
    usersModel_ = new TextListModel(chat_.users, this);
    tradesModel_ = new TextListModel(chat_.trades, this);

    auto* root = new QHBoxLayout(this);
    root->setContentsMargins(4, 4, 4, 4);
    auto* main = new QVBoxLayout;
    root->addLayout(main, 1);

    auto* top = new QHBoxLayout;
    history_ = new QPlainTextEdit;
    history_->setReadOnly(true);
    history_->setLineWrapMode(QPlainTextEdit::WidgetWidth);
    history_->viewport()->installEventFilter(this);
    top->addWidget(history_, 3);
    auto* userColumn = new QVBoxLayout;
    userColumn->addWidget(new QLabel(QString::fromUtf8(Chat::kUserListTitle)));
    users_ = new QListView;
    users_->setModel(usersModel_);
    users_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    connect(users_, &QListView::clicked, this, [this](const QModelIndex& i) { chat_.chooseUser(i.row()); });
    userColumn->addWidget(users_);
    top->addLayout(userColumn, 1);
    main->addLayout(top, 1);

    input_ = new QPlainTextEdit;
    input_->setFixedHeight(input_->fontMetrics().lineSpacing() * 3);
    input_->setToolTip(
        QStringLiteral("Nachricht; Enter sendet an alle, Umschalt+Enter beginnt eine neue Zeile"));
    input_->installEventFilter(this);
    connect(input_, &QPlainTextEdit::textChanged, this,
            [this] { chat_.input.setText(fromView(input_->toPlainText())); });
    main->addWidget(input_);

    // Plain callbacks: a pointer to a member function in the slot trips the address sanitizer here.
    auto addButton = [this](QBoxLayout* row, const QString& caption, std::function<void()> click,
                            const QString& hint) {
        auto* b = new QPushButton(caption);
        b->setToolTip(hint);
        connect(b, &QPushButton::clicked, this, [click = std::move(click)] { click(); });
        row->addWidget(b);
        buttons_.append(b);
        return b;
    };
    auto* sendRow = new QHBoxLayout;
    addButton(
        sendRow, QStringLiteral("Senden an alle"), [this] { chat_.sendToAll(); },
        QStringLiteral("Nachricht an alle im Chat senden (Enter)"));
    addButton(
        sendRow, QStringLiteral("Privat senden an:"), [this] { chat_.sendPrivate(); },
        QStringLiteral("Nachricht nur an den rechts genannten Teilnehmer senden"));
    recipient_ = new QLineEdit;
    recipient_->setToolTip(QStringLiteral("Empfänger; ein Klick auf einen Namen im Verlauf trägt ihn ein"));
    connect(recipient_, &QLineEdit::textEdited, this,
            [this](const QString& t) { chat_.recipient.setText(t.toStdString()); });
    sendRow->addWidget(recipient_, 1);
    main->addLayout(sendRow);

    auto* optionRow = new QHBoxLayout;
    stop_ = new QCheckBox(QStringLiteral("Stop"));
    stop_->setToolTip(QStringLiteral("Verlauf und Trades nicht mitrollen"));
    connect(stop_, &QCheckBox::toggled, this, [this](bool on) { chat_.stopOption.setChecked(on); });
    optionRow->addWidget(stop_);
    addButton(
        optionRow, QStringLiteral("Löschen"), [this] { chat_.clearHistory(); },
        QStringLiteral("Verlauf leeren"));
    addButton(
        optionRow, QStringLiteral("&T"), [this] { chat_.showTrades(); },
        QStringLiteral("Liste der Trades zeigen (Alt+T)"));
    addButton(
        optionRow, QStringLiteral("&X"), [this] { chat_.hideTrades(); },
        QStringLiteral("Liste der Trades schließen (Alt+X)"));
    optionRow->addStretch(1);
    main->addLayout(optionRow);

    tradesPanel_ = new QWidget;
    auto* tradesLayout = new QVBoxLayout(tradesPanel_);
    tradesLayout->setContentsMargins(0, 0, 0, 0);
    trades_ = new QListView;
    trades_->setModel(tradesModel_);
    trades_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    tradesLayout->addWidget(trades_);
    root->addWidget(tradesPanel_, 1);

    chat_.setObserver([this](Chat::Change c) { chatChanged(static_cast<int>(c)); });
    chat_.input.setObserver([this](const std::string&) { syncInput(); });
    chat_.recipient.setObserver([this](const std::string& t) {
        if (recipient_->text().toStdString() != t) recipient_->setText(fromUtf8(t));
    });
    chat_.stopOption.setObserver([this](bool on) {
        if (stop_->isChecked() != on) stop_->setChecked(on);
    });

    setFixedHeight(pixels(Chat::kHeight));
    setMinimumWidth(pixels(Chat::kNarrowWidth) / 2);
    resize(pixels(chat_.width()), pixels(Chat::kHeight));
    chatChanged(static_cast<int>(Chat::Change::HistoryReset));
    syncInput();
    recipient_->setText(fromUtf8(chat_.recipient.text()));
    stop_->setChecked(chat_.stopOption.checked());
    syncWindow();
}

ChatWindow::~ChatWindow() {
    chat_.setObserver({});
    chat_.input.setObserver({});
    chat_.recipient.setObserver({});
    chat_.stopOption.setObserver({});
}

int ChatWindow::pixels(int twips) const {
    return twips * logicalDpiX() / 1440;
}

QPushButton* ChatWindow::button(const QString& caption) const {
    for (QPushButton* b : buttons_)
        if (b->text() == caption) return b;
    return nullptr;
}

void ChatWindow::chatChanged(int change) {
    const std::string& h = chat_.history();
    switch (static_cast<Chat::Change>(change)) {
    case Chat::Change::HistoryAppended:
        if (shownHistoryBytes_ <= h.size()) {
            QTextCursor end(history_->document());
            end.movePosition(QTextCursor::End);
            end.insertText(toView(std::string_view(h).substr(shownHistoryBytes_)));
            shownHistoryBytes_ = h.size();
            break;
        }
        [[fallthrough]];
    case Chat::Change::HistoryReset:
        history_->setPlainText(toView(h));
        shownHistoryBytes_ = h.size();
        break;
    case Chat::Change::Caret: {
        QTextCursor end(history_->document());
        end.movePosition(QTextCursor::End);
        history_->setTextCursor(end);
        history_->ensureCursorVisible();
        break;
    }
    case Chat::Change::TradesSelection:
        if (chat_.tradesSelection() >= 0) {
            const QModelIndex i = tradesModel_->index(chat_.tradesSelection(), 0);
            trades_->setCurrentIndex(i);
            trades_->scrollTo(i);
        }
        break;
    case Chat::Change::Window:
        syncWindow();
        break;
    }
}

void ChatWindow::syncInput() {
    if (fromView(input_->toPlainText()) != chat_.input.text())
        input_->setPlainText(toView(chat_.input.text()));
}

void ChatWindow::syncWindow() {
    if (!chat_.visible()) {
        if (isVisible() && !closing_) hide();
        shownWidthTwips_ = 0;
        return;
    }
    button(QStringLiteral("&T"))->setVisible(chat_.tradesButtonVisible());
    if (chat_.width() != shownWidthTwips_) {
        shownWidthTwips_ = chat_.width();
        resize(pixels(chat_.width()), pixels(Chat::kHeight));
    }
    if (isVisible()) return;
    if (anchor_) {
        const QRect a = anchor_();
        const QRect screenArea = screen() ? screen()->availableGeometry() : QRect(0, 0, 1920, 1080);
        const WindowRect r =
            chatWindowPlacement({a.x(), a.y(), a.width(), a.height()}, width(), height(),
                                {screenArea.x(), screenArea.y(), screenArea.width(), screenArea.height()});
        move(r.left, r.top);
    }
    show();
}

void ChatWindow::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    // The trades list lies to the right and shows only when the window is wide.
    tradesPanel_->setVisible(width() >= pixels((Chat::kNarrowWidth + Chat::kWideWidth) / 2));
}

void ChatWindow::closeEvent(QCloseEvent* event) {
    // Closing the window unloads the chat window: its history and lists are gone.
    closing_ = true;
    chat_.close();
    closing_ = false;
    event->accept();
}

bool ChatWindow::eventFilter(QObject* watched, QEvent* event) {
    if (watched == input_ && event->type() == QEvent::KeyPress) {
        const auto* key = static_cast<QKeyEvent*>(event);
        if ((key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) &&
            !(key->modifiers() & Qt::ShiftModifier)) {
            chat_.sendToAll();
            return true;
        }
    }
    if (watched == history_->viewport() && event->type() == QEvent::MouseButtonRelease) {
        const auto* mouse = static_cast<QMouseEvent*>(event);
        const int block = history_->cursorForPosition(mouse->position().toPoint()).blockNumber();
        chat_.historyClicked(historyOffsetOfBlock(chat_.history(), block));
    }
    return QWidget::eventFilter(watched, event);
}

} // namespace kavex
