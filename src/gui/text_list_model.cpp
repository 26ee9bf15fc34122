#include "gui/text_list_model.h"

#include <algorithm>

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
    // While the removal of the oldest line is reported, the views still count it.
    const int size = static_cast<int>(list_.size());
    const int line = index.row() - std::max(rows_ - size, 0);
    if (line < 0 || line >= size) return {};
    const std::string& text = list_.lines()[static_cast<std::size_t>(line)];
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

void TextListModel::listChanged(int changedIndex) {
    int size = static_cast<int>(list_.size());
    if (changedIndex == TextList::kFirstLineRemoved && rows_ > 0 && size == rows_ - 1) {
        beginRemoveRows(QModelIndex(), 0, 0);
        rows_ = size;
        endRemoveRows();
        return;
    }
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
