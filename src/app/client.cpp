#include "app/client.h"

#include "base/failure.h"
#include "base/files.h"
#include "base/fixed_text.h"
#include "community/chat.h"
#include "community/documents.h"
#include "community/file_transfer.h"
#include "external/bridge.h"
#include "external/file_drop.h"
#include "model/extra_settings.h"
#include "model/settings_file.h"
#include "model/trading_data.h"
#include "platform/event_loop.h"
#include "platform/services.h"
#include "session/history_files.h"
#include "session/instrument_code_table.h"
#include "session/order_client.h"
#include "session/price_handlers.h"
#include "trading/account_handlers.h"
#include "trading/holdings.h"
#include "trading/order_guard.h"
#include "trading/order_journal.h"
#include "trading/order_journal_feed.h"
#include "trading/order_placement.h"
#include "trading/order_reports.h"
#include "views/animated_logo.h"
#include "views/bracket_preset_dialog.h"
#include "views/brackets.h"
#include "views/cell_grid.h"
#include "views/chart.h"
#include "views/closing.h"
#include "views/colour_editor.h"
#include "views/colour_roles.h"
#include "views/connection_window.h"
#include "views/execution_grid.h"
#include "views/external_gate.h"
#include "views/external_orders.h"
#include "views/grid_actions.h"
#include "views/grid_columns.h"
#include "views/grid_context_menu.h"
#include "views/key_actions.h"
#include "views/link_state.h"
#include "views/login_dialogs.h"
#include "views/order_change.h"
#include "views/order_grid.h"
#include "views/price_alarms.h"
#include "views/show_error.h"
#include "views/sound_routine.h"
#include "views/statements.h"
#include "views/trading_window.h"

#include <algorithm>
#include <cctype>
#include <filesystem>

namespace kavex {
namespace {

bool known(const std::string& value) {
    return !value.empty() && value != "-";
}

} // namespace

// Every subsystem, in the order they are built: each one is handed what was built before it.
// The window's controls come first, since the subsystems write into them from the start.
struct Client::Parts : ChatSwitch {
    Parts(Client& owner, ClientPlatform& p, const ProgramVersion& version);

    // ChatSwitch: the service level shows or hides the chat option.
    void setChatOptionVisible(bool visible) override {
        controls.chatOptionVisible = visible;
        if (controls.chatOptionVisibilityChanged) controls.chatOptionVisibilityChanged(visible);
    }
    bool chatWindowOpen() const override { return chat.loaded(); }
    void closeChatWindow() override { chat.close(); }
    void watchChatOption() {
        controls.chatOption.setObserver([this](bool checked) { chat.setChatOption(checked); });
    }

