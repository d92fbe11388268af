// The size badge as a Qt window.
#include "qt/QtIndicatorView.h"

#include "qt/DesktopCoordinates.h"
#include "ui/IndicatorPanel.h"

#include <QElapsedTimer>
#include <QFontMetricsF>
#include <QGuiApplication>
#include <QHash>
#include <QPainter>
#include <QPainterPath>
#include <QPixmap>
#include <QRegion>
#include <QScreen>
#include <QStaticText>
#include <QTimer>
#include <QTransform>
#include <cmath>
#include <utility>

namespace nivu {

namespace {
constexpr int badgeWidth = 120;
constexpr int badgeHeight = 28;
constexpr double cornerRadius = 14;
constexpr double backgroundAlpha = 0.82;
constexpr qint64 frameMilliseconds = 8; // a 120 Hz screen's frame

QFont labelFont() {
    QFont font = QGuiApplication::font();
    font.setPixelSize(12);
    font.setWeight(QFont::DemiBold);
    font.setStyleHint(QFont::SansSerif);
    return font;
}
} // namespace

class QtIndicatorView::Badge final : public QWidget {
public:
    explicit Badge(bool placedByCompositor)
        : QWidget(nullptr,
                  (placedByCompositor ? Qt::Window : Qt::ToolTip | Qt::X11BypassWindowManagerHint) |
                      Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint |
                      Qt::WindowDoesNotAcceptFocus | Qt::WindowTransparentForInput) {
        setAttribute(Qt::WA_ShowWithoutActivating);
        setAttribute(Qt::WA_X11DoNotAcceptFocus);
        setAttribute(Qt::WA_TranslucentBackground);
        setAttribute(Qt::WA_TransparentForMouseEvents);
        setFocusPolicy(Qt::NoFocus);
        setFixedSize(badgeWidth, badgeHeight);
        setFont(labelFont());
        setWindowTitle(titleOf(OwnWindow::badge));
        layout_.setTextFormat(Qt::PlainText);
        layout_.setPerformanceHint(QStaticText::AggressiveCaching);
        repaintLater.setSingleShot(true);
        connect(&repaintLater, &QTimer::timeout, this, [this] { update(); });
    }

    // A mouse reports up to a thousand sizes a second, more than any screen shows: the badge is
    // painted at most once a frame, and a frame's last text is the one painted.
    void updateOncePerFrame() {
        if (repaintLater.isActive()) {
            return;
        }
        const qint64 since = lastPaint.isValid() ? lastPaint.elapsed() : frameMilliseconds;
        if (since >= frameMilliseconds) {
            update();
        } else {
            repaintLater.start(static_cast<int>(frameMilliseconds - since));
        }
    }
    void cancelRepaint() { repaintLater.stop(); }

    // The badge's rounded outline, for its background and for its shape without a compositor.
    QPainterPath pill() const {
        QPainterPath path;
        path.addRoundedRect(QRectF(rect()), cornerRadius, cornerRadius);
        return path;
    }

    // The text's size without shaping it: a drag changes the text up to a thousand times a
    // second, and only the text of a frame's paint needs its glyphs. The badge shows digits,
    // spaces and a sign, which have no kerning, so the advances add up to the shaped width.
    QSize measure(const QString& text) {
        if (font() != measuredFont_) {
            measuredFont_ = font();
            advances_.clear();
        }
        const QFontMetricsF metrics(font());
        qreal width = 0;
        for (const QChar c : text) {
            if (c.isSurrogate()) {
                width = metrics.horizontalAdvance(text);
                break;
            }
            auto advance = advances_.find(c.unicode());
            if (advance == advances_.end()) {
                advance = advances_.insert(c.unicode(), metrics.horizontalAdvance(c));
            }
            width += *advance;
        }
        return {static_cast<int>(std::ceil(width)), static_cast<int>(std::ceil(metrics.height()))};
    }

