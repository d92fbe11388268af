// Nivu's icons from their SVG sources, drawn by Qt SVG itself, at the size asked for.
#include "qt/SvgIcon.h"

#include <QIconEngine>
#include <QPainter>
#include <QPixmap>
#include <QSvgRenderer>
#include <map>
#include <memory>
#include <utility>

namespace nivu {

namespace {

// Draws each size when it is first asked for: starting Nivu renders no size it does not show.
class SvgIconEngine final : public QIconEngine {
public:
    SvgIconEngine(std::shared_ptr<QSvgRenderer> renderer, QColor tint)
        : renderer_(std::move(renderer))
        , tint_(tint) {}

    void paint(QPainter* painter, const QRect& rect, QIcon::Mode mode,
               QIcon::State state) override {
        painter->drawPixmap(rect, pixmap(rect.size(), mode, state));
    }
    QPixmap pixmap(const QSize& size, QIcon::Mode mode, QIcon::State state) override {
        auto& drawn = pixmaps_[{size.width(), size.height()}];
        if (drawn.isNull()) {
            drawn = QPixmap(size);
            drawn.fill(Qt::transparent);
            QPainter painter(&drawn);
            renderer_->render(&painter);
            if (tint_.isValid()) {
                painter.setCompositionMode(QPainter::CompositionMode_SourceIn);
                painter.fillRect(drawn.rect(), tint_);
            }
        }
        // Disabled and selected looks come from the style, as for any pixmap icon.
        return mode == QIcon::Normal ? drawn : QIcon(drawn).pixmap(size, mode, state);
    }
    QList<QSize> availableSizes(QIcon::Mode, QIcon::State) override {
        return {{16, 16}, {22, 22}, {24, 24}, {32, 32}, {48, 48}, {64, 64}, {128, 128}};
    }
    QIconEngine* clone() const override { return new SvgIconEngine(renderer_, tint_); }

private:
    std::shared_ptr<QSvgRenderer> renderer_;
    QColor tint_;
    std::map<std::pair<int, int>, QPixmap> pixmaps_;
};

} // namespace

QIcon svgIcon(const QString& path, const QColor& tint) {
    auto renderer = std::make_shared<QSvgRenderer>(path);
    if (!renderer->isValid()) {
        return {};
    }
    return QIcon(new SvgIconEngine(std::move(renderer), tint));
}

} // namespace nivu
