#include "views/order_form.h"

#include "base/failure.h"
#include "trading/holdings.h"
#include "platform/event_loop.h"
#include "platform/services.h"

#include <algorithm>
#include <cctype>
#include <filesystem>

namespace kavex {
namespace {

std::string upper(std::string s) {
    std::transform(s.begin(), s.end(), s.begin(), [](unsigned char c) { return std::toupper(c); });
    return s;
}

bool known(const std::string& value) {
    return !value.empty() && value != "-";
}

} // namespace

OrderForm::OrderForm(OrderFormPlatform platform, ProgramVersion version)
    : platform_(std::move(platform)), version_(version), colourEditor_(colours_, platform_.prompts),
      settingsFile_(platform_.folder, log_), history_(data_, platform_.folder, log_),
      errors_(statusLine, messages_, messageWindow_, platform_.system),
      orderGrid_(data_, orderGridCells_, columns_, colours_, settings_, platform_.loop, log_,
                 platform_.locale),
      credentials_(settings_.userName, settings_.password,
                   [this](const std::string& hint) { userButtonHint.setText(hint); }),
      autostart_(platform_.loop, platform_.dialogs, credentials_),
      client_(std::make_unique<OrderClient>(
          OrderClient::Dependencies{platform_.loop, platform_.serverSocket, platform_.http, platform_.system,
                                    data_, log_},
          ConnectionSettings{settings_.userName, settings_.serverHost, settings_.password,
                             settings_.keepServer},
          TradingWindowHooks{[this](const std::string& text) { errors_.showError(text); },
                             [this] {
                                 credentials_.open();
                                 platform_.dialogs.runModal(credentials_);
                             },
                             [this](const std::string& hint) { userButtonHint.setText(hint); },
                             upper(platform_.executableName) == "KAVEXGAME"},
          platform_.discovery, platform_.timings)),
      prices_(data_, log_, client_->outgoing(), platform_.loop, history_, [this] { loadPresets(); }),
      codes_(data_, log_), priceList_(data_),
      placement_(data_, client_->sender(), errors_, orderGrid_, bridgeLog, log_),
      actions_(data_, orderGridCells_, orderGrid_, columns_, placement_, client_->sender(), settings_,
               platform_.prompts, log_),
      sound_(platform_.sound, platform_.folder), chart_(data_, actions_, platform_.prompts),
      reports_(data_, orderGrid_, errors_, sound_, settings_, platform_.loop, client_->outgoing(), log_,
               accountCodeLabel),
      external_(data_, actions_, placement_, orderGrid_, orderGridCells_, columns_, platform_.prompts),
      bridge_(platform_.bridgeSocket ? *platform_.bridgeSocket : noBridgeSocket_, platform_.loop, data_,
              settings_, bridgeLog, statusLine, external_, client_->sender()),
      account_(data_, client_->outgoing(), log_,
               AccountLabels{resultLabel, panelResultLabel, totalPlaceLabel, dayPlaceLabel}, platform_.locale,
               &bridge_),
      ranking_(data_, account_, log_, totalPlaceLabel, dayPlaceLabel, client_->sender(), *this,
               version_),
      chat_(client_->sender(), platform_.loop, sound_,
            ChatSoundSettings{settings_.chatSound, settings_.soundFile},
            [this] { return ranking_.serviceLevel(); }),
      executionGrid_(data_, executionGridCells_, columns_, log_, platform_.locale),
      statements_(data_, platform_.folder, platform_.loop,
                  platform_.printer ? *platform_.printer : noPrinter_, log_,
                  [this](int32_t day) { client_->requestStatement(day); }),
      documents_(platform_.folder, platform_.loop, log_, client_->outgoing(),
                 DocumentHooks{[this](const std::string& text) { errors_.showError(text); },
                               [this] { statements_.FillAuszug(); }}),
      fileTransfer_(platform_.folder, log_), presetDialog_(platform_.prompts),
      brackets_(data_, actions_, orderGrid_, columns_, client_->sender(), platform_.prompts,
                platform_.dialogs, presetDialog_, log_),
      closing_(data_, actions_, placement_, orderGrid_, settings_, platform_.prompts, log_),
      contextMenu_(data_, brackets_, closing_, platform_.prompts, log_),
      fileDrop_(platform_.loop, platform_.folder, fileDropLog, external_) {
    gameEdition_ = upper(platform_.executableName) == "KAVEXGAME";
    MessageDispatcher& dispatcher = client_->dispatcher();
    prices_.bind(dispatcher);
    codes_.bind(dispatcher);
    reports_.bind(dispatcher);
    account_.bind(dispatcher);
    ranking_.bind(dispatcher);
    chat_.bind(dispatcher);
    documents_.bind(dispatcher);
    fileTransfer_.bind(dispatcher);
    reports_.hooks.executionsChanged = [this] { executionGrid_.refresh(); };
    reports_.hooks.executionReplaced = [this](int n) { executionGrid_.executionReplaced(n); };
    dispatcher.setHandler(Handler::InstrumentListShown, [this](std::string_view) {
        guard(log_, "WS_SI ", [&] { orderGrid_.rebuildRows(); });
        orderGrid_.redrawAll();
    });
    dispatcher.setHandler(Handler::Welcome, [this](std::string_view) {
        statusLine.setText("Willkommen beim Rozivodizez Demo-Server");
        chat_.welcome(chatOption.checked());
    });
    chatOption.setObserver([this](bool checked) { chat_.chatOption_Click(checked); });
    external_.closeAll = [this] { glatt_Click(); };
    external_.sendToBridge = [this](std::string_view text) { bridge_.WexSenddata(text); };
    reports_.hooks.bridgeConnected = [this] { return bridge_.connected(); };
    reports_.hooks.forwardToBridge = [this](const std::string& text) { bridge_.WexSenddata(text); };
    reports_.hooks.ExtS_Orderstatus = [this](int32_t id) { bridge_.ExtS_Orderstatus(id); };
    reports_.hooks.ExtEx = [this](const std::string& body) { bridge_.ExtEx(body); };
    reports_.hooks.takeExecutionRequest = [this] { return bridge_.takeExecutionRequest(); };
    placement_.bridgeNewOrderId = [this](const std::string& ref, int32_t id) {
        external_.reportNewOrderId(ref, id);
    };
    placement_.fileDropNewOrderId = [this](const std::string& ref, int32_t id) {
        fileDrop_.recordOrderId(ref, id);
    };
    actions_.contextActions = [this](int row, int col) { contextMenu_.OG_RightClick(row, col); };
    actions_.moreButtonCaptionChanged = [this](const std::string& caption) { moreButton.setText(caption); };
    actions_.showChart = [this](int instrument) { chart_.open(instrument); };
    statusLine.setObserver(nullptr);
    moreButton.setText("Mehr");
    orderGridCells_.resize(3, OrderGridColumns::kColumns + 1);
    executionGridCells_.resize(2, settings_.executionGridColumns + 1);
}

OrderForm::~OrderForm() {
    stopTimer(startupTimer_);
    stopTimer(refreshTimer_);
    stopTimer(updateTimer_);
}

void OrderForm::stopTimer(int& timer) {
    if (timer != 0) platform_.loop.stopTimer(timer);
    timer = 0;
}

void OrderForm::Form_Load() {
    title.setText("K a v e x 2    V" + std::to_string(version_.major) + "." + std::to_string(version_.minor) +
                  "." + std::to_string(version_.revision) + (gameEdition_ ? " Game" : " QZC"));
    std::error_code ec;
    if (std::filesystem::exists(platform_.folder.path(kUpdateFile), ec)) {
        updateTimer_ = platform_.loop.startTimer(
            kUpdateMs, [this] { updateTick(); }, true);
        return;
    }
    std::filesystem::remove(platform_.folder.path(kUpdateProgram), ec);
    startupTimer_ = platform_.loop.startTimer(
        kStartupMs, [this] { startUp(); }, true);
    defaultQuantityList.setLines(
        {"1", "2", "3", "4", "5", "6", "7", "8", "9", "10", "20", "25", "50", "100"});
    actions_.setDefaultQuantityText("1");
    fillColourSchemes();
    executionOrderList.setLines({"Nach WP / Nach Datum", "Nach Datum Neu Unten", "Nach Datum Neu Oben"});
}

std::vector<std::string> OrderForm::filesWithExtension(const std::string& upperExtension) const {
    std::vector<std::string> names;
    std::error_code ec;
    for (const auto& entry : std::filesystem::directory_iterator(platform_.folder.root(), ec)) {
        std::string name = entry.path().filename().string();
        if (name.size() > upperExtension.size() &&
            upper(name.substr(name.size() - upperExtension.size())) == upperExtension)
            names.push_back(name);
    }
    std::sort(names.begin(), names.end());
    return names;
}

void OrderForm::fillColourSchemes() {
    colourSchemeList.setLines(filesWithExtension(".COL"));
}

void OrderForm::startUp() {
    startupTimer_ = 0; // a single-shot timer: it has fired
    colourEditor_.InitColors();
    settingsFile_.LoadInit(settings_);
    applySettings();
    bridge_.startListening();
    colours_.LoadColors(platform_.folder,
                        settings_.colourFileName.empty() ? "kavex.col" : settings_.colourFileName, log_);
    columns_.setUp(colours_);
    data_.account.loginText = settings_.userName + "%" + settings_.password;
    if (known(settings_.userName) && known(settings_.password)) {
        autostart_.open();
        platform_.dialogs.runModal(autostart_);
    } else {
        platform_.prompts.message("Geben Sie im folgenden Fenster bitte Ihren mitgeteilten Usernamen und das "
                                  "zugehörige Paßwort ein !");
        credentials_.open();
        platform_.dialogs.runModal(credentials_);
    }
    loadConnectionWindow();
    refreshTimer_ = platform_.loop.startTimer(kRefreshMs, [this] { refreshTick(); });
}

void OrderForm::applySettings() {
    if (!settings_.orderGridWidths.empty()) {
        orderGridCells_.resize(orderGridCells_.rows(), static_cast<int>(settings_.orderGridWidths.size()));
        for (int c = 0; c < static_cast<int>(settings_.orderGridWidths.size()); ++c)
            orderGridCells_.setColWidth(c, settings_.orderGridWidths[static_cast<std::size_t>(c)]);
    }
    if (!settings_.executionGridWidths.empty()) {
        executionGridCells_.resize(executionGridCells_.rows(),
                                   static_cast<int>(settings_.executionGridWidths.size()));
        for (int c = 0; c < static_cast<int>(settings_.executionGridWidths.size()); ++c)
            executionGridCells_.setColWidth(c, settings_.executionGridWidths[static_cast<std::size_t>(c)]);
    }
    moreButton.setText(moreButtonCaption(settings_.ShowFinishedOrders));
    fileDrop_.setActive(settings_.asciiRemote != 0);
    userButtonHint.setText(kavex::userButtonHint(settings_.userName));
    soundFileField.setText(settings_.soundFile);
    // Each part of the saved geometry counts only when it is above 0.
    bool placed = false;
    for (auto [saved, current] :
         {std::pair{settings_.windowWidth, &window_.width},
          std::pair{settings_.windowHeight, &window_.height}, std::pair{settings_.windowTop, &window_.top},
          std::pair{settings_.windowLeft, &window_.left}}) {
        if (saved <= 0) continue;
        *current = saved;
        placed = true;
    }
    if (placed && placeWindow) placeWindow(window_);
}

void OrderForm::captureSettings() {
    settings_.orderGridWidths.clear();
    for (int c = 0; c < orderGridCells_.cols(); ++c)
        settings_.orderGridWidths.push_back(orderGridCells_.colWidth(c));
    settings_.executionGridWidths.clear();
    for (int c = 0; c < executionGridCells_.cols(); ++c)
        settings_.executionGridWidths.push_back(executionGridCells_.colWidth(c));
    settings_.windowWidth = window_.width;
    settings_.windowHeight = window_.height;
    settings_.windowTop = window_.top;
    settings_.windowLeft = window_.left;
}

void OrderForm::loadConnectionWindow() {
    // The connection window reads the settings as it does when it is loaded.
    OrderClient& client = *client_;
    client.takeCredentialsFromSettings();
    if (!settings_.serverHost.empty()) client.setHost(settings_.serverHost);
    client.setKeepServer(settings_.keepServer != 0);
    client.connect();
}

void OrderForm::loadPresets() {
    std::filesystem::path file = platform_.folder.path(SettingsFile::kPresetName);
    std::vector<BracketPreset> blocks = readPresetFile(file); // a missing file fails: logged by WS_SI
    for (const BracketPreset& block : blocks) {
        int n = data_.instruments.findByTicker(block.presetName);
        if (n > 0 && n < static_cast<int>(data_.presets.size()))
            data_.presets[static_cast<std::size_t>(n)] = block;
    }
}

void OrderForm::refreshTick() {
    bridge_.statusTick();
    if (data_.PricesChanged == 0 && data_.AccountChanged == 0) return;
    bool redrawn = false;
    EventBreaks breaks(platform_.loop); // events run between instruments
    for (int i = 1; i <= data_.InstrumentCount(); ++i) {
        if (!data_.instruments.valid(i)) break; // a new instrument list arrived meanwhile
        if (data_.instruments.at(i).Changed == 0) continue;
        guard(log_, "Timer1 ", [&] { refreshHoldingValue(data_, i); });
        orderGrid_.redrawInstrument(i);
        redrawn = true;
        breaks.between();
    }
    // The chart is drawn once after the pass rather than once per changed instrument:
    // the drawings in between would all be alike.
    if (redrawn && data_.ChartInstrument != 0) chart_.update();
}

void OrderForm::updateTick() {
    updateTimer_ = 0;
    std::error_code ec;
    std::filesystem::remove(platform_.folder.path(kUpdateProgram), ec);
    std::filesystem::rename(platform_.folder.path(kUpdateFile), platform_.folder.path(kUpdateProgram), ec);
    skipOnFailure([&] { platform_.system.startProgram(platform_.folder.path(kReloadProgram).string()); });
    if (endProgram) endProgram();
}

void OrderForm::Form_Unload() {
    stopTimer(refreshTimer_);
    stopTimer(startupTimer_);
    client_->disconnect(); // unloading the connection window closes the link
    captureSettings();
    std::vector<BracketPreset> presets;
    for (int n = 1; n <= data_.InstrumentCount() && n < static_cast<int>(data_.presets.size()); ++n)
        presets.push_back(data_.presets[static_cast<std::size_t>(n)]);
    settingsFile_.SaveInit(settings_, presets);
    history_.SaveKurse();
    if (endProgram) endProgram();
}

void OrderForm::cancelAll_Click() {
    placement_.cancelAllOrders();
}

void OrderForm::transmitAll_Click() {
    for (int r = data_.gridRows.rowCount(); r >= 2; --r) {
        if (r > data_.gridRows.rowCount() || data_.gridRows.at(r).kind != RowEntryLine) continue;
        placement_.placeOrder(data_.gridRows.at(r).ref, r, false, "");
        guard(log_, "TransAlle ", [&] { orderGridCells_.removeRow(r); });
    }
}

void OrderForm::deleteEntries_Click() {
    for (int r = 2; r <= data_.gridRows.rowCount(); ++r) {
        const OrderGridRow& d = data_.gridRows.at(r);
        if (d.kind == RowEntryLine && data_.entryLines.valid(d.ref))
            freeEntryLine(data_.entryLines.at(d.ref));
    }
    orderGrid_.rebuildRows();
    orderGrid_.redrawAll();
}

void OrderForm::glatt_Click() {
    closing_.closeAllPositions();
}

void OrderForm::asciiRemote_Click(bool on) {
    settings_.asciiRemote = on ? 1 : 0;
    fileDrop_.setActive(on);
}

void OrderForm::userPassword_Click() {
    if (platform_.prompts.askYesNo("Wollen Sie wirklich einen neuen Username/Paßwort eingeben"))
        newUser_Click();
}

void OrderForm::newUser_Click() {
    credentials_.open();
    platform_.dialogs.runModal(credentials_);
    client_->disconnect();
    client_->takeCredentialsFromSettings();
    data_.account.loginText = settings_.userName + "%" + settings_.password;
    client_->connect();
}

void OrderForm::showClient_Click() {
    client_->show();
}

void OrderForm::colourScheme_Click(const std::string& fileName) {
    std::error_code ec;
    if (!std::filesystem::exists(platform_.folder.path(fileName), ec)) return;
    colours_.LoadColors(platform_.folder, fileName, log_);
    columns_.setUp(colours_);
    orderGrid_.redrawAll();
    executionGrid_.ZeigExecutionGrid(0, 0);
}

void OrderForm::apply_Click() {
    colours_.SaveColors(platform_.folder, log_);
    columns_.setUp(colours_);
    orderGrid_.redrawAll();
    executionGrid_.ZeigExecutionGrid(0, 0);
    tab_Click(currentTab_);
}

void OrderForm::Form_Resize(int32_t innerWidth, int32_t innerHeight) {
    layout_.Form_Resize(innerWidth, innerHeight);
}

void OrderForm::tab_Click(int tab) {
    currentTab_ = tab;
    layout_.Form_Resize(layout_.lastWidth, layout_.lastHeight);
    if (tab == StatementsTab) statements_.FillAuszug();
    if (tab == SettingsTab) {
        soundFileField.setText(settings_.soundFile);
        soundFiles.setLines(filesWithExtension(".WAV"));
    }
}

void OrderForm::soundList_Click(const std::string& fileName) {
    settings_.soundFile = fileName;
    soundFileField.setText(fileName);
    sound_.play(fileName);
}

// The product's web page is the web root of the primary discovery server.
void OrderForm::logo_Click() {
    skipOnFailure([&] { platform_.system.openUrl(platform_.discovery.primary); });
}

void OrderForm::productLabel_Click() {
    platform_.prompts.message(platform_.executableName);
}

} // namespace kavex
