#pragma once
// The trading window "OrderForm": the program's first window. It owns the shared
// trading data, the connection window and every handler, runs the start-up sequence,
// the refresh timer and the shutdown, and carries the command buttons and options.
#include "base/files.h"
#include "base/numbers.h"
#include "views/chart.h"
#include "views/sound_routine.h"
#include "community/chat.h"
#include "community/documents.h"
#include "community/file_transfer.h"
#include "community/ranking_info.h"
#include "views/bracket_preset_dialog.h"
#include "views/login_dialogs.h"
#include "external/bridge.h"
#include "views/external_orders.h"
#include "external/file_drop.h"
#include "model/trading_data.h"
#include "trading/account_handlers.h"
#include "views/brackets.h"
#include "views/closing.h"
#include "views/grid_context_menu.h"
#include "trading/order_placement.h"
#include "trading/order_reports.h"
#include "views/cell_grid.h"
#include "base/text_list.h"
#include "session/history_files.h"
#include "session/instrument_code_table.h"
#include "session/order_client.h"
#include "session/price_handlers.h"
#include "views/price_list.h"
#include "views/colour_editor.h"
#include "views/colour_roles.h"
#include "views/execution_grid.h"
#include "views/form_layout.h"
#include "views/grid_actions.h"
#include "views/grid_columns.h"
#include "views/order_grid.h"
#include "model/settings_file.h"
#include "views/show_error.h"
#include "views/statements.h"

#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace kavex {

class EventLoop;
class HttpGet;
class Printer;
class Prompts;
class Sound;
class SystemServices;
class TcpClient;

// Everything outside the program that the trading window works with.
struct OrderFormPlatform {
    EventLoop& loop;
    TcpClient& serverSocket;
    HttpGet& http;
    Sound& sound;
    SystemServices& system;
    Prompts& prompts;
    DialogHost& dialogs;
    WorkingDirectory& folder;
    std::string executableName; // file name without folder and extension
    NumberLocale locale;        // the user's number form
    DiscoverySites discovery;
    ConnectionTimings timings;
    Printer* printer = nullptr;          // none: printing does nothing
    TcpListener* bridgeSocket = nullptr; // none: the bridge never listens
};

class OrderForm : private ChatSwitch {
  public:
    static constexpr int kStartupMs = 50;
    static constexpr int kRefreshMs = 150;
    static constexpr int kUpdateMs = 50;
    static constexpr const char* kUpdateFile = "KAVEXUP.EXX";
    static constexpr const char* kUpdateProgram = "KAVEXUP.EXE";
    static constexpr const char* kReloadProgram = "QRELOAD.EXE";

    explicit OrderForm(OrderFormPlatform platform, ProgramVersion version = {});
    ~OrderForm() override;
    OrderForm(const OrderForm&) = delete;
    OrderForm& operator=(const OrderForm&) = delete;

    // --- Lifecycle ---
    void Form_Load();
    void startUp();     // first tick of the start-up timer
    void refreshTick(); // refresh timer
    void updateTick();  // self-update hand-over
    void Form_Unload(); // window closed or "ENDE": saves and ends the program
    // Ends the program (quits the event loop); set by the application.
    std::function<void()> endProgram;

    // --- Layout, tabs, window placement ---
    enum Tab { OrdersTab = 0, ExecutionsTab, StatementsTab, SettingsTab };
    // The window's inner size in twips changed.
    void Form_Resize(int32_t innerWidth, int32_t innerHeight);
    void tab_Click(int tab); // a tab was chosen
    const FormLayout& layout() const { return layout_; }
    int currentTab() const { return currentTab_; }
    // The window's outer geometry in twips, kept by the view and saved on shutdown.
    void windowPlaced(const TwipRect& geometry) { window_ = geometry; }
    const TwipRect& windowGeometry() const { return window_; }
    // Set by the view: moves and sizes the window when the settings file brings a geometry.
    std::function<void(const TwipRect&)> placeWindow;

    // --- Strip under the order grid ---
    void cancelAll_Click();     // "CANCEL Alle"
    void transmitAll_Click();   // "TRANS Alle"
    void deleteEntries_Click(); // "Lösche TRANS"
    void buyMarket_Click() { actions_.quickOrder(0); }
    void sellMarket_Click() { actions_.quickOrder(1); }
    void more_Click() { actions_.toggleFinishedOrders(); } // "Mehr" / "Weniger"
    void glatt_Click();                                    // "GLATT"
    void userPassword_Click();                             // "User/PW"
    void ende_Click() { Form_Unload(); }

    // --- Tab "Sonstiges" ---
    void newUser_Click();    // "Neuen Usernamen wählen"
    void showClient_Click(); // "Clientfenster zeigen"
    void colourScheme_Click(const std::string& fileName);
    void apply_Click(); // "Anwenden"
    void protocol_DoubleClick() { log_.clear(); }
    void asciiRemote_Click(bool on); // "ASCII-Remote": the file-drop interface on or off
    void fileDropLog_Click() { fileDropLog.clear(); }
    void soundList_Click(const std::string& fileName); // "auswählen...": plays and takes a wave file
    ColourEditor& colourEditor() { return colourEditor_; }

    // --- Logo and product label ---
    void logo_Click();         // opens the product's web page
    void productLabel_Click(); // shows the executable's name

