// A one-line label that elides what does not fit.
#include "qt/settings/ElidedLabel.h"

#include <QEvent>
#include <QFontMetrics>

namespace nivu {

ElidedLabel::ElidedLabel(QString text, QWidget* parent)
    : QLabel(parent)
    , full_(std::move(text)) {
    setTextFormat(Qt::PlainText);
    // Its width comes from the layout, not from the text, so that a long text never widens it.
    setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
    setMinimumWidth(fontMetrics().horizontalAdvance(QStringLiteral("M\u2026")));
    elide();
}

void ElidedLabel::resizeEvent(QResizeEvent* event) {
    QLabel::resizeEvent(event);
    elide();
}

void ElidedLabel::changeEvent(QEvent* event) {
    QLabel::changeEvent(event);
    if (event->type() == QEvent::FontChange) {
        elide();
    }
}

void ElidedLabel::elide() {
    const QString shown = fontMetrics().elidedText(full_, Qt::ElideRight, contentsRect().width());
    setToolTip(shown == full_ ? QString() : full_);
    setText(shown);
}

} // namespace nivu
