#pragma once

#include <QAbstractListModel>
#include <QStringList>

// The entries of a play list, top to bottom in file order. Every change is announced for
// just the rows it touches, so a view of 100,000 entries only redoes what changed.
class PlayListModel : public QAbstractListModel {
    Q_OBJECT
public:
    explicit PlayListModel(QObject* parent = nullptr);
    Q_DISABLE_COPY_MOVE(PlayListModel)

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;

    const QStringList& entries() const { return entries_; }
    int count() const { return int(entries_.size()); }
    QString entry(int row) const { return entries_.value(row); }

    // Replaces every entry (one reset, however long the list).
    void setEntries(const QStringList& entries);
    // Appends at the bottom; returns the row of the first new entry.
    int append(const QString& entry);
    void appendAll(const QStringList& entries);
    void removeEntry(int row);
    // Exchanges the entries at `row` and `row + 1`.
    void exchangeWithNext(int row);

private:
    QStringList entries_;
};
