#pragma once
// The frame "Externe Kontrolle Zentrivo": the bridge's settings, its socket state, its
// log list and its buttons, over the headless bridge. The trading window shows it on
// its "Sonstiges" tab while TradingWindow::bridgeFrameVisible() holds.
#include <QGroupBox>

class QLabel;

namespace kavex {

class Bridge;
class TextList;
struct Settings;

class BridgeFrame : public QGroupBox {
  public:
    static constexpr const char* kTitle = "Externe Kontrolle Zentrivo";

    // `log` is the bridge's log list; the frame's list view becomes its observer.
    BridgeFrame(Bridge& bridge, Settings& settings, TextList& log, QWidget* parent = nullptr);
    ~BridgeFrame() override;

  private:
    Bridge& bridge_;
};

} // namespace kavex
