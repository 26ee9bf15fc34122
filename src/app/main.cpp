// The Kavex client: builds the Qt platform, the trading window and its views, and runs
// the event loop. The working directory holds every file the program reads and writes.
#include "base/files.h"
#include "platform/qt/chart_widget.h"
#include "platform/qt/chat_window.h"
#include "platform/qt/order_client_window.h"
#include "platform/qt/qt_dialogs.h"
#include "platform/qt/qt_event_loop.h"
#include "platform/qt/qt_http_get.h"
#include "platform/qt/qt_printer.h"
#include "platform/qt/qt_sound.h"
#include "platform/qt/qt_system_services.h"
#include "platform/qt/qt_tcp_client.h"
#include "platform/qt/qt_tcp_listener.h"
#include "platform/qt/trading_window.h"
#include "trading_window/order_form.h"

#include <QApplication>
#include <QFileInfo>
#include <QLocale>

#include <filesystem>

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QApplication::setApplicationName("Kavex");

    kavex::QtEventLoop loop;
    kavex::QtTcpClient socket;
    kavex::QtHttpGet http;
    kavex::QtSystemServices system;
    kavex::QtSound sound;
    kavex::QtPrompts prompts;
    kavex::QtDialogHost dialogs;
    kavex::QtPrinter printer;
    kavex::QtTcpListener bridgeSocket;
    kavex::WorkingDirectory folder(std::filesystem::current_path());
    const QString decimalPoint = QLocale::system().decimalPoint();

    kavex::OrderForm form(kavex::OrderFormPlatform{
        loop,
        socket,
        http,
        sound,
        system,
        prompts,
        dialogs,
        folder,
        QFileInfo(QString::fromLocal8Bit(argv[0])).completeBaseName().toStdString(),
        kavex::NumberLocale{decimalPoint.isEmpty() ? '.' : decimalPoint.at(0).toLatin1()},
        {},
        {},
        &printer,
        &bridgeSocket});
    form.endProgram = [] { QApplication::quit(); };

    kavex::TradingWindow window(form);
    kavex::OrderClientWindow clientWindow(form.orderClient());
    // Both show and hide themselves as their models open and close.
    kavex::ChartWidget chartWindow(form.chart());
    kavex::ChatWindow chatWindow(form.chat(), [&window] { return window.frameGeometry(); });
    window.show();
    form.Form_Load();
    return QApplication::exec();
}
