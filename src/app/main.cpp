// The Kavex client: builds the Qt platform, the client and its windows, and runs the
// event loop. The working directory holds every file the program reads and writes.
//
// The settings live in the working directory's files; the few command-line options only
// say where that directory is and help scripts and tests run the program unattended.
#include "app/client.h"
#include "app/window_views.h"
#include "app/working_folder.h"
#include "base/files.h"
#include "gui/chart_widget.h"
#include "gui/chat_window.h"
#include "gui/order_client_window.h"
#include "gui/qt_dialogs.h"
#include "platform/qt/qt_event_loop.h"
#include "platform/qt/qt_http_get.h"
#include "platform/qt/qt_printer.h"
#include "platform/qt/qt_prompts.h"
#include "platform/qt/qt_sound.h"
#include "platform/qt/qt_system_services.h"
#include "platform/qt/qt_tcp_client.h"
#include "platform/qt/qt_tcp_listener.h"
#include "platform/qt/shutdown_signals.h"
#include "session/order_client.h"
#include "views/cell_grid.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QDir>
#include <QFileInfo>
#include <QIcon>
#include <QLocale>
#include <QPixmap>
#include <QSessionManager>
#include <QTimer>

#include <cstdio>
#include <filesystem>

namespace {

struct Options {
    QString workdir;
    int seconds = 0; // 0: runs until the user ends it
    QString screenshot;
    bool printGrid = false;
    QString port;
    QString discovery;
};

bool parse(QApplication& app, Options& o) {
    QCommandLineParser parser;
    parser.setApplicationDescription("Kavex: client of the exchange trading game.");
    parser.addHelpOption();
    QCommandLineOption workdir("workdir",
                               "Folder of the settings, colour, history and request files (default: the "
                               "current folder, or ~/.local/share/kavex when that is the home folder or "
                               "cannot be written).",
                               "folder");
    QCommandLineOption seconds("seconds", "Ends the program after this many seconds, saving as on ENDE.",
                               "seconds");
    QCommandLineOption screenshot("screenshot",
                                  "With --seconds: saves a picture of the trading window (PNG) "
                                  "just before the end.",
                                  "file");
    QCommandLineOption printGrid("print-grid",
                                 "With --seconds: prints the order grid's texts before the end, "
                                 "one row per line, cells separated by \" | \".");
    QCommandLineOption port("port", "Server port of the first connection (later ones follow the discovery).",
                            "port");
    QCommandLineOption discovery("discovery",
                                 "Web server of the discovery documents, e.g. http://host:4180/.", "url");
    parser.addOptions({workdir, seconds, screenshot, printGrid, port, discovery});
    parser.process(app);
    o.workdir = kavex::chooseWorkingFolder(parser.value(workdir), QCoreApplication::applicationFilePath());
    o.screenshot = parser.value(screenshot);
    o.printGrid = parser.isSet(printGrid);
    o.port = parser.value(port);
    o.discovery = parser.value(discovery);
    if (parser.isSet(seconds)) {
        bool ok = false;
        o.seconds = parser.value(seconds).toInt(&ok);
        if (!ok || o.seconds <= 0) {
            std::fprintf(stderr, "kavex: --seconds needs a number above 0\n");
            return false;
        }
    }
    if (!QFileInfo(o.workdir).isDir()) {
        std::fprintf(stderr, "kavex: no folder %s\n", qPrintable(o.workdir));
        return false;
    }
    return true;
}

void printGrid(kavex::CellGrid& grid) {
    for (int r = 0; r < grid.rows(); ++r) {
        std::string line;
        for (int c = 0; c < grid.cols(); ++c)
            line += (c ? " | " : "") + grid.text(r, c);
        std::printf("%s\n", line.c_str());
    }
    std::fflush(stdout);
}

} // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QApplication::setApplicationName("Kavex");
    QApplication::setDesktopFileName("kavex");
    QApplication::setWindowIcon(QIcon::fromTheme("kavex"));
    Options options;
    if (!parse(app, options)) return 2;

    kavex::QtEventLoop loop;
    kavex::QtTcpClient socket;
    kavex::QtHttpGet http;
    kavex::QtSystemServices system;
    kavex::QtSound sound;
    kavex::QtPrompts prompts;
    kavex::QtDialogHost dialogs;
    kavex::QtPrinter printer;
    kavex::QtTcpListener bridgeSocket;
    kavex::WorkingDirectory folder(std::filesystem::path(QDir(options.workdir).absolutePath().toStdString()));
    const QString decimalPoint = QLocale::system().decimalPoint();
    kavex::DiscoverySites discovery;
    if (!options.discovery.isEmpty()) {
        QString site = options.discovery.endsWith('/') ? options.discovery : options.discovery + '/';
        discovery.primary = discovery.mirror = site.toStdString();
    }

    kavex::Client client(kavex::ClientPlatform{
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
        discovery,
        {},
        &printer,
        &bridgeSocket});
    client.endProgram = [] { QApplication::quit(); };
    if (!options.port.isEmpty()) client.orderClient().setPort(options.port.toStdString());

    client.load(); // fills the window's lists; the start-up runs on the first timer tick
    kavex::TradingWindowWidget window(kavex::windowViews(client));
    kavex::OrderClientWindow clientWindow(client.connectionWindow());
    // Both show and hide themselves as their models open and close.
    kavex::ChartWidget chartWindow(client.chart());
    kavex::ChatWindow chatWindow(client.chat(), [&window] { return window.frameGeometry(); });
    window.show();
    // A signal or the session's logout ends the program as "ENDE" does: the window
    // closes, which saves once and quits. Closing again while that runs does nothing.
    kavex::ShutdownSignals shutdownSignals([&window] { window.close(); });
    QObject::connect(&app, &QGuiApplication::commitDataRequest, &window,
                     [&window](QSessionManager&) { window.close(); });

    if (options.seconds > 0) {
        QTimer::singleShot(options.seconds * 1000, &window, [&] {
            if (!options.screenshot.isEmpty() && !window.grab().save(options.screenshot))
                std::fprintf(stderr, "kavex: cannot write %s\n", qPrintable(options.screenshot));
            if (options.printGrid) printGrid(client.orderGridCells());
            window.close(); // the normal shutdown: saves and ends the program
        });
    }
    return QApplication::exec();
}
