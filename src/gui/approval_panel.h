#pragma once
// The small list of orders from other programs that wait for the user's approval, with
// "Freigeben" and "Ablehnen" for the chosen one (the oldest when none is chosen). It sits
// in the lower right corner of the order tab and shows only while an order waits.
#include <QFrame>

class QListView;

namespace kavex {

class ExternalOrderGate;

class ApprovalPanel : public QFrame {
  public:
    ApprovalPanel(ExternalOrderGate& gate, QWidget* page);

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    int chosen() const;
    void follow();

    ExternalOrderGate& gate_;
    QListView* list_ = nullptr;
};

} // namespace kavex
