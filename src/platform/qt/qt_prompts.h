#pragma once
// Message boxes and the colour dialog on Qt: the Prompts interface on QMessageBox and
// QColorDialog. Question boxes carry German button texts ("Ja", "Nein").
#include "platform/services.h"

class QWidget;

namespace kavex {

class QtPrompts : public Prompts {
  public:
    explicit QtPrompts(QWidget* parent = nullptr) : parent_(parent) {}
    void message(const std::string& text, const std::string& caption = {}) override;
    bool askYesNo(const std::string& text, const std::string& caption = {}) override;
    bool confirmOrders(const std::string& question, const std::string& orders) override;
    bool chooseColour(int& colour) override;
    std::optional<std::string> askText(const std::string& question, const std::string& initial) override;

  private:
    QWidget* parent_;
};

} // namespace kavex
