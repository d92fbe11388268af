// The About panel.
#include "qt/AboutPanel.h"

#include "qt/SvgIcon.h"
#include "qt/Translated.h"

#include <QApplication>
#include <QDialogButtonBox>
#include <QGridLayout>
#include <QLabel>
#include <QPushButton>

namespace nivu {

AboutPanel::AboutPanel() {
    setObjectName(QStringLiteral("about"));
    setWindowTitle(translated(Text::tr("About Nivu", "Aboutパネルを開くメニュー項目")));
    setAttribute(Qt::WA_DeleteOnClose);

    auto* icon = new QLabel(this);
    icon->setObjectName(QStringLiteral("icon"));
    icon->setPixmap(svgIcon(QStringLiteral(":/icons/MenuBarIcon.svg")).pixmap(64, 64));
    auto* name =
        new QLabel(QStringLiteral("Nivu %1").arg(QApplication::applicationVersion()), this);
    name->setObjectName(QStringLiteral("name"));
    QFont title = name->font();
    title.setBold(true);
    title.setPointSizeF(title.pointSizeF() * 1.4);
    name->setFont(title);
    // One line, never wrapped: the panel takes the width the sentence needs.
    auto* summary = new QLabel(
        translated(Text::tr(
            "Remembers window sizes, shows them while you resize, and applies size presets.",
            "Aboutパネルの説明文")),
        this);
    summary->setObjectName(QStringLiteral("summary"));
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok, this);
    buttons->button(QDialogButtonBox::Ok)->setIcon(QIcon()); // no style's stock icon
    QObject::connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);

    auto* grid = new QGridLayout(this);
    grid->setHorizontalSpacing(16);
    grid->setVerticalSpacing(6);
    grid->addWidget(icon, 0, 0, 2, 1, Qt::AlignTop);
    grid->addWidget(name, 0, 1);
    grid->addWidget(summary, 1, 1, Qt::AlignTop);
    grid->addWidget(buttons, 2, 0, 1, 2);
    grid->setSizeConstraint(QLayout::SetFixedSize);
}

} // namespace nivu
