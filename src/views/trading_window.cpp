#include "views/trading_window.h"

#include "base/failure.h"
#include "base/files.h"
#include "base/fixed_text.h"
#include "external/file_drop.h"
#include "model/order.h"
#include "model/order_grid_rows.h"
#include "model/settings_file.h"
#include "model/trading_data.h"
#include "platform/services.h"
#include "session/order_client.h"
#include "trading/order_placement.h"
#include "views/cell_grid.h"
#include "views/closing.h"
#include "views/colour_roles.h"
#include "views/connection_window.h"
#include "views/execution_grid.h"
#include "views/grid_actions.h"
#include "views/grid_columns.h"
#include "views/login_dialogs.h"
#include "views/order_grid.h"
#include "views/sound_routine.h"
#include "views/statements.h"

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <utility>
#include <vector>

namespace kavex {
namespace {

// The working directory's files with this extension (given in capitals), sorted.
std::vector<std::string> filesWithExtension(const WorkingDirectory& folder,
                                            const std::string& upperExtension) {
    std::vector<std::string> names;
    std::error_code ec;
    for (const auto& entry : std::filesystem::directory_iterator(folder.root(), ec)) {
        std::string name = entry.path().filename().string();
        if (name.size() > upperExtension.size() &&
            upperAscii(name.substr(name.size() - upperExtension.size())) == upperExtension)
            names.push_back(name);
    }
    std::sort(names.begin(), names.end());
    return names;
}

} // namespace

TradingWindow::TradingWindow(TradingWindowControls& controls, TradingWindowPlatform platform,
                             TradingWindowParts parts)
    : controls_(controls), platform_(std::move(platform)), parts_(parts) {}

void TradingWindow::fillLists() {
    controls_.defaultQuantityList.setLines(
        {"1", "2", "3", "4", "5", "6", "7", "8", "9", "10", "20", "25", "50", "100"});
    controls_.colourSchemeList.setLines(filesWithExtension(platform_.folder, ".COL"));
    controls_.executionOrderList.setLines(
        {"Nach WP / Nach Datum", "Nach Datum Neu Unten", "Nach Datum Neu Oben"});
}

void TradingWindow::resize(int32_t innerWidth, int32_t innerHeight) {
    layout_.resize(innerWidth, innerHeight);
}

void TradingWindow::chooseTab(int tab) {
    currentTab_ = tab;
    layout_.resize(layout_.lastWidth, layout_.lastHeight);
    if (tab == StatementsTab) parts_.statements.fillStatementList();
    if (tab == SettingsTab) {
        controls_.soundFileField.setText(parts_.settings.soundFile);
        controls_.soundFiles.setLines(filesWithExtension(platform_.folder, ".WAV"));
    }
}

void TradingWindow::restoreGeometry(const TwipRect& saved) {
    bool placed = false;
    for (auto [part, current] :
         {std::pair{saved.width, &window_.width}, std::pair{saved.height, &window_.height},
          std::pair{saved.top, &window_.top}, std::pair{saved.left, &window_.left}}) {
        if (part <= 0) continue;
        *current = part;
        placed = true;
    }
    if (placed && placeWindow) placeWindow(window_);
}

void TradingWindow::cancelAll() {
    parts_.placement.cancelAllOrders();
}

void TradingWindow::transmitAll() {
    parts_.placement.transmitAll();
}

void TradingWindow::deleteEntryLines() {
    TradingData& data = parts_.data;
    for (int r = 2; r <= data.gridRows.rowCount(); ++r) {
        const OrderGridRow& d = data.gridRows.at(r);
        if (d.kind == RowEntryLine && data.entryLines.valid(d.ref)) freeEntryLine(data.entryLines.at(d.ref));
    }
    parts_.orderGrid.rebuildRows();
    parts_.orderGrid.redrawAll();
}

void TradingWindow::buyMarket() {
    parts_.gridActions.quickOrder(0);
}

void TradingWindow::sellMarket() {
    parts_.gridActions.quickOrder(1);
}

void TradingWindow::toggleFinishedOrders() {
    parts_.gridActions.toggleFinishedOrders();
}

void TradingWindow::closeAllPositions() {
    parts_.closing.closeAllPositions();
}

void TradingWindow::askForNewUser() {
    if (platform_.prompts.askYesNo("Wollen Sie wirklich einen neuen Username/Paßwort eingeben")) newUser();
}

void TradingWindow::newUser() {
    parts_.credentials.open();
    platform_.dialogs.runModal(parts_.credentials);
    OrderClient& client = parts_.orderClient;
    client.disconnect();
    client.takeCredentialsFromSettings();
    parts_.data.account.loginText = parts_.settings.userName + "%" + parts_.settings.password;
    client.connect();
}

void TradingWindow::showConnectionWindow() {
    parts_.connectionWindow.show();
}

void TradingWindow::chooseColourScheme(const std::string& fileName) {
    std::error_code ec;
    if (!std::filesystem::exists(platform_.folder.path(fileName), ec)) return;
    parts_.colours.loadFile(platform_.folder, fileName, controls_.log);
    parts_.columns.setUp(parts_.colours);
    parts_.orderGrid.redrawAll();
    parts_.executionGrid.redrawAll();
}

void TradingWindow::applyColours() {
    parts_.colours.saveFile(platform_.folder, controls_.log);
    parts_.columns.setUp(parts_.colours);
    parts_.orderGrid.redrawAll();
    parts_.executionGrid.redrawAll();
    chooseTab(currentTab_);
}

void TradingWindow::setAsciiRemote(bool on) {
    parts_.settings.asciiRemote = on ? 1 : 0;
    parts_.fileDrop.setActive(on);
}

bool TradingWindow::fileDropActive() const {
    return parts_.fileDrop.active();
}

void TradingWindow::chooseSound(const std::string& fileName) {
    parts_.settings.soundFile = fileName;
    controls_.soundFileField.setText(fileName);
    parts_.sound.play(fileName);
}

void TradingWindow::setZentrivoExtern(bool on) {
    parts_.settings.zentrivoExtern = on ? 1 : 0;
}

bool TradingWindow::bridgeFrameVisible() const {
    return !platform_.gameEdition && parts_.settings.zentrivoExtern != 0;
}

void TradingWindow::clickLogo(bool shiftAndCtrl) {
    if (!shiftAndCtrl) return openProductPage();
    if (requestSystemInfo) guard(controls_.log, "Logo ", [&] { requestSystemInfo(); });
}

void TradingWindow::openProductPage() {
    skipOnFailure([&] { platform_.system.openUrl(platform_.productPage); });
}

void TradingWindow::showProgramName() {
    platform_.prompts.message(platform_.executableName);
}

} // namespace kavex
