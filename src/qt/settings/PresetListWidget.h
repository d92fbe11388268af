// The presets list: rows reordered by dragging within the list. The drop only says where the
// dragged row goes; the order itself lives in the settings store, which the list is rebuilt from.
#pragma once

#include <QListWidget>
#include <functional>

namespace nivu {

class PresetListWidget final : public QListWidget {
public:
    explicit PresetListWidget(QWidget* parent = nullptr);

    // Called with the dragged row and the row it goes before (counted before the move).
    std::function<void(std::size_t source, std::size_t destination)> onMove;

    // The current row dropped at a point of the viewport: before the row under the point's
    // upper half, after it for the lower half, at the end below the last row.
    void dropCurrentRowAt(QPoint point);

protected:
    void dropEvent(QDropEvent* event) override;
};

} // namespace nivu
