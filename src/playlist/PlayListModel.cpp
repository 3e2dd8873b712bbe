#include "PlayListModel.h"

#include <climits>

PlayListModel::PlayListModel(QObject* parent) : LineListModel(parent) {}

QString PlayListModel::entry(int row) const {
    return row >= 0 && row < count() ? lines_.at(row) : QString();
}

void PlayListModel::setEntries(const QStringList& entries) {
    setLines(LineStore(entries));
}

int PlayListModel::append(const QString& entry) {
    const int row = count();
    LineStore line;
    line.append(entry);
    if (row == INT_MAX || !lines_.hasRoomFor(line)) {
        return -1;
    }
    beginInsertRows(QModelIndex(), row, row);
    lines_.append(line);
    endInsertRows();
    return row;
}

void PlayListModel::appendAll(const QStringList& entries) {
    const LineStore more(entries);
    if (more.isEmpty() || INT_MAX - count() < more.size() || !lines_.hasRoomFor(more)) {
        return;
    }
    const int first = count();
    beginInsertRows(QModelIndex(), first, first + int(more.size()) - 1);
    lines_.append(more);
    endInsertRows();
}

void PlayListModel::removeEntry(int row) {
    if (row < 0 || row >= count()) {
        return;
    }
    beginRemoveRows(QModelIndex(), row, row);
    lines_.removeAt(row);
    endRemoveRows();
}

void PlayListModel::exchangeWithNext(int row) {
    if (row < 0 || row + 1 >= count()) {
        return;
    }
    // Two texts change places. Announced as a row move, a list view lays out all rows
    // again (13 ms a move at 100,000 entries); as changed data, PlayListView repaints two.
    lines_.swapItemsAt(row, row + 1);
    emit dataChanged(index(row, 0), index(row + 1, 0), {Qt::DisplayRole, Qt::ToolTipRole});
}