    const bool gameEdition;
    TradingWindowControls controls;
    TradingData data;
    Settings settings;
    ColourRoles colours;
    ColourEditor colourEditor;
    OrderGridColumns columns;
    CellGrid orderGridCells, executionGridCells;
    SettingsFile settingsFile;
    ExtraSettings extra;
    HistoryFiles history;
    MessageWindow messageWindow;
    ErrorDisplay errors;
    OrderGrid orderGrid;
    CredentialsDialog credentials;
    AutostartDialog autostart;
    OrderClient orderClient;
    ConnectionWindow connectionWindow;
    PriceHandlers prices;
    InstrumentCodeTable codes;
    OrderPlacement placement;
    OrderGuard orderGuard;
    LinkState linkState;
    GridActions actions;
    SoundRoutine sound;
    Chart chart;
    OrderReports reports;
    OrderChanges changes;
    OrderJournal journal;
    OrderJournalFeed journalFeed;
    PriceAlarms alarms;
    ClosedTcpListener noBridgeSocket;
    ExternalOrders external;
    ExternalOrderGate externalGate;
    Bridge bridge;
    AccountHandlers account;
    RankingInfo ranking;
    Chat chat;
    NoPrinter noPrinter;
    ExecutionGrid executionGrid;
    Statements statements;
    Documents documents;
    FileTransfer fileTransfer;
    std::string transferNotice; // the status line's text as the current transfer started
    BracketPresetDialog presetDialog;
    Brackets brackets;
    Closing closing;
    GridContextMenu contextMenu;
    FileDrop fileDrop;
    AnimatedLogo logo;
    TradingWindow window;
    KeyBindings keys;
    KeyActions keyActions;
};

Client::Parts::Parts(Client& owner, ClientPlatform& p, const ProgramVersion& version)
    : gameEdition(upperAscii(p.executableName) == "KAVEXGAME"), colourEditor(colours, p.prompts),
      settingsFile(p.folder, controls.log), history(data, p.folder, controls.log),
      errors(controls.statusLine, controls.messages, messageWindow, p.system),
      orderGrid(data, orderGridCells, columns, colours, settings, p.loop, controls.log, p.locale),
      credentials(settings.userName, settings.password,
                  [this](const std::string& hint) { controls.userButtonHint.setText(hint); }),
      autostart(p.loop, p.dialogs, credentials),
      orderClient(
          OrderClient::Dependencies{p.loop, p.serverSocket, p.http, p.system, data, controls.log},
          ConnectionSettings{settings.userName, settings.serverHost, settings.password, settings.keepServer},
          TradingWindowHooks{[this](const std::string& text) { errors.showError(text); },
                             [this, &p] {
                                 credentials.open();
                                 p.dialogs.runModal(credentials);
                             },
                             [this](const std::string& hint) { controls.userButtonHint.setText(hint); },
                             gameEdition},
          p.discovery, p.timings),
      connectionWindow(orderClient),
      prices(data, controls.log, orderClient.outgoing(), p.loop, history, [&owner] { owner.loadPresets(); }),
      codes(data, controls.log),
      placement(data, orderClient.sender(), errors, orderGrid, controls.bridgeLog, controls.log),
      orderGuard(data, p.prompts),
      linkState(p.loop, p.serverSocket, data, LinkState::Grid{orderGridCells, columns}, controls.linkState),
      actions(data, orderGridCells, orderGrid, columns, placement, orderClient.sender(), settings, p.prompts,
              controls.log),
      sound(p.sound, p.folder), chart(data, actions, p.prompts),
      reports(data, orderGrid, errors, sound, settings, p.loop, orderClient.outgoing(), controls.log,
              controls.accountCodeLabel),
      changes(data, actions, placement, orderGrid, columns, errors, controls.log),
      journal(
          p.folder.root(), [&loop = p.loop] { return loop.now(); }, controls.log),
      journalFeed(journal, data),
      alarms(data, p.prompts, sound, controls.statusLine, settings, p.folder, controls.log),
      external(data, actions, placement, orderGrid, orderGridCells, columns, p.prompts),
      externalGate(external, p.loop),
      bridge(p.bridgeSocket ? *p.bridgeSocket : noBridgeSocket, p.loop, data, settings, controls.bridgeLog,
             controls.statusLine, externalGate.commandsFor(ExternalOrderGate::Origin::Bridge),
             orderClient.sender()),
      account(data, orderClient.outgoing(), controls.log,
              AccountLabels{controls.resultLabel, controls.panelResultLabel, controls.totalPlaceLabel,
                            controls.dayPlaceLabel},
              p.locale, &bridge),
      ranking(data, account, controls.log, controls.totalPlaceLabel, controls.dayPlaceLabel,
              orderClient.sender(), *this, version),
      chat(orderClient.sender(), p.loop, sound, ChatSoundSettings{settings.chatSound, settings.soundFile},
           [this] { return ranking.serviceLevel(); }),
      executionGrid(data, executionGridCells, columns, controls.log, p.locale),
      statements(data, p.folder, p.loop, p.printer ? *p.printer : noPrinter, controls.log,
                 [this](int32_t day) { orderClient.requestStatement(day); }),
      documents(p.folder, p.loop, controls.log, orderClient.outgoing(),
                DocumentHooks{[this](const std::string& text) { errors.showError(text); },
                              [this] { statements.fillStatementList(); },
                              [this](const std::string& text) { errors.showNote(text); }}),
      fileTransfer(p.folder, controls.log), presetDialog(p.prompts),
      brackets(data, actions, orderGrid, columns, orderClient.sender(), p.prompts, p.dialogs, presetDialog,
               controls.log),
      closing(data, actions, placement, orderGrid, settings, p.prompts, controls.log),
      contextMenu(data, brackets, closing, p.prompts, controls.log),
      fileDrop(p.loop, p.folder, controls.fileDropLog,
               externalGate.commandsFor(ExternalOrderGate::Origin::FileDrop)),
      logo(p.loop, p.folder),
      window(controls,
             TradingWindowPlatform{p.prompts, p.dialogs, p.system, p.folder, p.executableName,
                                   p.discovery.primary, gameEdition, [&owner] { owner.unload(); }},
             TradingWindowParts{data, settings, colours, columns, orderGrid, orderGridCells, actions,
                                placement, closing, orderClient, connectionWindow, credentials, executionGrid,
                                statements, fileDrop, sound}),
      keyActions(window, actions, closing, data, columns, keys, p.prompts) {
    MessageDispatcher& dispatcher = orderClient.dispatcher();
    prices.bind(dispatcher);
    codes.bind(dispatcher);
    reports.bind(dispatcher);
    account.bind(dispatcher);
    ranking.bind(dispatcher);
    chat.bind(dispatcher);
    documents.bind(dispatcher);
    fileTransfer.bind(dispatcher);
    // The status line's text when a transfer starts announces it; the end takes it away.
    fileTransfer.started = [this] { transferNotice = controls.statusLine.text(); };
    fileTransfer.ended = [this] {
        if (!transferNotice.empty() && controls.statusLine.text() == transferNotice)
            controls.statusLine.setText("");
        transferNotice.clear();
    };
    reports.hooks.executionsChanged = [this] { executionGrid.refresh(); };
    reports.hooks.orderStatusChanged = [this](int n) { changes.statusChanged(n); };
    reports.hooks.cancelRejected = [this] { changes.cancelRefused(); };
    actions.changeOrder = [this](int n, std::optional<int32_t> quantity, std::optional<float> limit) {
        changes.request(n, quantity, limit);
    };
    orderGrid.pendingChangeText = [this](int n) { return changes.pendingText(n); };
    reports.hooks.statusChanged = [this](const Order& o) { journalFeed.orderEvent("status", o, ""); };
    reports.hooks.filled = [this](const Execution& e) { journalFeed.fill(e); };
    reports.hooks.rejected = [this](std::string_view event, std::string_view body) {
        journalFeed.rejection(event, body);
    };
    placement.journal = [this](std::string_view event, const Order& o, std::string_view text, int line) {
        journalFeed.orderEvent(event, o, text, line);
    };
    reports.hooks.executionReplaced = [this](int n) { executionGrid.executionReplaced(n); };
    dispatcher.setHandler(Handler::InstrumentListShown, [this](std::string_view) {
        // The DEFAULT instrument of the last run, when the list still has it.
        if (data.defaultInstrument == 0)
            data.defaultInstrument = static_cast<int16_t>(
                data.instruments.findByTicker(extra.value(ExtraSettings::kDefaultInstrument)));
        guard(controls.log, "WS_SI ", [&] { orderGrid.rebuildRows(); });
        orderGrid.redrawAll();
    });
    dispatcher.setHandler(Handler::Welcome, [this](std::string_view) {
        controls.statusLine.setText("Willkommen beim Rozivodizez Demo-Server");
        chat.welcome(controls.chatOption.checked());
    });
    watchChatOption();
    placement.checkOrder = [this](const Order& order, bool fromOtherProgram) {
        return orderGuard.check(order, fromOtherProgram);
    };
    external.closeAll = [this] { window.closeAllPositions(); };
    externalGate.fileDropRefused = [this](const std::string& reason) { fileDrop.refusedLater(reason); };
    externalGate.origins = &data.origins;
    external.sendToBridge = [this](std::string_view text) { bridge.sendToFrontEnd(text); };
    reports.hooks.bridgeConnected = [this] { return bridge.connected(); };
    reports.hooks.forwardToBridge = [this](const std::string& text) { bridge.sendToFrontEnd(text); };
    reports.hooks.reportOrderStatus = [this](int32_t id) { bridge.reportOrderStatus(id); };
    reports.hooks.reportExecution = [this](const std::string& body) { bridge.reportExecution(body); };
    reports.hooks.takeExecutionRequest = [this] { return bridge.takeExecutionRequest(); };
    placement.bridgeNewOrderId = [this](const std::string& ref, int32_t id) {
        external.reportNewOrderId(ref, id);
    };
    placement.linkUp = [this] { return linkState.connected(); };
    placement.refusedOffline = [this] {
        controls.statusLine.setText(OrderPlacement::kOfflineRefusal);
        controls.messages.addLine(OrderPlacement::kOfflineRefusal);
    };
    placement.fileDropNewOrderId = [this](const std::string& ref, int32_t id) {
        fileDrop.recordOrderId(ref, id);
    };
    fileDrop.tradingReady = [this] { return orderClient.sender().connected() && data.instrumentCount() > 0; };
    actions.contextActions = [this](int row, int col) { contextMenu.openContextMenu(row, col); };
    actions.moreButtonCaptionChanged = [this](const std::string& caption) {
        controls.moreButton.setText(caption);
    };
    actions.showChart = [this](int instrument) { chart.open(instrument); };
    actions.instrumentSeen = [this](int instrument) { alarms.acknowledge(instrument); };
    contextMenu.setPriceAlarm = [this](int instrument) { alarms.askLevel(instrument); };
    alarms.rowMarkChanged = [this](int instrument) { orderGrid.redrawInstrument(instrument); };
    alarms.alertsChanged = [this] {
        if (chart.loaded()) chart.redrawPanes();
    };
    window.requestSystemInfo = [this] { ranking.requestSystemInfo(); };
    controls.statusLine.setObserver(nullptr);
    controls.moreButton.setText("Mehr");
    orderGridCells.resize(3, OrderGridColumns::kColumns + 1);
    executionGridCells.resize(2, settings.executionGridColumns + 1);
}

Client::Client(ClientPlatform platform, ProgramVersion version)
    : platform_(std::move(platform)), version_(version),
      parts_(std::make_unique<Parts>(*this, platform_, version_)) {}

Client::~Client() {
    stopTimer(startupTimer_);
    stopTimer(refreshTimer_);
    stopTimer(updateTimer_);
}

void Client::stopTimer(int& timer) {
    if (timer != 0) platform_.loop.stopTimer(timer);
    timer = 0;
}

bool Client::startupTimerActive() const {
    return startupTimer_ != 0;
}
bool Client::refreshTimerActive() const {
    return refreshTimer_ != 0;
}
bool Client::updateTimerActive() const {
    return updateTimer_ != 0;
}

void Client::load() {
    Parts& p = *parts_;
    // Left by a program that died in the middle of a save; the files they were meant to
    // replace are whole, old or new.
    removeStaleTemporaries(platform_.folder.root());
    p.extra.load(platform_.folder.path(ExtraSettings::kFileName), p.controls.log);
    configureOrderGuard(p.orderGuard, p.extra, p.controls.log);
    p.keys.load(p.extra);
    p.externalGate.setRates(
        static_cast<int>(p.extra.number(ExtraSettings::kExternalPerSecond, 0, p.controls.log)),
        static_cast<int>(p.extra.number(ExtraSettings::kExternalPerMinute, 0, p.controls.log)));
    p.externalGate.setApproval(p.extra.isOn(ExtraSettings::kExternalApproval));
    // Restored without the tick's action: the chat starts with the server's welcome.
    p.controls.chatOption.setObserver(nullptr);
    p.controls.chatOption.setChecked(p.extra.isOn(ExtraSettings::kChatOption));
    p.watchChatOption();
    p.controls.title.setText("K a v e x 2    V" + std::to_string(version_.major) + "." +
                             std::to_string(version_.minor) + "." + std::to_string(version_.revision) +
                             (p.gameEdition ? " Game" : " QZC"));
    std::error_code ec;
    if (std::filesystem::exists(platform_.folder.path(kUpdateFile), ec)) {
        updateTimer_ = platform_.loop.startTimer(
            kUpdateMs, [this] { updateTick(); }, true);
        return;
    }
    std::filesystem::remove(platform_.folder.path(kUpdateProgram), ec);
    startupTimer_ = platform_.loop.startTimer(
        kStartupMs, [this] { startUp(); }, true);
    p.journal.open();
    p.window.fillLists();
    p.actions.setDefaultQuantityText("1");
    p.logo.load();
}

void Client::startUp() {
    Parts& p = *parts_;
    startupTimer_ = 0; // a single-shot timer: it has fired
    p.colourEditor.fillRoleList();
    p.settingsFile.load(p.settings);
    p.alarms.load();
    if (p.settings.userName.empty()) p.settings.userName = platform_.discovery.defaultUser;
    p.orderClient.dispatcher().setMachineClockFromServer(
        p.extra.isOn(ExtraSettings::kMachineClockFromServer));
    applySettings();
    p.bridge.startListening();
    p.colours.loadFile(platform_.folder,
                       p.settings.colourFileName.empty() ? "kavex.col" : p.settings.colourFileName,
                       p.controls.log);
    p.columns.setUp(p.colours);
    p.data.account.loginText = p.settings.userName + "%" + p.settings.password;
    if (known(p.settings.userName) && known(p.settings.password)) {
        p.autostart.open();
        platform_.dialogs.runModal(p.autostart);
    } else {
        platform_.prompts.message("Geben Sie im folgenden Fenster bitte Ihren mitgeteilten Usernamen und das "
                                  "zugehörige Paßwort ein !");
        p.credentials.open();
        platform_.dialogs.runModal(p.credentials);
    }
    if (ending_) return; // the program was ended while the dialog was open
    connectWithSettings();
    refreshTimer_ = platform_.loop.startTimer(kRefreshMs, [this] { refreshTick(); });
    p.linkState.start();
}

void Client::applySettings() {
    Parts& p = *parts_;
    const Settings& s = p.settings;
    if (!s.orderGridWidths.empty()) {
        p.orderGridCells.resize(p.orderGridCells.rows(), static_cast<int>(s.orderGridWidths.size()));
        for (int c = 0; c < static_cast<int>(s.orderGridWidths.size()); ++c)
            p.orderGridCells.setColWidth(c, s.orderGridWidths[static_cast<std::size_t>(c)]);
    }
    if (!s.executionGridWidths.empty()) {
        p.executionGridCells.resize(p.executionGridCells.rows(),
                                    static_cast<int>(s.executionGridWidths.size()));
        for (int c = 0; c < static_cast<int>(s.executionGridWidths.size()); ++c)
            p.executionGridCells.setColWidth(c, s.executionGridWidths[static_cast<std::size_t>(c)]);
    }
    p.controls.moreButton.setText(moreButtonCaption(s.ShowFinishedOrders));
    p.fileDrop.setActive(s.asciiRemote != 0);
    p.controls.userButtonHint.setText(userButtonHint(s.userName));
    p.controls.soundFileField.setText(s.soundFile);
    p.window.restoreGeometry({s.windowLeft, s.windowTop, s.windowWidth, s.windowHeight});
}

void Client::captureSettings() {
    Parts& p = *parts_;
    Settings& s = p.settings;
    s.orderGridWidths.clear();
    for (int c = 0; c < p.orderGridCells.cols(); ++c)
        s.orderGridWidths.push_back(p.orderGridCells.colWidth(c));
    s.executionGridWidths.clear();
    for (int c = 0; c < p.executionGridCells.cols(); ++c)
        s.executionGridWidths.push_back(p.executionGridCells.colWidth(c));
    const TwipRect& window = p.window.windowGeometry();
    s.windowWidth = window.width;
    s.windowHeight = window.height;
    s.windowTop = window.top;
    s.windowLeft = window.left;
    s.colourFileName = p.colours.currentFile();
}

void Client::connectWithSettings() {
    // The connection takes host, user, password and keep-server from the settings read at start-up.
    Parts& p = *parts_;
    OrderClient& client = p.orderClient;
    client.takeCredentialsFromSettings();
    if (!p.settings.serverHost.empty()) client.setHost(p.settings.serverHost);
    client.setKeepServer(p.settings.keepServer != 0);
    client.connect();
}

void Client::loadPresets() {
    TradingData& data = parts_->data;
    std::filesystem::path file = platform_.folder.path(SettingsFile::kPresetName);
    std::vector<BracketPreset> blocks =
        readPresetFile(file); // a missing file fails: logged by onInstrumentList
    for (const BracketPreset& block : blocks) {
        int n = data.instruments.findByTicker(block.presetName);
        if (n > 0 && n < static_cast<int>(data.presets.size()))
            data.presets[static_cast<std::size_t>(n)] = block;
    }
}

void Client::refreshTick() {
    Parts& p = *parts_;
    TradingData& data = p.data;
    p.bridge.statusTick();
    p.orderGrid.refreshRowTraces();
    if (!data.pricesChanged && !data.accountChanged) return;
    if (data.pricesChanged) p.alarms.check();
    bool redrawn = false;
    EventBreaks breaks(platform_.loop); // events run between instruments
    for (int i = 1; i <= data.instrumentCount(); ++i) {
        if (!data.instruments.valid(i)) break; // a new instrument list arrived meanwhile
        if (!data.instruments.at(i).Changed) continue;
        guard(p.controls.log, "Timer1 ", [&] { refreshHoldingValue(data, i); });
        p.orderGrid.redrawInstrument(i);
        redrawn = true;
        breaks.between();
    }
    // The chart is drawn once after the pass rather than once per changed instrument:
    // the drawings in between would all be alike.
    if (redrawn && data.chartInstrument != 0) p.chart.update();
}

void Client::updateTick() {
    updateTimer_ = 0;
    std::error_code ec;
    std::filesystem::remove(platform_.folder.path(kUpdateProgram), ec);
    std::filesystem::rename(platform_.folder.path(kUpdateFile), platform_.folder.path(kUpdateProgram), ec);
    skipOnFailure([&] { platform_.system.startProgram(platform_.folder.path(kReloadProgram).string()); });
    if (endProgram) endProgram();
}

void Client::unload() {
    // Once only: a second request to end (a signal, the window closing) arriving while
    // events run during the save changes nothing.
    if (ending_) return;
    ending_ = true;
    Parts& p = *parts_;
    stopTimer(refreshTimer_);
    stopTimer(startupTimer_);
    // A start-up waiting in one of its dialogs goes no further once they close.
    p.autostart.close();
    p.credentials.cancel();
    p.orderClient.disconnect(); // closes the link
    saveUserData();
    if (endProgram) endProgram();
}

void Client::saveUserData() {
    Parts& p = *parts_;
    captureSettings();
    std::vector<BracketPreset> presets;
    for (int n = 1; n <= p.data.instrumentCount() && n < static_cast<int>(p.data.presets.size()); ++n)
        presets.push_back(p.data.presets[static_cast<std::size_t>(n)]);
    p.settingsFile.save(p.settings, presets);
    p.keys.store(p.extra);
    p.extra.set(ExtraSettings::kChatOption, p.controls.chatOption.checked() ? "1" : "0");
    p.extra.set(ExtraSettings::kDefaultInstrument,
                p.data.instruments.valid(p.data.defaultInstrument)
                    ? p.data.instruments.at(p.data.defaultInstrument).Ticker
                    : std::string());
    guard(p.controls.log, "SaveExtra ",
          [&] { p.extra.save(platform_.folder.path(ExtraSettings::kFileName)); });
    p.history.saveHistory();
}

TradingWindow& Client::window() {
    return parts_->window;
}
TradingWindowControls& Client::controls() {
    return parts_->controls;
}
TradingData& Client::data() {
    return parts_->data;
}
Settings& Client::settings() {
    return parts_->settings;
}
const ColourRoles& Client::colours() const {
    return parts_->colours;
}
const OrderGridColumns& Client::columns() const {
    return parts_->columns;
}
CellGrid& Client::orderGridCells() {
    return parts_->orderGridCells;
}
CellGrid& Client::executionGridCells() {
    return parts_->executionGridCells;
}
GridActions& Client::gridActions() {
    return parts_->actions;
}
GridContextMenu& Client::contextMenu() {
    return parts_->contextMenu;
}
ExecutionGrid& Client::executionGrid() {
    return parts_->executionGrid;
}
Statements& Client::statements() {
    return parts_->statements;
}
ColourEditor& Client::colourEditor() {
    return parts_->colourEditor;
}
const LinkState& Client::linkState() const {
    return parts_->linkState;
}
MessageWindow& Client::messageWindow() {
    return parts_->messageWindow;
}
OrderClient& Client::orderClient() {
    return parts_->orderClient;
}
ConnectionWindow& Client::connectionWindow() {
    return parts_->connectionWindow;
}
std::string Client::orderRowToolTip(int row) const {
    return parts_->orderGrid.rowToolTip(row);
}

Chart& Client::chart() {
    return parts_->chart;
}
Chat& Client::chat() {
    return parts_->chat;
}
Bridge& Client::bridge() {
    return parts_->bridge;
}
FileDrop& Client::fileDrop() {
    return parts_->fileDrop;
}
ExternalOrders& Client::externalOrders() {
    return parts_->external;
}
FileTransfer& Client::fileTransfer() {
    return parts_->fileTransfer;
}
ExternalOrderGate& Client::externalGate() {
    return parts_->externalGate;
}
KeyBindings& Client::keyBindings() {
    return parts_->keys;
}
KeyActions& Client::keyActions() {
    return parts_->keyActions;
}
Brackets& Client::brackets() {
    return parts_->brackets;
}
AnimatedLogo& Client::logo() {
    return parts_->logo;
}

} // namespace kavex
