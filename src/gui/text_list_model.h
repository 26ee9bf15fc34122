#pragma once
// Shows a headless TextList in a Qt list view without copying its lines. The model
// becomes the list's observer for its lifetime.
#include "base/text_list.h"

#include <QAbstractListModel>

namespace kavex {

class TextListModel : public QAbstractListModel {
  public:
    explicit TextListModel(TextList& list, QObject* parent = nullptr);
    ~TextListModel() override;

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    TextList& list() { return list_; }

  private:
    void listChanged(int changedIndex);

    TextList& list_;
    int rows_ = 0; // rows the views know of; the list is one ahead while it reports a line
};

} // namespace kavex
