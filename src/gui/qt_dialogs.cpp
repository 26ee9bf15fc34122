#include "gui/qt_dialogs.h"

#include "gui/bracket_preset_dialog_qt.h"
#include "gui/cell_grid_model.h"

#include <QDialog>
#include <QFormLayout>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScreen>
#include <QVBoxLayout>

namespace kavex {
namespace {

void centreOnScreen(QWidget& w) {
    w.adjustSize();
    if (QScreen* screen = QGuiApplication::primaryScreen()) {
        QRect area = screen->availableGeometry();
        w.move(area.center() - QPoint(w.width() / 2, w.height() / 2));
    }
}

QString q(const std::string& s) {
    return QString::fromStdString(s);
}

} // namespace

void QtDialogHost::runModal(CredentialsDialog& model) {
    QDialog dialog(parent_);
    dialog.setWindowTitle(CredentialsDialog::kCaption);
    auto* user = new QLineEdit(q(model.userField.text()));
    auto* password = new QLineEdit(q(model.passwordField.text()));
    password->setEchoMode(QLineEdit::Password); // the password is not shown while typed
    auto* form = new QFormLayout;
    form->addRow("Username:", user);
    form->addRow("Paßwort:", password);
    auto* ok = new QPushButton("&OK");
    auto* cancel = new QPushButton("Abbruch");
    ok->setToolTip("Angaben übernehmen");
    cancel->setToolTip("Ohne Änderung schließen");
    ok->setDefault(true);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(ok);
    buttons->addWidget(cancel);
    auto* layout = new QVBoxLayout(&dialog);
    layout->addLayout(form);
    layout->addLayout(buttons);
    QObject::connect(ok, &QPushButton::clicked, &dialog, [&] {
        model.userField.setText(user->text().toStdString());
        model.passwordField.setText(password->text().toStdString());
        model.confirm();
        dialog.accept();
    });
    QObject::connect(cancel, &QPushButton::clicked, &dialog, [&] {
        model.cancel();
        dialog.reject();
    });
    centreOnScreen(dialog);
    dialog.exec();
    if (model.visible.checked()) model.cancel(); // closed by the window's own control
}

void QtDialogHost::runModal(AutostartDialog& model) {
    QDialog dialog(parent_);
    dialog.setWindowTitle(AutostartDialog::kCaption);
    auto* countdown = new QLabel("Autostart:");
    auto* start = new QPushButton("Start");
    auto* credentials = new QPushButton("Username/Paßwort");
    start->setToolTip("Jetzt anmelden");
    credentials->setToolTip("Andere Anmeldedaten eingeben");
    start->setDefault(true);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(start);
    buttons->addWidget(credentials);
    auto* layout = new QVBoxLayout(&dialog);
    layout->addWidget(countdown);
    layout->addLayout(buttons);
    model.countdown.setObserver([&](const std::string& text) { countdown->setText(q(text)); });
    model.startHasFocus.setObserver([&](bool focus) {
        if (focus) start->setFocus();
    });
    model.visible.setObserver([&](bool visible) {
        if (!visible) dialog.accept();
    });
    QObject::connect(start, &QPushButton::clicked, &dialog, [&] { model.start(); });
    QObject::connect(credentials, &QPushButton::clicked, &dialog, [&] { model.changeCredentials(); });
    centreOnScreen(dialog);
    if (model.visible.checked()) dialog.exec();
    model.close();
    model.countdown.setObserver(nullptr);
    model.startHasFocus.setObserver(nullptr);
    model.visible.setObserver(nullptr);
}

void QtDialogHost::runModal(BracketPresetDialog& dialog) {
    BracketPresetDialogQt::run(dialog, parent_);
}

} // namespace kavex
