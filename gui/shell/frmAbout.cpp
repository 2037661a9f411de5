#include "shell/frmAbout.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include "image/ModelTable.h"
#include "text/TextTable.h"

namespace rm427::gui {

frmAbout::frmAbout(const Module1& state, QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("frmAbout"));
    setWindowTitle(QString::fromStdString(LoadText(state.Language, 1118)) + QStringLiteral(" RM-427"));
    auto* label = new QLabel(this);
    label->setObjectName(QStringLiteral("LblAbout"));
    // The label shows the lines as built; Qt wants LF alone.
    label->setText(QString::fromStdString(AboutText(state.Language))
                       .replace(QStringLiteral("\r\n"), QStringLiteral("\n")));
    label->setTextFormat(Qt::PlainText);
    auto* ok = new QPushButton(QString::fromStdString(LoadText(state.Language, 1156)), this);
    ok->setObjectName(QStringLiteral("CmdClose"));
    ok->setDefault(true);
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(ok);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(24, 20, 24, 16);
    layout->addWidget(label);
    layout->addSpacing(12);
    layout->addLayout(buttons);
    setFixedSize(sizeHint().expandedTo(QSize(360, 0)));
}

}  // namespace rm427::gui
