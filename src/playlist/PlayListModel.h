#pragma once

#include <QStringList>

#include "LineListModel.h"

// The entries of a play list, top to bottom in file order. Every change is announced for
// just the rows it touches, so a view of 100,000 entries only redoes what changed.
class PlayListModel : public LineListModel {
    Q_OBJECT
public:
    explicit PlayListModel(QObject* parent = nullptr);
    Q_DISABLE_COPY_MOVE(PlayListModel)

    // Every entry decoded: for saving.
    QStringList entries() const { return lines_.toStringList(); }
    int count() const { return int(lines_.size()); }
    QString entry(int row) const;

    // Replaces every entry (one reset, however long the list).
    void setEntries(const QStringList& entries);
    // Appends at the bottom; returns the row of the new entry, or -1 when the list can hold
    // no more.
    int append(const QString& entry);
    void appendAll(const QStringList& entries);
    void removeEntry(int row);
    // Exchanges the entries at `row` and `row + 1`.
    void exchangeWithNext(int row);
};
