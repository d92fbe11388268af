// The shortcut recorder as a widget.
#include "qt/settings/QtShortcutRecorderField.h"

#include "qt/SvgIcon.h"
#include "qt/settings/SettingsText.h"

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
                [](const char* key) { return settingsText(key).toStdString(); })
    , label_(new QLabel(this))
    , record_(new QPushButton(this))
    , clear_(new QToolButton(this))
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
    clear_->setIcon(svgIcon(QStringLiteral(":/icons/xmark.circle.svg")));
    clear_->setAutoRaise(true);
    clear_->setStyleSheet(QStringLiteral("QToolButton { border: none; padding: 0; }"));
    clear_->setFocusPolicy(Qt::NoFocus);
    row->addWidget(clear_);
    row->addStretch();

    QFont caption = error_->font();
    caption.setPointSizeF(caption.pointSizeF() - 1.5);
    error_->setFont(caption);
    error_->setStyleSheet(QStringLiteral("color: red;"));
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
                                                   : colours.color(QPalette::PlaceholderText);
    const QString background =
        recording ? rgba(colours.color(QPalette::Highlight), 0.15) : rgba(QColor(Qt::gray), 0.1);
    label_->setStyleSheet(QStringLiteral("QLabel { color: %1; background: %2; border-radius: 6px;"
                                         " padding: 4px 8px; }")
                              .arg(text.name(), background));
    record_->setText(settingsText(recorder_.recordButtonTitleKey()));
    clear_->setVisible(recorder_.showsClearButton());
    const auto message = recorder_.errorMessage();
    error_->setVisible(message.has_value());
    error_->setText(message ? QString::fromStdString(*message) : QString());
}

void QtShortcutRecorderField::hideEvent(QHideEvent* event) {
    recorder_.stopRecording();
    QWidget::hideEvent(event);
}

} // namespace nivu
