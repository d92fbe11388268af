// The settings window's content.
#include "qt/settings/QtSettingsView.h"

#include "qt/SvgIcon.h"
#include "qt/settings/PresetListWidget.h"
#include "qt/settings/QtShortcutRecorderField.h"
#include "qt/settings/SettingsText.h"
#include "ui/PresetEditing.h"

#include <QFrame>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QTimer>
#include <QToolButton>
#include <QVBoxLayout>

namespace nivu {

namespace {

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

QString secondaryStyle(const QWidget& widget) {
    return QStringLiteral("color: %1;")
        .arg(widget.palette().color(QPalette::PlaceholderText).name());
}

// "%lld × %lld" looked up, then filled with the width and the height.
QString sizeText(const WindowSizePreset& preset) {
    QString text = settingsText("%lld \u00D7 %lld");
    const int first = text.indexOf(QStringLiteral("%lld"));
    text.replace(first, 4, QString::number(preset.width));
    const int second = text.indexOf(QStringLiteral("%lld"), first);
    if (second >= 0) {
        text.replace(second, 4, QString::number(preset.height));
    }
    return text;
}

} // namespace

QtSettingsView::QtSettingsView(AppSettings& settings, HotKeyRegistry& hotKeys,
                               KeyDownMonitors& monitors, QWidget* parent)
    : QWidget(parent)
    , settings_(settings) {
    setFixedWidth(fixedWidth);
    auto* root = new QVBoxLayout(this);
    root->setSpacing(20);

    // Presets.
    auto* presets = new QVBoxLayout;
    presets->setSpacing(10);
    root->addLayout(presets);
    auto* heading = new QLabel(settingsText("ウィンドウサイズプリセット"), this);
    heading->setFont(headline(font()));
    presets->addWidget(heading);

    placeholder_ = new QLabel(
        settingsText(
            "プリセットがありません。下から追加するか、「デフォルトに戻す」を押してください。"),
        this);
    placeholder_->setObjectName(QStringLiteral("placeholder"));
    placeholder_->setFont(smaller(font(), 0.5));
    placeholder_->setStyleSheet(secondaryStyle(*this));
    placeholder_->setWordWrap(true);
    placeholder_->setMinimumHeight(60);
    placeholder_->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    presets->addWidget(placeholder_);

    list_ = new PresetListWidget(this);
    list_->setObjectName(QStringLiteral("presets"));
    list_->setFixedHeight(200);
    list_->onMove = [this](std::size_t source, std::size_t destination) {
        movePresets({source}, destination);
    };
    presets->addWidget(list_);

    auto* resetRow = new QHBoxLayout;
    resetRow->addStretch();
    reset_ = new QPushButton(settingsText("デフォルトに戻す"), this);
    reset_->setObjectName(QStringLiteral("reset"));
    resetRow->addWidget(reset_);
    presets->addLayout(resetRow);

    auto* form = new QGroupBox(this);
    auto* formRow = new QHBoxLayout(form);
    formRow->setContentsMargins(6, 6, 6, 6);
    const auto field = [&](const char* label, int fieldWidth) {
        formRow->addWidget(new QLabel(settingsText(label), form));
        auto* edit = new QLineEdit(form);
        edit->setFixedWidth(fieldWidth);
        formRow->addWidget(edit);
        QObject::connect(edit, &QLineEdit::textChanged, this, [this] { updateAddButton(); });
        return edit;
    };
    name_ = field("名前:", 130);
    width_ = field("幅:", 56);
    height_ = field("高さ:", 56);
    add_ = new QPushButton(settingsText("追加"), form);
    // Names by which scripts and tests find the parts.
    name_->setObjectName(QStringLiteral("name"));
    width_->setObjectName(QStringLiteral("width"));
    height_->setObjectName(QStringLiteral("height"));
    add_->setObjectName(QStringLiteral("add"));
    add_->setAutoDefault(false);
    formRow->addWidget(add_);
    formRow->addStretch();
    presets->addWidget(form);

    auto* divider = new QFrame(this);
    divider->setFrameShape(QFrame::HLine);
    divider->setFrameShadow(QFrame::Sunken);
    root->addWidget(divider);

    // Shortcut.
    auto* shortcut = new QVBoxLayout;
    shortcut->setSpacing(8);
    root->addLayout(shortcut);
    auto* shortcutHeading =
        new QLabel(settingsText("プリセット選択メニューのショートカット"), this);
    shortcutHeading->setFont(headline(font()));
    shortcut->addWidget(shortcutHeading);
    recorder_ = new QtShortcutRecorderField(settings, hotKeys, monitors, this);
    shortcut->addWidget(recorder_);
    auto* explanation = new QLabel(
        settingsText("設定すると、他のアプリを操作中でもこのキーを押すだけで、フォーカス中のウィン"
                     "ドウにプリセットサイズを適用できます。"),
        this);
    explanation->setFont(smaller(font(), 1.5));
    explanation->setStyleSheet(secondaryStyle(*this));
    explanation->setWordWrap(true);
    shortcut->addWidget(explanation);
    root->addStretch();

    QObject::connect(add_, &QPushButton::clicked, this, [this] { addPreset(); });
    QObject::connect(reset_, &QPushButton::clicked, this, [this] { confirmReset(); });
    settingsChanges_ =
        settings_.observeWillChange([this] { QTimer::singleShot(0, this, [this] { refresh(); }); });
    refresh();
}

void QtSettingsView::refresh() {
    const auto& presets = settings_.presets();
    placeholder_->setVisible(presets.empty());
    list_->setVisible(!presets.empty());
    list_->clear();
    for (const auto& preset : presets) {
        auto* item = new QListWidgetItem(list_);
        auto* row = new QWidget;
        auto* layout = new QHBoxLayout(row);
        layout->setContentsMargins(6, 2, 2, 2);
        auto* name = new QLabel(row);
        name->setText(QString::fromStdString(preset.name).split(QLatin1Char('\n')).value(0));
        name->setTextFormat(Qt::PlainText);
        layout->addWidget(name, 1);
        auto* size = new QLabel(sizeText(preset), row);
        size->setObjectName(QStringLiteral("size"));
        size->setStyleSheet(secondaryStyle(*this));
        layout->addWidget(size);
        auto* remove = new QToolButton(row);
        remove->setIcon(svgIcon(QStringLiteral(":/icons/minus.circle.svg")));
        remove->setAutoRaise(true);
        remove->setStyleSheet(QStringLiteral("QToolButton { border: none; padding: 0; }"));
        remove->setObjectName(QStringLiteral("remove"));
        remove->setFocusPolicy(Qt::NoFocus); // a borderless button, outside the key loop
        QObject::connect(remove, &QToolButton::clicked, this,
                         [this, id = preset.id] { deletePreset(id); });
        layout->addWidget(remove);
        item->setSizeHint(row->sizeHint());
        list_->setItemWidget(item, row);
    }
    updateAddButton();
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
    auto* dialog = new QMessageBox(
        QMessageBox::Warning, settingsText("プリセットをデフォルトに戻しますか？"),
        settingsText("プリセットをデフォルトに戻しますか？"), QMessageBox::NoButton, this);
    dialog->setInformativeText(settingsText("追加・変更したプリセットは失われます。"));
    QPushButton* confirm =
        dialog->addButton(settingsText("デフォルトに戻す"), QMessageBox::DestructiveRole);
    QPushButton* cancel = dialog->addButton(settingsText("キャンセル"), QMessageBox::RejectRole);
    dialog->setDefaultButton(cancel);
    dialog->setEscapeButton(cancel);
    dialog->setWindowModality(Qt::WindowModal);
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    QObject::connect(confirm, &QPushButton::clicked, this, [this] { resetPresets(); });
    dialog->show();
    return dialog;
}

} // namespace nivu
