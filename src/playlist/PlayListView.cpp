#include "PlayListView.h"

PlayListView::PlayListView(QWidget* parent) : QListView(parent) {
    setUniformItemSizes(true);
}

void PlayListView::dataChanged(const QModelIndex& topLeft, const QModelIndex& bottomRight,
                               const QList<int>& roles) {
    // Skips QListView's relayout: with uniform rows a new text changes no geometry.
    QAbstractItemView::dataChanged(topLeft, bottomRight, roles);
}
