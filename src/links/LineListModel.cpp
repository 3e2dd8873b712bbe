#include "LineListModel.h"

namespace {

// A list given up that held more than this hands its memory back to the system.
constexpr qsizetype largeList = qsizetype(1) << 20;

}  // namespace

LineListModel::LineListModel(QObject* parent) : QAbstractListModel(parent) {}

LineListModel::~LineListModel() {
    release(lines_);
}

void LineListModel::release(LineStore& lines) {
    const bool large = lines.allocatedBytes() > largeList;
    lines = LineStore();
    if (large) {
        LineStore::releaseFreedMemory();
    }
}

int LineListModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : int(lines_.size());
}

QVariant LineListModel::data(const QModelIndex& index, int role) const {
    if (!checkIndex(index, CheckIndexOption::IndexIsValid | CheckIndexOption::ParentIsInvalid)) {
        return {};
    }
    if (role == Qt::DisplayRole || role == Qt::EditRole || role == Qt::ToolTipRole) {
        return lines_.at(index.row());
    }
    return {};
}

void LineListModel::setLines(LineStore lines) {
    beginResetModel();
    std::swap(lines_, lines);
    endResetModel();
    release(lines);
}
