#pragma once

#include <QAbstractListModel>

#include "LineStore.h"

// A list of lines for a list view, each decoded only when the view shows it.
class LineListModel : public QAbstractListModel {
    Q_OBJECT
public:
    explicit LineListModel(QObject* parent = nullptr);
    ~LineListModel() override;
    Q_DISABLE_COPY_MOVE(LineListModel)

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;

    const LineStore& lines() const { return lines_; }
    // Replaces every line (one reset, however long the list).
    void setLines(LineStore lines);

protected:
    LineStore lines_;

private:
    void release(LineStore& lines);
};