    // --- State and controls the views show ---
    bool gameEdition() const { return gameEdition_; }
    TradingData& data() { return data_; }
    Settings& settings() { return settings_; }
    const ColourRoles& colours() const { return colours_; }
    const OrderGridColumns& columns() const { return columns_; }
    CellGrid& orderGridCells() { return orderGridCells_; }
    CellGrid& executionGridCells() { return executionGridCells_; }
    OrderGrid& orderGrid() { return orderGrid_; }
    GridActions& gridActions() { return actions_; }
    OrderPlacement& placement() { return placement_; }
    OrderReports& reports() { return reports_; }
    Chart& chart() { return chart_; }
    // Plays wave files of the working directory (executions, chat, the settings' preview).
    Sound& soundRoutine() { return sound_; }
    ExternalOrders& externalOrders() { return external_; }
    Bridge& bridge() { return bridge_; }
    // The frame "Externe Kontrolle Zentrivo" is shown while this holds.
    bool bridgeFrameVisible() const { return !gameEdition_ && settings_.zentrivoExtern != 0; }
    void zentrivoExtern_Click(bool on) { settings_.zentrivoExtern = on ? 1 : 0; }
    FileDrop& fileDrop() { return fileDrop_; } // its log list is shown while it is active()
    OrderClient& orderClient() { return *client_; }
    PriceList& priceList() { return priceList_; }
    ErrorDisplay& errors() { return errors_; }
    MessageWindow& messageWindow() { return messageWindow_; }
    CredentialsDialog& credentialsDialog() { return credentials_; }
    AutostartDialog& autostartDialog() { return autostart_; }
    Chat& chat() { return chat_; } // the chat window
    bool chatOptionVisible() const { return chatOptionVisible_; }
    std::function<void(bool visible)> chatOptionVisibilityChanged; // set by the view
    ExecutionGrid& executionGrid() { return executionGrid_; }      // tab "Executions"
    Statements& statements() { return statements_; }               // tab "Auszüge"
    FileTransfer& fileTransfer() { return fileTransfer_; }
    BracketPresetDialog& presetDialog() { return presetDialog_; }
    Brackets& brackets() { return brackets_; }
    Closing& closing() { return closing_; }
    GridContextMenu& contextMenu() { return contextMenu_; }

    Label title, statusLine, accountCodeLabel, resultLabel, panelResultLabel, totalPlaceLabel, dayPlaceLabel;
    Label userButtonHint, moreButton;
    TextList log_, messages_, bridgeLog, fileDropLog;
    TextList defaultQuantityList, colourSchemeList, executionOrderList;
    TextList soundFiles; // the list "auswählen..."
    Label soundFileField;
    CheckBox chatOption;
    bool startupTimerActive() const { return startupTimer_ != 0; }
    bool refreshTimerActive() const { return refreshTimer_ != 0; }
    bool updateTimerActive() const { return updateTimer_ != 0; }

  private:
    // ChatSwitch: the service level shows or hides the chat option.
    void setChatOptionVisible(bool visible) override {
        chatOptionVisible_ = visible;
        if (chatOptionVisibilityChanged) chatOptionVisibilityChanged(visible);
    }
    bool chatWindowOpen() const override { return chat_.loaded(); }
    void closeChatWindow() override { chat_.close(); }

    void applySettings();
    void captureSettings();
    void loadConnectionWindow();
    void loadPresets();
    void stopTimer(int& timer);
    void fillColourSchemes();
    std::vector<std::string> filesWithExtension(const std::string& upperExtension) const;

    OrderFormPlatform platform_;
    ProgramVersion version_;
    bool gameEdition_ = false;
    bool chatOptionVisible_ = false;

    TradingData data_;
    Settings settings_;
    ColourRoles colours_;
    ColourEditor colourEditor_;
    FormLayout layout_ = FormLayout::designed();
    TwipRect window_; // 0: not known (the settings file then keeps its value)
    int currentTab_ = OrdersTab;
    OrderGridColumns columns_;
    CellGrid orderGridCells_, executionGridCells_;
    SettingsFile settingsFile_;
    HistoryFiles history_;
    MessageWindow messageWindow_;
    ErrorDisplay errors_;
    OrderGrid orderGrid_;
    CredentialsDialog credentials_;
    AutostartDialog autostart_;
    std::unique_ptr<OrderClient> client_;
    PriceHandlers prices_;
    InstrumentCodeTable codes_;
    PriceList priceList_;
    OrderPlacement placement_;
    GridActions actions_;
    SoundRoutine sound_;
    Chart chart_;
    OrderReports reports_;
    ClosedTcpListener noBridgeSocket_;
    ExternalOrders external_;
    Bridge bridge_;
    AccountHandlers account_;
    RankingInfo ranking_;
    Chat chat_;
    NoPrinter noPrinter_;
    ExecutionGrid executionGrid_;
    Statements statements_;
    Documents documents_;
    FileTransfer fileTransfer_;
    BracketPresetDialog presetDialog_;
    Brackets brackets_;
    Closing closing_;
    GridContextMenu contextMenu_;
    FileDrop fileDrop_;

    int startupTimer_ = 0, refreshTimer_ = 0, updateTimer_ = 0;
};

} // namespace kavex
