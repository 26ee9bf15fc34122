#include "gui/text_list_model.h"

namespace kavex {

TextListModel::TextListModel(TextList& list, QObject* parent)
    : QAbstractListModel(parent), list_(list), rows_(static_cast<int>(list.size())) {
    list_.setObserver([this](int changedIndex) { listChanged(changedIndex); });
}

TextListModel::~TextListModel() {
    list_.setObserver({});
}

int TextListModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : rows_;
}

QVariant TextListModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || index.row() >= rows_ || (role != Qt::DisplayRole && role != Qt::ToolTipRole))
        return {};
    const std::string& line = list_.lines()[static_cast<std::size_t>(index.row())];
    return QString::fromUtf8(line.data(), static_cast<qsizetype>(line.size()));
}

void TextListModel::listChanged(int changedIndex) {
    int size = static_cast<int>(list_.size());
    if (changedIndex >= 0 && changedIndex == rows_ && size == rows_ + 1) {
        beginInsertRows(QModelIndex(), rows_, rows_);
        rows_ = size;
        endInsertRows();
        return;
    }
    beginResetModel();
    rows_ = size;
    endResetModel();
}

} // namespace kavex
