// The presets list.
#include "qt/settings/PresetListWidget.h"

#include <QDropEvent>

namespace nivu {

PresetListWidget::PresetListWidget(QWidget* parent)
    : QListWidget(parent) {
    setDragDropMode(QAbstractItemView::InternalMove);
    setDefaultDropAction(Qt::MoveAction);
    setSelectionMode(QAbstractItemView::SingleSelection);
}

void PresetListWidget::dropCurrentRowAt(QPoint point) {
    const int source = currentRow();
    const QModelIndex target = indexAt(point);
    int destination = count();
    if (target.isValid()) {
        const QRect row = visualRect(target);
        destination = point.y() < row.center().y() ? target.row() : target.row() + 1;
    }
    if (source >= 0 && onMove) {
        onMove(static_cast<std::size_t>(source), static_cast<std::size_t>(destination));
    }
}

void PresetListWidget::dropEvent(QDropEvent* event) {
    // InternalMove lets only this list's own rows get here.
    event->setDropAction(Qt::IgnoreAction);
    event->accept();
    dropCurrentRowAt(event->position().toPoint());
}

} // namespace nivu
