// The chart window of a real trading window on the Qt platform, fed by the demo game
// server program: the ticker cell opens it, the live prices fill both panes, and the
// quantity chosen in the hot-field panel is the quantity of the order that the server
// then reports. With KAVEX_SCREENSHOT_DIR set, the window is saved there as a picture.
#include "base/files.h"
#include "demo_server.h"
#include "platform/qt/chart_widget.h"
#include "platform/qt/qt_http_get.h"
#include "platform/qt/qt_tcp_client.h"
#include "support/fakes.h"
#include "trading_window/order_form.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <memory>

namespace kavex {
namespace {

#ifdef KAVEX_SERVER_PROGRAM

constexpr uint32_t kLimitMs = 10000;

TEST(ChartServerRun, LivePricesFillTheChartAndTheChosenQuantityIsTraded) {
    QtEventLoop loop;
    QTemporaryDir serverFolder, clientFolder;
    test::DemoServer server(loop, serverFolder.path());
    ASSERT_TRUE(server.start(KAVEX_SERVER_PROGRAM));

    WorkingDirectory folder(clientFolder.path().toStdString());
    Settings settings;
    settings.userName = "demo1";
    settings.password = "demo";
    writeTextLines(folder.path(SettingsFile::kSettingsName), SettingsFile::settingsLines(settings));
    DiscoverySites sites;
    sites.primary = "http://127.0.0.1:" + std::to_string(server.webPort) + "/";
    sites.mirror = sites.primary;
    QtTcpClient socket;
    QtHttpGet http{2000};
    test::FakeSound sound;
    test::FakeSystemServices system;
    test::FakePrompts prompts;
    test::ImmediateDialogs dialogs;
    OrderForm form(OrderFormPlatform{
        loop, socket, http, sound, system, prompts, dialogs, folder, "kavex", NumberLocale{'.'}, sites, {}});
    form.endProgram = [] {};
    ChartWidget window(form.chart());
    form.chart().setHotFieldPanelWidth(120); // the window's own layout hides the panel
    form.orderClient().Command1_Click();
    form.Form_Load();
    TradingData& data = form.data();
    ASSERT_TRUE(test::waitUntil(
        loop, [&] { return data.InstrumentCount() > 0 && !data.account.accountCode.trimmed().empty(); },
        kLimitMs));

    // The ticker cell of the first instrument opens the chart.
    const int row = data.gridRows.SuchRow(1, RowInstrument);
    form.gridActions().mouseDown(row, form.columns().map(0, 1), false);
    ASSERT_TRUE(window.isVisible());
    EXPECT_EQ(window.windowTitle().toStdString(), "Chart von " + data.instruments.at(1).Name);
    window.resize(900, 420);
    // A picture wants some history; the check needs only a few points.
    const QByteArray dir = qgetenv("KAVEX_SCREENSHOT_DIR");
    const int points = dir.isEmpty() ? 8 : 40;
    ASSERT_TRUE(test::waitUntil(
        loop, [&] { return data.history.pos(1) >= points; }, 60000));
    form.chart().C_Click();

    // Quantity 4 from the panel, then a buy line at the ask, transmitted.
    const Scale& s = form.chart().panel().scale();
    form.chart().Hotfield_MouseDown(true, 4.5, s.bottom + 0.35 * (s.top - s.bottom));
    ASSERT_EQ(form.gridActions().defaultQuantityBox().text(), " 4");
    form.gridActions().mouseDown(row, form.columns().map(0, 9), false);
    form.gridActions().mouseDown(form.gridActions().lastInsertedRow(), form.columns().map(1, 10), false);
    ASSERT_TRUE(test::waitUntil(
        loop, [&] { return data.orderBook.count() > 0; }, kLimitMs));
    EXPECT_EQ(data.orderBook.at(1).quantity, 4);
    EXPECT_EQ(data.orderBook.at(1).instrumentNumber, 1);

    if (!dir.isEmpty()) window.grab().save(QString::fromLocal8Bit(dir) + "/chart_live.png");
    form.chart().Form_Unload();
    EXPECT_EQ(data.ChartInstrument, 0);
}

#else

TEST(ChartServerRun, NeedsTheDemoServerProgram) {
    GTEST_SKIP() << "kavex-server is not part of this build";
}

#endif

} // namespace
} // namespace kavex
