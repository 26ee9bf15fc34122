#include "gui/order_client_window.h"

#include "gui/text_list_model.h"
#include "session/order_client.h"
#include "views/connection_window.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QPushButton>
#include <QVBoxLayout>

namespace kavex {
namespace {

QString qtText(std::string_view utf8) {
    return QString::fromUtf8(utf8.data(), static_cast<qsizetype>(utf8.size()));
}
std::string utf8(const QString& text) {
    return text.toUtf8().toStdString();
}

} // namespace

OrderClientWindow::OrderClientWindow(ConnectionWindow& model, QWidget* parent)
    : QWidget(parent), model_(model) {
    setWindowTitle(qtText(ConnectionWindow::kCaption));
    OrderClient& client = model.connection();

    auto* fields = new QGridLayout;
    hostEdit_ = lineEdit(model.hostField, [&model](const std::string& v) { model.editHost(v); });
    fields->addWidget(hostEdit_, 0, 0, 1, 2);
    fields->addWidget(new QLabel("&Port:"), 0, 2);
    QLineEdit* port = lineEdit(model.portField, [&model](const std::string& v) { model.editPort(v); });
    fields->addWidget(port, 0, 3);
    fields->addWidget(new QLabel("User:"), 1, 0);
    fields->addWidget(lineEdit(model.userField, [&model](const std::string& v) { model.editUser(v); }), 1, 1);
    fields->addWidget(new QLabel("PW:"), 1, 2);
    QLineEdit* password =
        lineEdit(model.passwordField, [&model](const std::string& v) { model.editPassword(v); });
    password->setEchoMode(QLineEdit::Password);
    fields->addWidget(password, 1, 3);
    QCheckBox* keep = checkBox("IP", model.keepServerBox, [&model](bool on) { model.tickKeepServer(on); });
    keep->setToolTip("Diesen Server behalten, ohne die IP-Seite zu lesen");
    fields->addWidget(keep, 0, 4);
    QCheckBox* logAll =
        checkBox("Kursprotokoll", model.logAllBox, [&model](bool on) { model.tickLogAll(on); });
    logAll->setToolTip("Auch Kursmeldungen in die Liste schreiben");
    fields->addWidget(logAll, 1, 4);
    static_cast<QLabel*>(fields->itemAtPosition(0, 2)->widget())->setBuddy(port);

    auto* connection = new QHBoxLayout;
    addButton("Lies IP-Seite", "Serveradresse neu abfragen", [&client] { client.discoverServer(); });
    addButton("LOGIN", "Verbinden und anmelden", [&client] { client.connect(); });
    addButton("LOGOUT", "Verbindung trennen", [&client] { client.disconnect(); });
    addButton("&Ablegen", "Fenster ausblenden (Alt+A)", [&model] { model.hide(); });
    auto* requests = new QHBoxLayout;
    addButton("Time ?", "Uhrzeit des Servers anfordern", [&client] { client.requestTime(); });
    addButton("Instruments", "Wertpapierliste anfordern", [&client] { client.requestInstruments(); });
    addButton("R.All Orders", "Alle Orders anfordern", [&client] { client.requestAllOrders(); });
    addButton("R.Open Orders", "Offene Orders anfordern", [&client] { client.requestOpenOrders(); });
    addButton("R.AllExec.", "Alle Executions anfordern", [&client] { client.requestAllExecutions(); });
    for (int i = 0; i < buttons_.size(); ++i)
        (i < 4 ? connection : requests)->addWidget(buttons_[i]);

    auto* status = new QHBoxLayout;
    status->addWidget(label(model.stateLabel));
    status->addWidget(label(model.byteLabel));
    lastQuoteLabel_ = label(model.lastQuote);

    auto* lists = new QHBoxLayout;
    incomingView_ = listView(client.incoming());
    outgoingView_ = listView(client.outgoing());
    lists->addWidget(incomingView_);
    lists->addWidget(outgoingView_);
    QLabel* line = label(model.lineLabel);
    line->setWordWrap(true);
    line->setTextInteractionFlags(Qt::TextSelectableByMouse);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(fields);
    layout->addLayout(connection);
    layout->addLayout(requests);
    layout->addLayout(status);
    layout->addWidget(lastQuoteLabel_);
    layout->addLayout(lists, 1);
    layout->addWidget(line);
    resize(760, 520);

    model.setVisibilityObserver([this](bool shown) { setVisible(shown); });
    setVisible(model.visible());
}

OrderClientWindow::~OrderClientWindow() {
    model_.setVisibilityObserver({});
    for (Label* field : {&model_.hostField, &model_.portField, &model_.userField, &model_.passwordField,
                         &model_.stateLabel, &model_.byteLabel, &model_.lastQuote, &model_.lineLabel})
        field->setObserver({});
    model_.keepServerBox.setObserver({});
    model_.logAllBox.setObserver({});
}

void OrderClientWindow::closeEvent(QCloseEvent* event) {
    event->ignore();
    model_.hide();
}

QPushButton* OrderClientWindow::button(const QString& caption) const {
    for (QPushButton* b : buttons_)
        if (b->text() == caption) return b;
    return nullptr;
}

QLineEdit* OrderClientWindow::lineEdit(Label& field, std::function<void(const std::string&)> edited) {
    auto* edit = new QLineEdit(qtText(field.text()));
    field.setObserver([edit](const std::string& text) { edit->setText(qtText(text)); });
    // textEdited comes from the user only, so the model's own changes do not echo back.
    connect(edit, &QLineEdit::textEdited, this, [edited](const QString& text) { edited(utf8(text)); });
    return edit;
}

QLabel* OrderClientWindow::label(Label& model) {
    auto* shown = new QLabel(qtText(model.text()));
    shown->setTextFormat(Qt::PlainText);
    model.setObserver([shown](const std::string& text) { shown->setText(qtText(text)); });
    return shown;
}

QCheckBox* OrderClientWindow::checkBox(const QString& caption, CheckBox& model,
                                       std::function<void(bool)> toggled) {
    auto* box = new QCheckBox(caption);
    box->setChecked(model.checked());
    model.setObserver([box](bool checked) { box->setChecked(checked); });
    connect(box, &QCheckBox::clicked, this, [toggled](bool checked) { toggled(checked); });
    return box;
}

QListView* OrderClientWindow::listView(TextList& list) {
    auto* view = new QListView;
    view->setModel(new TextListModel(list, view));
    view->setUniformItemSizes(true); // long lists stay cheap to lay out
    connect(view, &QListView::clicked, this,
            [this, &list](const QModelIndex& index) { model_.listClicked(list, index.row()); });
    connect(view, &QListView::doubleClicked, this,
            [this, &list](const QModelIndex&) { model_.listDoubleClicked(list); });
    return view;
}

QPushButton* OrderClientWindow::addButton(const QString& caption, const QString& hint,
                                          std::function<void()> action) {
    auto* b = new QPushButton(caption);
    b->setToolTip(hint);
    connect(b, &QPushButton::clicked, this, [action] { action(); });
    buttons_.append(b);
    return b;
}

} // namespace kavex
