#pragma once
// The trading window's own logic, without Qt: its labels and lists, where its parts sit,
// the chosen tab and the window's place, the command strip under the order grid and the
// commands of the tab "Sonstiges". The subsystems it drives are built by the client.
#include "base/text_list.h"
#include "views/form_layout.h"

#include <cstdint>
#include <functional>
#include <string>

namespace kavex {

class CellGrid;
class Closing;
class ColourRoles;
class ConnectionWindow;
class CredentialsDialog;
class DialogHost;
class ExecutionGrid;
class FileDrop;
class GridActions;
class OrderClient;
class OrderGrid;
class OrderGridColumns;
class OrderPlacement;
class Prompts;
class SoundRoutine;
class Statements;
class SystemServices;
class WorkingDirectory;
struct Settings;
struct TradingData;

// The labels, lists and the check box of the trading window. The subsystems write into
// them from the moment they are built, so these come first.
struct TradingWindowControls {
    Label title, statusLine, accountCodeLabel, resultLabel, panelResultLabel, totalPlaceLabel, dayPlaceLabel;
    Label userButtonHint, moreButton;
    Label linkState; // the link to the server: "verbunden", "verbinde...", "nicht verbunden seit N s"
    TextList log, messages, bridgeLog, fileDropLog; // log: the list "Protokoll"
    TextList defaultQuantityList, colourSchemeList, executionOrderList;
    TextList soundFiles; // the list "auswählen..."
    Label soundFileField;
    CheckBox chatOption;
    // The service level shows or hides the chat option; the view follows through the hook.
    bool chatOptionVisible = false;
    std::function<void(bool visible)> chatOptionVisibilityChanged;
};

// What the window asks of its surroundings.
struct TradingWindowPlatform {
    Prompts& prompts;
    DialogHost& dialogs;
    SystemServices& system;
    WorkingDirectory& folder;
    std::string executableName; // file name without folder and extension
    std::string productPage;    // the product's web page
    bool gameEdition = false;
    std::function<void()> unload; // saves and ends the program
};

// The subsystems the window's commands act on.
struct TradingWindowParts {
    TradingData& data;
    Settings& settings;
    ColourRoles& colours;
    OrderGridColumns& columns;
    OrderGrid& orderGrid;
    CellGrid& orderGridCells;
    GridActions& gridActions;
    OrderPlacement& placement;
    Closing& closing;
    OrderClient& orderClient;
    ConnectionWindow& connectionWindow;
    CredentialsDialog& credentials;
    ExecutionGrid& executionGrid;
    Statements& statements;
    FileDrop& fileDrop;
    SoundRoutine& sound;
};

class TradingWindow {
  public:
    enum Tab { OrdersTab = 0, ExecutionsTab, StatementsTab, SettingsTab };

    TradingWindow(TradingWindowControls& controls, TradingWindowPlatform platform, TradingWindowParts parts);
    TradingWindow(const TradingWindow&) = delete;
    TradingWindow& operator=(const TradingWindow&) = delete;

    TradingWindowControls& controls() { return controls_; }
    bool gameEdition() const { return platform_.gameEdition; }
    // Fills the lists the window shows from the start (quantities, colour schemes, orders).
    void fillLists();

    // --- Layout, tabs, window placement ---
    // The window's inner size in twips changed.
    void resize(int32_t innerWidth, int32_t innerHeight);
    void chooseTab(int tab);
    const FormLayout& layout() const { return layout_; }
    int currentTab() const { return currentTab_; }
    // The window's outer geometry in twips, kept by the view and saved on shutdown.
    void windowPlaced(const TwipRect& geometry) { window_ = geometry; }
    const TwipRect& windowGeometry() const { return window_; }
    // The geometry of the settings file: each part counts only when it is above 0, and
    // when one does, the window is placed.
    void restoreGeometry(const TwipRect& saved);
    // Set by the view: moves and sizes the window.
    std::function<void(const TwipRect&)> placeWindow;

    // --- Strip under the order grid ---
    void cancelAll();                  // "CANCEL Alle"
    void transmitAll();                // "TRANS Alle"
    void deleteEntryLines();           // "Lösche TRANS"
    void buyMarket();                  // "BUY MARKET"
    void sellMarket();                 // "SELL MARKET"
    void toggleFinishedOrders();       // "Mehr" / "Weniger"
    void closeAllPositions();          // "GLATT"
    void askForNewUser();              // "User/PW"
    void end() { platform_.unload(); } // "ENDE"

    // --- Tab "Sonstiges" ---
    void newUser();              // "Neuen Usernamen wählen"
    void showConnectionWindow(); // "Clientfenster zeigen"
    void chooseColourScheme(const std::string& fileName);
    void applyColours(); // "Anwenden"
    void clearLog() { controls_.log.clear(); }
    void setAsciiRemote(bool on); // "ASCII-Remote": the file-drop interface on or off
    bool fileDropActive() const;  // its log list is shown while this holds
    void clearFileDropLog() { controls_.fileDropLog.clear(); }
    void chooseSound(const std::string& fileName); // "auswählen...": plays and takes a wave file
    void setZentrivoExtern(bool on);
    // The frame "Externe Kontrolle Zentrivo" is shown while this holds.
    bool bridgeFrameVisible() const;

    // --- Logo and product label ---
    // A click on the logo opens the product's web page; with Shift and Ctrl held it asks
    // the server for its system information instead.
    void clickLogo(bool shiftAndCtrl);
    void openProductPage();
    void showProgramName(); // the product label: the executable's name
    // Set by the client: sends the request for the server's system information.
    std::function<void()> requestSystemInfo;

  private:
    TradingWindowControls& controls_;
    TradingWindowPlatform platform_;
    TradingWindowParts parts_;
    FormLayout layout_ = FormLayout::designed();
    TwipRect window_; // 0: not known (the settings file then keeps its value)
    int currentTab_ = OrdersTab;
};

} // namespace kavex
