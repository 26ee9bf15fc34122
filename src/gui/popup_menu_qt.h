#pragma once
// Shows the order grid's headless right-click menu as a QMenu at the mouse whenever the
// logic opens it, and reports the choice back. The first entry, the header, is shown
// as a section title.
#include <QPoint>

#include <functional>

class QAction;
class QMenu;
class QWidget;

namespace kavex {

class PopupMenu;

class PopupMenuPresenter {
  public:
    PopupMenuPresenter(PopupMenu& model, QWidget* parent);
    ~PopupMenuPresenter();
    PopupMenuPresenter(const PopupMenuPresenter&) = delete;
    PopupMenuPresenter& operator=(const PopupMenuPresenter&) = delete;

    // Runs the menu and returns the chosen action (nullptr when dismissed); by default
    // modally at the mouse pointer.
    std::function<QAction*(QMenu&)> execMenu;

  private:
    void show();

    PopupMenu& model_;
    QWidget* parent_;
};

} // namespace kavex
