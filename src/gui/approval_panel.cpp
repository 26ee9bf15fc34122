#include "gui/approval_panel.h"

#include "gui/text_list_model.h"
#include "views/external_gate.h"

#include <QEvent>
#include <QHBoxLayout>
#include <QLabel>
#include <QListView>
#include <QPushButton>
#include <QVBoxLayout>

namespace kavex {

ApprovalPanel::ApprovalPanel(ExternalOrderGate& gate, QWidget* page) : QFrame(page), gate_(gate) {
    setObjectName("approvalPanel");
    setFrameShape(QFrame::Box);
    setAutoFillBackground(true);
    list_ = new QListView;
    auto* model = new TextListModel(gate_.waitingList(), list_);
    list_->setModel(model);
    list_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    auto* approve = new QPushButton("Freigeben");
    auto* reject = new QPushButton("Ablehnen");
    approve->setToolTip("Gewählte Order senden");
    reject->setToolTip("Gewählte Order ablehnen");
    connect(approve, &QPushButton::clicked, this, [this] { gate_.approve(chosen()); });
    connect(reject, &QPushButton::clicked, this, [this] { gate_.reject(chosen()); });
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(approve);
    buttons->addWidget(reject);
    buttons->addStretch();
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(4, 4, 4, 4);
    layout->addWidget(new QLabel("Orders anderer Programme warten auf Freigabe:"));
    layout->addWidget(list_, 1);
    layout->addLayout(buttons);
    connect(model, &QAbstractItemModel::modelReset, this, [this] { follow(); });
    connect(model, &QAbstractItemModel::rowsInserted, this, [this] { follow(); });
    connect(model, &QAbstractItemModel::rowsRemoved, this, [this] { follow(); });
    page->installEventFilter(this);
    follow();
}

int ApprovalPanel::chosen() const {
    const QModelIndex current = list_->currentIndex();
    return current.isValid() ? current.row() : 0;
}

void ApprovalPanel::follow() {
    setVisible(!gate_.waitingList().empty());
    const QWidget* page = parentWidget();
    const QSize size(qMin(520, page->width()), 140);
    setGeometry(page->width() - size.width() - 8, page->height() - size.height() - 48, size.width(),
                size.height());
    raise();
}

bool ApprovalPanel::eventFilter(QObject* watched, QEvent* event) {
    if (watched == parentWidget() && event->type() == QEvent::Resize) follow();
    return QFrame::eventFilter(watched, event);
}

} // namespace kavex
