#pragma once
// The chat window on screen: a top-level widget over the headless Chat. It becomes the
// chat's observer (and the observer of its lists and fields) for its lifetime, shows
// and hides itself as the chat opens and closes, and forwards every click to the chat.
#include <QWidget>

#include <functional>

class QCheckBox;
class QLineEdit;
class QListView;
class QPlainTextEdit;
class QPushButton;

namespace kavex {

class Chat;
class TextListModel;

class ChatWindow : public QWidget {
  public:
    // `anchor` gives the trading window's frame on screen; the chat opens right of it.
    explicit ChatWindow(Chat& chat, std::function<QRect()> anchor = {}, QWidget* parent = nullptr);
    ~ChatWindow() override;

    QPlainTextEdit* historyView() const { return history_; }
    QPlainTextEdit* inputEdit() const { return input_; }
    QLineEdit* recipientEdit() const { return recipient_; }
    QListView* usersView() const { return users_; }
    QListView* tradesView() const { return trades_; }
    QCheckBox* stopBox() const { return stop_; }
    QPushButton* button(const QString& caption) const;
    // Pixels for a length in twips on this screen.
    int pixels(int twips) const;

  protected:
    void closeEvent(QCloseEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    void chatChanged(int change);
    void syncWindow();
    void syncInput();

    Chat& chat_;
    std::function<QRect()> anchor_;
    TextListModel* usersModel_ = nullptr;
    TextListModel* tradesModel_ = nullptr;
    QPlainTextEdit* history_ = nullptr;
    QPlainTextEdit* input_ = nullptr;
    QLineEdit* recipient_ = nullptr;
    QListView* users_ = nullptr;
    QListView* trades_ = nullptr;
    QCheckBox* stop_ = nullptr;
    QWidget* tradesPanel_ = nullptr;
    QList<QPushButton*> buttons_;
    std::size_t shownHistoryBytes_ = 0; // how much of the chat's history the view shows
    bool closing_ = false;
    int shownWidthTwips_ = 0;
};

} // namespace kavex