    QString text;
    QString paintedText;
    QRect label;
    bool opaque = false;

protected:
    void paintEvent(QPaintEvent*) override {
        lastPaint.start();
        if (paintedText != text || layout_.text().isEmpty()) {
            paintedText = text;
            layout_.setText(text);
            layout_.prepare(QTransform(), font());
        }
        QPainter painter(this);
        painter.setCompositionMode(QPainter::CompositionMode_Source);
        painter.drawPixmap(0, 0, background());
        painter.setCompositionMode(QPainter::CompositionMode_SourceOver);
        if (label.width() > width() - height()) { // only a text this wide reaches the round ends
            painter.setRenderHint(QPainter::Antialiasing);
            painter.setClipPath(pill());
        }
        painter.setPen(Qt::white);
        painter.drawStaticText(label.topLeft(), layout_);
    }

private:
    // The rounded background is the same for every text: drawn once per look and scale.
    const QPixmap& background() {
        const qreal scale = devicePixelRatioF();
        if (background_.isNull() || backgroundOpaque_ != opaque ||
            background_.devicePixelRatio() != scale) {
            background_ = QPixmap(size() * scale);
            background_.setDevicePixelRatio(scale);
            background_.fill(Qt::transparent);
            QPainter painter(&background_);
            painter.setRenderHint(QPainter::Antialiasing);
            // Without a compositor alpha is ignored; the window shape cuts the corners instead.
            painter.fillPath(pill(), QColor(0, 0, 0, opaque ? 255 : qRound(255 * backgroundAlpha)));
            backgroundOpaque_ = opaque;
        }
        return background_;
    }

    QStaticText layout_; // shaped once per painted text
    QFont measuredFont_;
    QHash<char16_t, qreal> advances_;
    QPixmap background_;
    bool backgroundOpaque_ = false;
    QTimer repaintLater;
    QElapsedTimer lastPaint;
};

QtIndicatorView::QtIndicatorView(std::function<bool()> compositing, WindowPlacer placeWindow)
    : compositing_(std::move(compositing))
    , placeWindow_(std::move(placeWindow))
    , badge_(std::make_unique<Badge>(static_cast<bool>(placeWindow_))) {}

QtIndicatorView::~QtIndicatorView() = default;

Size QtIndicatorView::setLabelText(const std::string& text) {
    badge_->text = QString::fromStdString(text);
    badge_->label.setSize(badge_->measure(badge_->text));
    badge_->updateOncePerFrame();
    return {static_cast<double>(badge_->label.width()),
            static_cast<double>(badge_->label.height())};
}

void QtIndicatorView::setLabelOrigin(Point origin) {
    // The origin counts from the badge's lower left; Qt counts from the top.
    const int top = static_cast<int>(std::lround(badgeHeight - origin.y - badge_->label.height()));
    badge_->label.moveTo(static_cast<int>(std::lround(origin.x)), top);
    badge_->updateOncePerFrame();
}

void QtIndicatorView::setFrameOrigin(Point origin) {
    // The origin is the lower-left corner; Qt places the upper-left one.
    const QPoint topLeft = qtPointFromDesktop({origin.x, origin.y + badgeHeight});
    badge_->move(topLeft);
    if (placeWindow_ && placed_ != topLeft) {
        placed_ = topLeft;
        placeWindow_(OwnWindow::badge, {topLeft, /*atPointer=*/false, /*takesFocus=*/false,
                                        static_cast<int>(IndicatorPanel::pointerOffset)});
    }
}

Size QtIndicatorView::frameSize() const {
    return {badgeWidth, badgeHeight};
}

std::optional<Rect> QtIndicatorView::screenFrameAt(Point point) const {
    const QScreen* screen = QGuiApplication::screenAt(qtPointFromDesktop(point));
    if (!screen) {
        return std::nullopt;
    }
    const QRect geometry = screen->geometry();
    return Rect{desktopPointFromLogical(geometry.x(), geometry.y() + geometry.height()),
                {static_cast<double>(geometry.width()), static_cast<double>(geometry.height())}};
}

void QtIndicatorView::orderFront() {
    badge_->opaque = !compositing_ || !compositing_();
    if (badge_->opaque) {
        badge_->setMask(QRegion(badge_->pill().toFillPolygon().toPolygon()));
    } else {
        badge_->clearMask();
    }
    // The caller places and fills the badge right after ordering it front. Mapping it now would
    // flash it at its old place for a frame, so it appears once this event-loop pass is done.
    if (badge_->isVisible() || showPending_) {
        badge_->raise();
        return;
    }
    showPending_ = true;
    QTimer::singleShot(0, badge_.get(), [this] {
        if (std::exchange(showPending_, false)) {
            badge_->show();
            badge_->raise();
        }
    });
}

void QtIndicatorView::orderOut() {
    showPending_ = false;
    badge_->cancelRepaint();
    badge_->hide();
}

QWidget& QtIndicatorView::widget() {
    return *badge_;
}

QRect QtIndicatorView::labelRect() const {
    return badge_->label;
}

QString QtIndicatorView::labelText() const {
    return badge_->text;
}

QString QtIndicatorView::paintedText() const {
    return badge_->paintedText;
}

} // namespace nivu
