#pragma once
// The client as a whole: builds the trading window and every subsystem on the platform it
// is given, wires the server's messages to their handlers, and runs the start-up sequence,
// the refresh timer, the self-update hand-over and the shutdown. Plain C++: the Qt
// program and the tests build it alike.
#include "base/numbers.h"
#include "community/ranking_info.h"
#include "session/connection_config.h"

#include <functional>
#include <memory>
#include <string>

namespace kavex {

class AnimatedLogo;
class Bridge;
class Brackets;
class CellGrid;
class Chart;
class Chat;
class ColourEditor;
class LinkState;
class ColourRoles;
class ConnectionWindow;
class DialogHost;
class EventLoop;
class ExecutionGrid;
class ExternalOrderGate;
class ExternalOrders;
class FileDrop;
class FileTransfer;
class GridActions;
class GridContextMenu;
class HttpGet;
class KeyActions;
class KeyBindings;
class OrderClient;
class OrderGridColumns;
class Printer;
class Prompts;
class Sound;
class Statements;
class SystemServices;
class TcpClient;
class TcpListener;
class TradingWindow;
class WorkingDirectory;
struct MessageWindow;
struct Settings;
struct TradingData;
struct TradingWindowControls;

// Everything outside the program that the client works with.
struct ClientPlatform {
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

class Client {
  public:
    static constexpr int kStartupMs = 50;
    static constexpr int kRefreshMs = 150;
    static constexpr int kUpdateMs = 50;
    static constexpr const char* kUpdateFile = "KAVEXUP.EXX";
    static constexpr const char* kUpdateProgram = "KAVEXUP.EXE";
    static constexpr const char* kReloadProgram = "QRELOAD.EXE";

    explicit Client(ClientPlatform platform, ProgramVersion version = {});
    ~Client();
    Client(const Client&) = delete;
    Client& operator=(const Client&) = delete;

    // --- Lifecycle ---
    // The window loads: the title, its lists, and the start-up on the first timer tick
    // (or the self-update hand-over when an update is waiting).
    void load();
    void startUp();      // reads the settings and colours, logs in, starts the refresh timer
    void refreshTick();  // redraws the instruments whose prices changed
    void updateTick();   // hands over to the update program and ends
    void unload();       // window closed, "ENDE" or a signal: saves once and ends the program
    void saveUserData(); // the settings, presets and histories, as the end of the program saves them
    bool ending() const { return ending_; }
    // Ends the program (quits the event loop); set by the application.
    std::function<void()> endProgram;
    bool startupTimerActive() const;
    bool refreshTimerActive() const;
    bool updateTimerActive() const;

    // --- The parts the windows show and the tests look at ---
    TradingWindow& window();
    TradingWindowControls& controls();
    TradingData& data();
    Settings& settings();
    const ColourRoles& colours() const;
    const OrderGridColumns& columns() const;
    CellGrid& orderGridCells();
    CellGrid& executionGridCells();
    GridActions& gridActions();
    GridContextMenu& contextMenu();
    ExecutionGrid& executionGrid(); // tab "Executions"
    Statements& statements();       // tab "Auszüge"
    ColourEditor& colourEditor();
    const LinkState& linkState() const;
    MessageWindow& messageWindow();
    OrderClient& orderClient(); // the link to the server
    ConnectionWindow& connectionWindow();
    Chart& chart();
    std::string orderRowToolTip(int row) const; // where the row's order was made
    Chat& chat();                               // the chat window
    Bridge& bridge();
    FileDrop& fileDrop();
    ExternalOrders& externalOrders();
    FileTransfer& fileTransfer();
    Brackets& brackets();
    ExternalOrderGate& externalGate(); // rates and approval of orders from other programs
    KeyBindings& keyBindings();        // the keys of the trading window
    KeyActions& keyActions();
    AnimatedLogo& logo();

  private:
    struct Parts;
    void applySettings();
    void captureSettings();
    void connectWithSettings();
    void loadPresets();
    void stopTimer(int& timer);

    ClientPlatform platform_;
    ProgramVersion version_;
    std::unique_ptr<Parts> parts_;
    int startupTimer_ = 0, refreshTimer_ = 0, updateTimer_ = 0;
    bool ending_ = false;
};

} // namespace kavex
