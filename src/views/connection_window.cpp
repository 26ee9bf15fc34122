#include "views/connection_window.h"

#include "base/numbers.h"

namespace kavex {

ConnectionWindow::ConnectionWindow(OrderClient& connection) : connection_(connection) {
    for (auto what :
         {OrderClient::Change::Host, OrderClient::Change::Port, OrderClient::Change::User,
          OrderClient::Change::Password, OrderClient::Change::KeepServer, OrderClient::Change::LogAll,
          OrderClient::Change::SocketState, OrderClient::Change::ByteCount, OrderClient::Change::LastQuote})
        showChange(what);
    connection_.setChangeObserver([this](OrderClient::Change what) { showChange(what); });
}

ConnectionWindow::~ConnectionWindow() {
    connection_.setChangeObserver({});
}

void ConnectionWindow::showChange(OrderClient::Change what) {
    const OrderClient& c = connection_;
    switch (what) {
    case OrderClient::Change::Host:
        hostField.setText(c.host());
        break;
    case OrderClient::Change::Port:
        portField.setText(c.port());
        break;
    case OrderClient::Change::User:
        userField.setText(c.user());
        break;
    case OrderClient::Change::Password:
        passwordField.setText(c.password());
        break;
    case OrderClient::Change::KeepServer:
        keepServerBox.setChecked(c.keepServer());
        break;
    case OrderClient::Change::LogAll:
        logAllBox.setChecked(c.logAll());
        break;
    case OrderClient::Change::SocketState:
        stateLabel.setText(c.socketStateText());
        break;
    case OrderClient::Change::ByteCount:
        byteLabel.setText("Bytes:" + strInt(c.byteCount()));
        break;
    case OrderClient::Change::LastQuote:
        lastQuote.setText(c.lastQuote());
        break;
    }
}

void ConnectionWindow::editHost(std::string_view host) {
    connection_.setHost(host);
}
void ConnectionWindow::editPort(std::string_view port) {
    connection_.setPort(port);
}
void ConnectionWindow::editUser(std::string_view user) {
    connection_.setUser(user);
}
void ConnectionWindow::editPassword(std::string_view password) {
    connection_.setPassword(password);
}
void ConnectionWindow::tickKeepServer(bool keep) {
    connection_.setKeepServer(keep);
}
void ConnectionWindow::tickLogAll(bool logAll) {
    connection_.setLogAll(logAll);
}

void ConnectionWindow::listClicked(const TextList& list, int index) {
    if (index >= 0 && static_cast<std::size_t>(index) < list.size())
        lineLabel.setText(list.lines()[static_cast<std::size_t>(index)]);
}

void ConnectionWindow::listDoubleClicked(TextList& list) {
    list.clear();
}

void ConnectionWindow::show() {
    setVisible(true);
}

void ConnectionWindow::hide() {
    setVisible(false);
}

void ConnectionWindow::setVisible(bool visible) {
    visible_ = visible;
    if (visibilityObserver_) visibilityObserver_(visible);
}

} // namespace kavex
