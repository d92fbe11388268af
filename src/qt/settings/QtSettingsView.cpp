// The settings window's content.
#include "qt/settings/QtSettingsView.h"

#include "qt/ReadableColors.h"
#include "qt/Translated.h"
#include "qt/settings/ElidedLabel.h"
#include "qt/settings/PresetListWidget.h"
#include "qt/settings/QtShortcutRecorderField.h"
#include "qt/settings/SymbolButton.h"
#include "ui/PresetEditing.h"

#include <QApplication>
#include <QEvent>
#include <QFrame>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QStackedWidget>
#include <QTimer>
#include <QToolButton>
#include <QVBoxLayout>
#include <algorithm>

namespace nivu {

namespace {

constexpr int listHeight = 200;

QFont headline(const QFont& base) {
    QFont font = base;
    font.setBold(true);
    return font;
}

QFont smaller(const QFont& base, double by) {
    QFont font = base;
    font.setPointSizeF(base.pointSizeF() - by);
    return font;
}

QLabel* heading(const QString& text, QWidget* parent) {
    auto* label = new QLabel(text, parent);
    label->setFont(headline(parent->font()));
    return label;
}

// "%lld × %lld" looked up, then filled with the width and the height.
QString sizeText(const WindowSizePreset& preset) {
    QString text = translated(Text::tr("%lld \u00D7 %lld"));
    const int first = text.indexOf(QStringLiteral("%lld"));
    text.replace(first, 4, QString::number(preset.width));
    const int second = text.indexOf(QStringLiteral("%lld"), first);
    if (second >= 0) {
        text.replace(second, 4, QString::number(preset.height));
    }
    return text;
}

void colourText(QLabel& label, const QColor& colour) {
    QPalette palette = label.palette();
    palette.setColor(QPalette::WindowText, colour);
    label.setPalette(palette);
}

} // namespace

QtSettingsView::QtSettingsView(AppSettings& settings, HotKeyRegistry& hotKeys,
                               KeyDownMonitors& monitors, QWidget* parent)
    : QWidget(parent)
    , settings_(settings) {
    auto* root = new QVBoxLayout(this);
    root->setSpacing(20);
    root->addLayout(presetsSection());
    root->addWidget(divider());
    root->addLayout(shortcutSection(hotKeys, monitors));
    root->addStretch();

    recolour();
    QObject::connect(qApp, &QApplication::focusChanged, this,
                     [this](QWidget*, QWidget* now) { followFocus(now); });
    settingsChanges_ =
        settings_.observeWillChange([this] { QTimer::singleShot(0, this, [this] { refresh(); }); });
}

QLayout* QtSettingsView::presetsSection() {
    auto* section = new QVBoxLayout;
    section->setSpacing(10);
    section->addWidget(heading(translated(Text::tr("ウィンドウサイズプリセット")), this));
    section->addWidget(presetsArea());
    section->addLayout(resetRow());
    section->addWidget(addForm());
    return section;
}

// The list, or the placeholder when it is empty, in one place of one height: the form below
// stays where it is when the last preset goes.
QWidget* QtSettingsView::presetsArea() {
    presetsArea_ = new QStackedWidget(this);
    presetsArea_->setFixedHeight(listHeight);

    auto* empty = new QWidget(presetsArea_);
    auto* emptyColumn = new QVBoxLayout(empty);
    emptyColumn->setContentsMargins(0, 0, 0, 0);
    placeholder_ = secondaryLabel(
        translated(Text::tr(
            "プリセットがありません。下から追加するか、「デフォルトに戻す」を押してください。")),
        empty);
    placeholder_->setObjectName(QStringLiteral("placeholder"));
    placeholder_->setFont(smaller(font(), 0.5));
    placeholder_->setWordWrap(true);
    placeholder_->setMinimumHeight(60);
    placeholder_->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    emptyColumn->addWidget(placeholder_);
    emptyColumn->addStretch();
    presetsArea_->addWidget(empty);

    list_ = new PresetListWidget(presetsArea_);
    list_->setObjectName(QStringLiteral("presets"));
    list_->onMove = [this](std::size_t source, std::size_t destination) {
        movePresets({source}, destination);
    };
    QObject::connect(list_, &QListWidget::currentRowChanged, this, [this] { orderTabStops(); });
    presetsArea_->addWidget(list_);
    return presetsArea_;
}

QWidget* QtSettingsView::presetRow(const WindowSizePreset& preset) {
    auto* row = new QWidget;
    auto* layout = new QHBoxLayout(row);
    layout->setContentsMargins(6, 2, 2, 2);
    const QString name = QString::fromStdString(preset.name).split(QLatin1Char('\n')).value(0);
    auto* nameLabel = new ElidedLabel(name, row);
    nameLabel->setObjectName(QStringLiteral("presetName"));
    layout->addWidget(nameLabel, 1);
    auto* size = secondaryLabel(sizeText(preset), row);
    size->setObjectName(QStringLiteral("size"));
    layout->addWidget(size);
    QToolButton* remove = symbolButton(QStringLiteral(":/icons/minus.circle.svg"), row);
    remove->setObjectName(QStringLiteral("remove"));
    QObject::connect(remove, &QToolButton::clicked, this, [this, remove, id = preset.id] {
        if (remove->hasFocus()) {
            const auto at = std::find(removeButtons_.begin(), removeButtons_.end(), remove);
            focusRemoveAt_ = static_cast<int>(at - removeButtons_.begin());
        }
        deletePreset(id);
    });
    layout->addWidget(remove);
    removeButtons_.push_back(remove);
    return row;
}

QLayout* QtSettingsView::resetRow() {
    auto* row = new QHBoxLayout;
    row->addStretch();
    reset_ = new QPushButton(translated(Text::tr("デフォルトに戻す")), this);
    reset_->setObjectName(QStringLiteral("reset"));
    QObject::connect(reset_, &QPushButton::clicked, this, [this] { confirmReset(); });
    row->addWidget(reset_);
    return row;
}

QWidget* QtSettingsView::addForm() {
    auto* form = new QGroupBox(this);
    auto* row = new QHBoxLayout(form);
    row->setContentsMargins(6, 6, 6, 6);
    const auto field = [&](TextKey label, const char* objectName, int fieldWidth) {
        row->addWidget(new QLabel(translated(label), form));
        auto* edit = new QLineEdit(form);
        edit->setObjectName(QString::fromLatin1(objectName));
        edit->setFixedWidth(fieldWidth);
        row->addWidget(edit);
        QObject::connect(edit, &QLineEdit::textChanged, this, [this] { updateAddButton(); });
        return edit;
    };
    name_ = field(Text::tr("名前:"), "name", 130);
    width_ = field(Text::tr("幅:"), "width", 56);
    height_ = field(Text::tr("高さ:"), "height", 56);
    add_ = new QPushButton(translated(Text::tr("追加")), form);
    add_->setObjectName(QStringLiteral("add"));
    add_->setAutoDefault(false);
    QObject::connect(add_, &QPushButton::clicked, this, [this] { addPreset(); });
    row->addWidget(add_);
    row->addStretch();
    return form;
}

QWidget* QtSettingsView::divider() {
    auto* line = new QFrame(this);
    line->setFrameShape(QFrame::HLine);
    line->setFrameShadow(QFrame::Sunken);
    return line;
}

QLayout* QtSettingsView::shortcutSection(HotKeyRegistry& hotKeys, KeyDownMonitors& monitors) {
    auto* section = new QVBoxLayout;
    section->setSpacing(8);
    section->addWidget(
        heading(translated(Text::tr("プリセット選択メニューのショートカット")), this));
    recorder_ = new QtShortcutRecorderField(settings_, hotKeys, monitors, this);
    recorder_->setObjectName(QStringLiteral("recorder"));
    section->addWidget(recorder_);
    explanation_ = secondaryLabel(
        translated(Text::tr("設定すると、他のアプリを操作中でもこのキーを押すだけで、フォーカス中"
                            "のウィンドウにプリセットサイズを適用できます。")),
        this);
    explanation_->setObjectName(QStringLiteral("explanation"));
    explanation_->setFont(smaller(font(), 1.5));
    explanation_->setWordWrap(true);
    section->addWidget(explanation_);
    return section;
}

QLabel* QtSettingsView::secondaryLabel(const QString& text, QWidget* parent) {
    auto* label = new QLabel(text, parent);
    label->setTextFormat(Qt::PlainText);
    colourText(*label, secondaryTextColor(palette()));
    return label;
}

QSize QtSettingsView::sizeHint() const {
    const QSize least = QWidget::minimumSizeHint();
    const int width = std::max(least.width(), preferredWidth);
    return {width, std::max(least.height(), layout()->totalHeightForWidth(width))};
}

QSize QtSettingsView::minimumSizeHint() const {
    return sizeHint();
}

void QtSettingsView::changeEvent(QEvent* event) {
    QWidget::changeEvent(event);
    if (event->type() == QEvent::PaletteChange) {
        recolour();
    }
}

void QtSettingsView::recolour() {
    const QColor secondary = secondaryTextColor(palette());
    colourText(*placeholder_, secondary);
    colourText(*explanation_, secondary);
    QPalette listColours = list_->palette();
    listColours.setColor(QPalette::Highlight, faintHighlight(palette()));
    list_->setPalette(listColours);
    refresh(); // the rows, made anew in the new colours
}

void QtSettingsView::refresh() {
    const auto& presets = settings_.presets();
    presetsArea_->setCurrentWidget(presets.empty() ? placeholder_->parentWidget() : list_);
    const int current = list_->currentRow();
    removeButtons_.clear();
    list_->clear();
    for (const auto& preset : presets) {
        auto* item = new QListWidgetItem(list_);
        QWidget* row = presetRow(preset);
        item->setSizeHint(row->sizeHint()); // a long name is elided, never widens the row
        list_->setItemWidget(item, row);
    }
    const int count = static_cast<int>(presets.size());
    if (focusRemoveAt_) {
        const int at = std::min(*focusRemoveAt_, count - 1);
        focusRemoveAt_.reset();
        if (at >= 0) {
            list_->setCurrentRow(at); // which makes its remove button a tab stop
            removeButtons_[static_cast<std::size_t>(at)]->setFocus(Qt::TabFocusReason);
        } else {
            reset_->setFocus(Qt::TabFocusReason);
        }
    } else if (current >= 0 && current < count) {
        list_->setCurrentRow(current);
    }
    orderTabStops();
    updateAddButton();
}

void QtSettingsView::orderTabStops() {
    const int current = list_->currentRow();
    std::vector<QWidget*> stops{list_};
    for (std::size_t row = 0; row < removeButtons_.size(); ++row) {
        const bool isCurrent = static_cast<int>(row) == current;
        removeButtons_[row]->setFocusPolicy(isCurrent ? Qt::TabFocus : Qt::NoFocus);
        if (isCurrent) {
            stops.push_back(removeButtons_[row]);
        }
    }
    stops.insert(stops.end(), {reset_, name_, width_, height_, add_});
    for (QWidget* stop : recorder_->tabStops()) {
        stops.push_back(stop);
    }
    for (std::size_t i = 1; i < stops.size(); ++i) {
        QWidget::setTabOrder(stops[i - 1], stops[i]);
    }
}

void QtSettingsView::followFocus(QWidget* now) {
    if (now == list_ && list_->currentRow() < 0 && list_->count() > 0) {
        list_->setCurrentRow(0); // a row to show the focus on
    }
    const auto remove = std::find(removeButtons_.begin(), removeButtons_.end(), now);
    if (remove != removeButtons_.end()) {
        list_->scrollToItem(list_->item(static_cast<int>(remove - removeButtons_.begin())));
    }
}

void QtSettingsView::updateAddButton() {
    add_->setEnabled(preset_editing::isNewPresetValid(
        name_->text().toStdString(), width_->text().toStdString(), height_->text().toStdString()));
}

void QtSettingsView::addPreset() {
    auto presets =
        preset_editing::addPreset(settings_.presets(), name_->text().toStdString(),
                                  width_->text().toStdString(), height_->text().toStdString());
    if (!presets) {
        return; // the entries keep their text
    }
    settings_.setPresets(std::move(*presets));
    name_->clear();
    width_->clear();
    height_->clear();
}

void QtSettingsView::deletePreset(const Uuid& id) {
    settings_.setPresets(preset_editing::deletePreset(settings_.presets(), id));
}

void QtSettingsView::movePresets(const std::set<std::size_t>& sources, std::size_t destination) {
    settings_.setPresets(preset_editing::movePresets(settings_.presets(), sources, destination));
}

void QtSettingsView::resetPresets() {
    settings_.setPresets(WindowSizePreset::builtInPresets());
}

QMessageBox* QtSettingsView::confirmReset() {
    const QString question = translated(Text::tr("プリセットをデフォルトに戻しますか？"));
    auto* dialog =
        new QMessageBox(QMessageBox::Warning, question, question, QMessageBox::NoButton, this);
    dialog->setInformativeText(translated(Text::tr("追加・変更したプリセットは失われます。")));
    QPushButton* confirm =
        dialog->addButton(translated(Text::tr("デフォルトに戻す")), QMessageBox::DestructiveRole);
    QPushButton* cancel =
        dialog->addButton(translated(Text::tr("キャンセル")), QMessageBox::RejectRole);
    dialog->setDefaultButton(cancel);
    dialog->setEscapeButton(cancel);
    dialog->setWindowModality(Qt::WindowModal);
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    QObject::connect(confirm, &QPushButton::clicked, this, [this] { resetPresets(); });
    dialog->show();
    return dialog;
}

} // namespace nivu
