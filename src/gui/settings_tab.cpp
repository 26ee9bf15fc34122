#include "gui/settings_tab.h"

#include "gui/bridge_frame.h"
#include "gui/cell_grid_model.h"
#include "gui/colour_palette.h"
#include "gui/combo_popup.h"
#include "gui/text_list_model.h"
#include "model/settings_file.h"
#include "views/animated_logo.h"
#include "views/colour_editor.h"
#include "views/trading_window.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QIcon>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QPixmap>
#include <QPushButton>
#include <QVBoxLayout>

namespace kavex {
namespace {

QString q(const std::string& s) {
    return QString::fromStdString(s);
}

QPushButton* button(const QString& caption, const QString& hint, QObject* context,
                    std::function<void()> action) {
    auto* b = new QPushButton(caption);
    b->setToolTip(hint);
    QObject::connect(b, &QPushButton::clicked, context, std::move(action));
    return b;
}

QListView* listView(TextList& list) {
    auto* view = new QListView;
    view->setModel(new TextListModel(list, view));
    view->setEditTriggers(QAbstractItemView::NoEditTriggers);
    return view;
}

} // namespace

SettingsTab::SettingsTab(TradingWindow& window, Settings& settings, ColourEditor& colourEditor,
                         Bridge& bridge, AnimatedLogo& logo, QWidget* parent)
    : QWidget(parent), window_(window), settings_(settings), colourEditor_(colourEditor), bridge_(bridge),
      logo_(logo) {
    QListView* log = listView(window_.controls().log);
    log->setObjectName("protocol");
    QPalette palette = log->palette();
    palette.setColor(QPalette::Base, toQColor(23 + 256 * 139 + 65536 * 191));
    log->setPalette(palette);
    connect(log, &QListView::doubleClicked, this, [this] { window_.clearLog(); });

    auto* left = new QVBoxLayout;
    left->addWidget(buildOptions());
    left->addWidget(buildColours());
    left->addWidget(buildCommands());
    bridgeFrame_ = new BridgeFrame(bridge_, settings_, window_.controls().bridgeLog);
    left->addWidget(bridgeFrame_);
    left->addStretch();
    auto* layout = new QHBoxLayout(this);
    layout->addLayout(left);
    right_ = new QVBoxLayout;
    right_->addWidget(log, 1);
    layout->addLayout(right_, 1);
    colourEditor_.previewChanged = [this](int colour) { showPreview(colour); };
    sync();
}

SettingsTab::~SettingsTab() {
    colourEditor_.previewChanged = nullptr;
    logo_.frameChanged = nullptr;
    window_.controls().soundFileField.setObserver(nullptr);
}

QWidget* SettingsTab::buildOptions() {
    auto* box = new QGroupBox("Optionen");
    auto* layout = new QVBoxLayout(box);
    Settings& settings = settings_;
    auto option = [&](const QString& caption, const QString& hint, int16_t& value) {
        auto* check = new QCheckBox(caption);
        check->setToolTip(hint);
        connect(check, &QCheckBox::toggled, this, [&value](bool on) { value = on ? 1 : 0; });
        layout->addWidget(check);
        return check;
    };
    confirmation_ = option("Sicherheitsabfrage bei BUY/SELL MARKET und GLATT aktivieren",
                           "Vor Market-Orders und GLATT nachfragen", settings.confirmation);
    confirmation_->setObjectName("confirmation");
    chatSound_ = option("Chat mit Sound", "Ton bei neuen Chatzeilen", settings.chatSound);
    executionSound_ = option("Execution mit Sound", "Ton bei jeder Ausführung", settings.executionSound);

    auto* sounds = new QComboBox;
    sounds->setObjectName("soundFiles");
    sounds->setModel(new TextListModel(window_.controls().soundFiles, sounds));
    sounds->setPlaceholderText("auswählen...");
    sounds->setToolTip("Tondatei wählen; die Wahl wird einmal abgespielt");
    opensBelow(sounds);
    sounds->setCurrentIndex(-1);
    connect(sounds, &QComboBox::textActivated, this, [this, sounds](const QString& name) {
        window_.chooseSound(name.toStdString());
        sounds->setCurrentIndex(-1);
    });
    auto* soundFile = new QLineEdit(q(window_.controls().soundFileField.text()));
    soundFile->setObjectName("soundFile");
    soundFile->setReadOnly(true);
    window_.controls().soundFileField.setObserver(
        [soundFile](const std::string& t) { soundFile->setText(q(t)); });
    auto* soundRow = new QHBoxLayout;
    soundRow->addWidget(new QLabel("Sound:"));
    soundRow->addWidget(sounds);
    soundRow->addWidget(soundFile, 1);
    layout->addLayout(soundRow);

    asciiRemote_ = new QCheckBox("ASCII-Remote");
    asciiRemote_->setToolTip("Orders aus Auftragsdateien im Arbeitsordner annehmen");
    fileDropLog_ = listView(window_.controls().fileDropLog);
    fileDropLog_->setObjectName("fileDropLog");
    fileDropLog_->setMaximumHeight(80);
    connect(fileDropLog_, &QListView::clicked, this, [this] { window_.clearFileDropLog(); });
    connect(asciiRemote_, &QCheckBox::toggled, this, [this](bool on) {
        window_.setAsciiRemote(on);
        fileDropLog_->setVisible(window_.fileDropActive());
    });
    layout->addWidget(asciiRemote_);
    layout->addWidget(fileDropLog_);
    // The game edition keeps the option (it is saved like any other) but never shows the frame.
    zentrivo_ = new QCheckBox("Zentrivo extern");
    zentrivo_->setObjectName("zentrivoExtern");
    zentrivo_->setToolTip("Steuerung durch ein externes Programm über TCP");
    connect(zentrivo_, &QCheckBox::toggled, this, [this](bool on) {
        window_.setZentrivoExtern(on);
        bridgeFrame_->setVisible(window_.bridgeFrameVisible());
    });
    layout->addWidget(zentrivo_);
    return box;
}

QWidget* SettingsTab::buildColours() {
    auto* box = new QGroupBox("Farben");
    auto* schemes = new QComboBox;
    schemes->setObjectName("colourSchemes");
    schemes->setToolTip("Farbschema laden");
    opensBelow(schemes);
    schemes->setModel(new TextListModel(window_.controls().colourSchemeList, schemes));
    connect(schemes, &QComboBox::textActivated, this,
            [this](const QString& name) { window_.chooseColourScheme(name.toStdString()); });

    ColourEditor& editor = colourEditor_;
    QListView* roles = listView(editor.roleList);
    roles->setObjectName("colourRoles");
    roles->setMaximumHeight(120);
    connect(roles, &QListView::clicked, this,
            [this](const QModelIndex& index) { colourEditor_.chooseRole(index.row()); });
    swatch_ = new QLabel;
    swatch_->setObjectName("colourPreview");
    swatch_->setFixedSize(48, 48);
    swatch_->setAutoFillBackground(true);
    swatch_->setFrameShape(QFrame::Box);

    auto* layout = new QGridLayout(box);
    layout->addWidget(new QLabel("Farbschema:"), 0, 0);
    layout->addWidget(schemes, 0, 1, 1, 2);
    layout->addWidget(roles, 1, 0);
    auto* palette = new ColourPalette(editor);
    palette->setObjectName("colourPalette");
    layout->addWidget(palette, 1, 1);
    layout->addWidget(swatch_, 1, 2, Qt::AlignTop);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(button("Mehr...", "Farbe der Rolle frei wählen", this,
                              [this] { colourEditor_.chooseOtherColour(); }));
    buttons->addWidget(
        button("Anwenden", "Farben speichern und anzeigen", this, [this] { window_.applyColours(); }));
    buttons->addStretch();
    layout->addLayout(buttons, 2, 0, 1, 3);
    return box;
}

QWidget* SettingsTab::buildCommands() {
    auto* row = new QWidget;
    auto* layout = new QHBoxLayout(row);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(button("Neuen Usernamen wählen", "Anderen Usernamen eingeben und neu anmelden", this,
                             [this] { window_.newUser(); }));
    layout->addWidget(button("Clientfenster zeigen", "Verbindungsfenster zeigen", this,
                             [this] { window_.showConnectionWindow(); }));
    QPushButton* product = button("Kavex", {}, this, [this] { window_.showProgramName(); });
    product->setObjectName("productLabel");
    product->setFlat(true);
    product->setToolTip("Programmname zeigen");
    // The animated logo; without its picture file, the still logo in letters.
    QPushButton* logo = button("KAVEX", {}, this, [this] {
        const Qt::KeyboardModifiers held = QGuiApplication::keyboardModifiers();
        window_.clickLogo(held.testFlag(Qt::ShiftModifier) && held.testFlag(Qt::ControlModifier));
    });
    logo->setObjectName("productLogo");
    logo->setFlat(true);
    logo->setStyleSheet("font-weight: bold; color: rgb(23, 139, 191);");
    logo->setToolTip("Webseite öffnen");
    logoButton_ = logo;
    logo_.frameChanged = [this](const std::string& frame) { showLogoFrame(frame); };
    if (logo_.currentFrame() >= 0)
        showLogoFrame(logo_.frames()[static_cast<std::size_t>(logo_.currentFrame())]);
    layout->addStretch();
    layout->addWidget(logo);
    layout->addWidget(product);
    return row;
}

void SettingsTab::addBox(QWidget* box) {
    right_->insertWidget(right_->count() - 1, box);
}

void SettingsTab::showLogoFrame(const std::string& frame) {
    QPixmap picture;
    if (!picture.loadFromData(reinterpret_cast<const uchar*>(frame.data()), static_cast<uint>(frame.size())))
        return; // a frame that cannot be decoded leaves the one shown before
    logoButton_->setText(QString());
    logoButton_->setIcon(QIcon(picture));
    logoButton_->setIconSize(picture.size());
}

void SettingsTab::showPreview(int colour) {
    QPalette palette = swatch_->palette();
    palette.setColor(QPalette::Window, toQColor(colour));
    swatch_->setPalette(palette);
}

void SettingsTab::sync() {
    const Settings& settings = settings_;
    auto set = [](QCheckBox* box, int16_t value) {
        if (!box) return;
        QSignalBlocker block(box);
        box->setChecked(value != 0);
    };
    set(confirmation_, settings.confirmation);
    set(chatSound_, settings.chatSound);
    set(executionSound_, settings.executionSound);
    set(asciiRemote_, settings.asciiRemote);
    set(zentrivo_, settings.zentrivoExtern);
    fileDropLog_->setVisible(window_.fileDropActive());
    bridgeFrame_->setVisible(window_.bridgeFrameVisible());
    showPreview(colourEditor_.preview());
}

} // namespace kavex
