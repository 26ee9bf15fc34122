#include "gui/bridge_frame.h"

#include "external/bridge.h"
#include "gui/text_list_model.h"
#include "model/settings_file.h"

#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QPushButton>

namespace kavex {
namespace {

QString q(const std::string& text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

// A text field that writes into a setting as it is typed.
QLineEdit* settingField(std::string& value, const char* name, QWidget* parent) {
    auto* field = new QLineEdit(q(value), parent);
    field->setObjectName(name);
    QObject::connect(field, &QLineEdit::textEdited, field,
                     [&value](const QString& text) { value = text.toStdString(); });
    return field;
}

// A text field over one of the bridge's labels; follows it both ways.
QLineEdit* labelField(Label& label, const char* name, QWidget* parent) {
    auto* field = new QLineEdit(q(label.text()), parent);
    field->setObjectName(name);
    QObject::connect(field, &QLineEdit::textEdited, field,
                     [&label](const QString& text) { label.setText(text.toStdString()); });
    return field;
}

QLabel* labelView(Label& label, const char* name, QWidget* parent) {
    auto* view = new QLabel(q(label.text()), parent);
    view->setObjectName(name);
    label.setObserver([view](const std::string& text) { view->setText(q(text)); });
    return view;
}

} // namespace

BridgeFrame::BridgeFrame(Bridge& bridge, Settings& settings, TextList& log, QWidget* parent)
    : QGroupBox(kTitle, parent), bridge_(bridge) {
    auto* grid = new QGridLayout(this);
    auto button = [this](const QString& caption, auto action, const char* hint) {
        auto* b = new QPushButton(caption, this);
        b->setToolTip(hint);
        connect(b, &QPushButton::clicked, this, action);
        return b;
    };

    grid->addWidget(new QLabel("Port", this), 0, 0);
    grid->addWidget(settingField(settings.bridgePort, "port", this), 0, 1);
    grid->addWidget(new QLabel("Client-IP", this), 1, 0);
    grid->addWidget(settingField(settings.bridgeAddress, "address", this), 1, 1);
    grid->addWidget(new QLabel("User", this), 2, 0);
    grid->addWidget(settingField(settings.bridgeUser, "user", this), 2, 1);
    grid->addWidget(new QLabel("Lokal", this), 3, 0);
    grid->addWidget(labelView(bridge.localAddressLabel, "localAddress", this), 3, 1);
    grid->addWidget(new QLabel("Status", this), 4, 0);
    grid->addWidget(labelView(bridge.socketStateLabel, "socketState", this), 4, 1);

    grid->addWidget(button(
                        "Listen", [this] { bridge_.listenAgain(); }, "Port neu öffnen"),
                    0, 2);
    grid->addWidget(button(
                        "&X", [this] { bridge_.closeSocket(); }, "Verbindung schließen (Alt+X)"),
                    1, 2);
    grid->addWidget(button(
                        "SI", [this] { bridge_.sendInstruments(); }, "Wertpapierliste senden"),
                    2, 2);
    grid->addWidget(button(
                        "GetPortfolio", [this] { bridge_.requestPortfolio(); }, "Portfolio anfordern"),
                    3, 2);
    grid->addWidget(labelField(bridge.testOrderField, "testOrder", this), 5, 0, 1, 2);
    grid->addWidget(button(
                        "Placeorder-Test", [this] { bridge_.testPlaceOrder(); }, "Testorder links ausführen"),
                    5, 2);
    grid->addWidget(labelField(bridge.testCancelField, "testCancel", this), 6, 0, 1, 2);
    grid->addWidget(
        button(
            "Cancelorder-Test", [this] { bridge_.testCancelOrder(); }, "Teststreichung links ausführen"),
        6, 2);

    auto* list = new QListView(this);
    list->setObjectName("bridgeLog");
    list->setModel(new TextListModel(log, list));
    list->setEditTriggers(QAbstractItemView::NoEditTriggers);
    connect(list, &QListView::doubleClicked, this, [this] { bridge_.clearLog(); });
    grid->addWidget(list, 7, 0, 1, 3);
}

BridgeFrame::~BridgeFrame() {
    bridge_.localAddressLabel.setObserver(nullptr);
    bridge_.socketStateLabel.setObserver(nullptr);
}

} // namespace kavex
