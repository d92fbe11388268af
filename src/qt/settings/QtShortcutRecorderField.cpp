// The shortcut recorder as a widget.
#include "qt/settings/QtShortcutRecorderField.h"

#include "qt/ReadableColors.h"
#include "qt/Translated.h"
#include "qt/settings/SymbolButton.h"

#include <QApplication>
#include <QEvent>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QTimer>
#include <QToolButton>
#include <QVBoxLayout>

namespace nivu {

namespace {
QString rgba(const QColor& color, double opacity) {
    return QStringLiteral("rgba(%1, %2, %3, %4)")
        .arg(color.red())
        .arg(color.green())
        .arg(color.blue())
        .arg(opacity);
}
} // namespace

QtShortcutRecorderField::QtShortcutRecorderField(AppSettings& settings, HotKeyRegistry& hotKeys,
                                                 KeyDownMonitors& monitors, QWidget* parent)
    : QWidget(parent)
    , recorder_(monitors, hotKeys,
                {[&settings] { return settings.presetMenuShortcut(); },
                 [&settings](std::optional<ShortcutSpec> value) {
                     settings.setPresetMenuShortcut(std::move(value));
                 }},
                [](TextKey text) { return translated(text).toStdString(); })
    , label_(new QLabel(this))
    , record_(new QPushButton(this))
    , clear_(symbolButton(QStringLiteral(":/icons/xmark.circle.svg"), this))
    , error_(new QLabel(this)) {
    auto* column = new QVBoxLayout(this);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(4);
    auto* row = new QHBoxLayout;
    row->setSpacing(8);
    column->addLayout(row);
    column->addWidget(error_);

    label_->setObjectName(QStringLiteral("shortcut"));
    record_->setObjectName(QStringLiteral("record"));
    clear_->setObjectName(QStringLiteral("clear"));
    error_->setObjectName(QStringLiteral("conflict"));
    label_->setTextFormat(Qt::PlainText); // a stored display string is data, never markup
    error_->setTextFormat(Qt::PlainText);
    label_->setMinimumWidth(220 + 2 * 8);
    label_->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    row->addWidget(label_);
    row->addWidget(record_);
    row->addWidget(clear_);
    row->addStretch();

    QFont caption = error_->font();
    caption.setPointSizeF(caption.pointSizeF() - 1.5);
    error_->setFont(caption);
    error_->setWordWrap(true);

    QObject::connect(record_, &QPushButton::clicked, this, [this] { recorder_.toggleRecording(); });
    QObject::connect(clear_, &QToolButton::clicked, this, [this] { recorder_.clear(); });
    recorder_.onChange = [this] { refresh(); };
    // The store tells before it changes: redraw once the new value is in.
    settingsChanges_ =
        settings.observeWillChange([this] { QTimer::singleShot(0, this, [this] { refresh(); }); });
    refresh();
}

void QtShortcutRecorderField::refresh() {
    const bool recording = recorder_.isRecording();
    label_->setText(QString::fromStdString(recorder_.labelText()));
    const QPalette colours = palette();
    const QColor text = recorder_.labelIsPrimary() ? colours.color(QPalette::WindowText)
                                                   : secondaryTextColor(colours);
    const QString background =
        recording ? rgba(colours.color(QPalette::Highlight), 0.15) : rgba(QColor(Qt::gray), 0.1);
    label_->setStyleSheet(QStringLiteral("QLabel { color: %1; background: %2; border-radius: 6px;"
                                         " padding: 4px 8px; }")
                              .arg(text.name(), background));
    record_->setText(translated(recorder_.recordButtonTitle()));
    clear_->setVisible(recorder_.showsClearButton());
    const auto message = recorder_.errorMessage();
    error_->setVisible(message.has_value());
    error_->setText(message ? QString::fromStdString(*message) : QString());
    QPalette errorColours = error_->palette();
    errorColours.setColor(QPalette::WindowText, errorTextColor(colours));
    error_->setPalette(errorColours);
    holdKeyboard(recording);
}

std::vector<QWidget*> QtShortcutRecorderField::tabStops() const {
    return {record_, clear_};
}

void QtShortcutRecorderField::holdKeyboard(bool hold) {
    if (hold == holdsKeyboard_) {
        return;
    }
    holdsKeyboard_ = hold;
    if (hold) {
        grabKeyboard();
        qApp->installEventFilter(this);
    } else {
        qApp->removeEventFilter(this);
        releaseKeyboard();
    }
}

void QtShortcutRecorderField::hideEvent(QHideEvent* event) {
    recorder_.stopRecording();
    QWidget::hideEvent(event);
}

void QtShortcutRecorderField::changeEvent(QEvent* event) {
    QWidget::changeEvent(event);
    if (event->type() == QEvent::PaletteChange) {
        tintSymbol(*clear_);
        refresh();
    }
}

bool QtShortcutRecorderField::event(QEvent* event) {
    if (event->type() == QEvent::WindowDeactivate) {
        recorder_.stopRecording();
    }
    return QWidget::event(event);
}

bool QtShortcutRecorderField::eventFilter(QObject* watched, QEvent* event) {
    // The record and clear buttons end recording themselves when they are clicked.
    if (event->type() == QEvent::MouseButtonPress && watched->isWidgetType() &&
        watched != record_ && watched != clear_) {
        recorder_.stopRecording();
    }
    return QWidget::eventFilter(watched, event);
}

} // namespace nivu
