#pragma once
// The tab "Sonstiges" on screen: the options, the sound list, the colour schemes and the
// colour editing, the account and connection buttons, the file-drop log, the bridge frame
// and the log list, over the headless trading window and the settings it edits.
#include <QWidget>

class QCheckBox;
class QLabel;
class QListView;
class QPushButton;
class QVBoxLayout;

namespace kavex {

class AnimatedLogo;
class Bridge;
class BridgeFrame;
class ColourEditor;
class TradingWindow;
struct Settings;

class SettingsTab : public QWidget {
  public:
    SettingsTab(TradingWindow& window, Settings& settings, ColourEditor& colourEditor, Bridge& bridge,
                AnimatedLogo& logo, QWidget* parent = nullptr);
    ~SettingsTab() override;

    // Shows the current settings (the settings file is read after the window is built).
    void sync();
    // Another part of the tab, shown above the log.
    void addBox(QWidget* box);

  private:
    QWidget* buildOptions();
    QWidget* buildColours();
    QWidget* buildCommands();
    void showPreview(int colour);
    void showLogoFrame(const std::string& frame);

    TradingWindow& window_;
    Settings& settings_;
    ColourEditor& colourEditor_;
    Bridge& bridge_;
    AnimatedLogo& logo_;
    QPushButton* logoButton_ = nullptr;
    QCheckBox *confirmation_ = nullptr, *chatSound_ = nullptr, *executionSound_ = nullptr;
    QCheckBox *asciiRemote_ = nullptr, *zentrivo_ = nullptr;
    QListView* fileDropLog_ = nullptr;
    BridgeFrame* bridgeFrame_ = nullptr;
    QLabel* swatch_ = nullptr;
    QVBoxLayout* right_ = nullptr;
};

} // namespace kavex
