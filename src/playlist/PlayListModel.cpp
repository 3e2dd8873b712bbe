#include "PlayListModel.h"

PlayListModel::PlayListModel(QObject* parent) : QAbstractListModel(parent) {}

int PlayListModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : count();
}

QVariant PlayListModel::data(const QModelIndex& index, int role) const {
    if (!checkIndex(index, CheckIndexOption::IndexIsValid | CheckIndexOption::ParentIsInvalid)) {
        return {};
    }
    if (role == Qt::DisplayRole || role == Qt::EditRole || role == Qt::ToolTipRole) {
        return entries_.at(index.row());
    }
    return {};
}

bool PlayListModel::moveRows(const QModelIndex& sourceParent, int sourceRow, int count,
                             const QModelIndex& destinationParent, int destinationChild) {
    if (sourceParent.isValid() || destinationParent.isValid() || count <= 0 || sourceRow < 0 ||
        sourceRow + count > this->count() || destinationChild < 0 ||
        destinationChild > this->count()) {
        return false;
    }
    // beginMoveRows refuses a destination inside the moved block (or right after it).
    if (!beginMoveRows(sourceParent, sourceRow, sourceRow + count - 1, destinationParent,
                       destinationChild)) {
        return false;
    }
    const QStringList moved = entries_.mid(sourceRow, count);
    entries_.remove(sourceRow, count);
    const int insertAt = destinationChild > sourceRow ? destinationChild - count : destinationChild;
    for (int i = 0; i < count; ++i) {
        entries_.insert(insertAt + i, moved.at(i));
    }
    endMoveRows();
    return true;
}

void PlayListModel::setEntries(const QStringList& entries) {
    beginResetModel();
    entries_ = entries;
    endResetModel();
}

int PlayListModel::append(const QString& entry) {
    const int row = count();
    beginInsertRows(QModelIndex(), row, row);
    entries_.append(entry);
    endInsertRows();
    return row;
}

void PlayListModel::appendAll(const QStringList& entries) {
    if (entries.isEmpty()) {
        return;
    }
    const int first = count();
    beginInsertRows(QModelIndex(), first, first + int(entries.size()) - 1);
    entries_.append(entries);
    endInsertRows();
}

void PlayListModel::removeEntry(int row) {
    if (row < 0 || row >= count()) {
        return;
    }
    beginRemoveRows(QModelIndex(), row, row);
    entries_.removeAt(row);
    endRemoveRows();
}

void PlayListModel::exchangeWithNext(int row) {
    if (row < 0 || row + 1 >= count()) {
        return;
    }
    // Moving the lower entry above the upper one exchanges the two.
    moveRows(QModelIndex(), row + 1, 1, QModelIndex(), row);
}
