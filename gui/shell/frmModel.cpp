#include "shell/frmModel.h"

#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>

#include "image/ModelTable.h"
#include "shell/MDIForm1.h"
#include "text/TextTable.h"
#include "ui/CommandBar.h"
#include "ui/SendTab.h"

namespace rm427::gui {

frmModel::frmModel(MDIForm1& main, QWidget* parent) : QDialog(parent), main_(main) {
    Module1& s = main_.State();
    auto text = [&](int n) { return QString::fromStdString(LoadText(s.Language, n)); };
    setObjectName(QStringLiteral("frmModel"));
    setWindowTitle(text(1368));

    auto* grid = new QGridLayout;
    for (int i = 0; i < 2; ++i) {
        lbl_[i] = new QLabel(text(i == 0 ? 1369 : 1370) + QStringLiteral(" :"), this);
        lbl_[i]->setObjectName(QStringLiteral("LblModel_%1").arg(i));
        cbo_[i] = new QComboBox(this);
        cbo_[i]->setObjectName(QStringLiteral("CboModel_%1").arg(i));
        cbo_[i]->setMinimumWidth(180);
        grid->addWidget(lbl_[i], i, 0);
        grid->addWidget(cbo_[i], i, 1);
    }
    for (int i = 0; i < 2; ++i) {
        cmd_[i] = new QPushButton(text(i == 0 ? 1156 : 1157), this);
        cmd_[i]->setObjectName(QStringLiteral("CmdModel_%1").arg(i));
        cmd_[i]->setAutoDefault(false);
    }
    cmd_[0]->setDefault(true);  // OK; Enter in a list still moves on
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(cmd_[0]);
    buttons->addWidget(cmd_[1]);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(grid);
    layout->addSpacing(8);
    layout->addLayout(buttons);

    // Opening: model, its bands, the position of the current code.
    const bool uhf = IsUhfCode(s.ModelCode);
    cbo_[0]->addItem(QString::fromLatin1(kModelVhf));
    cbo_[0]->addItem(QString::fromLatin1(kModelUhf));
    cbo_[0]->setCurrentIndex(uhf ? 1 : 0);
    FillBands(uhf);
    cbo_[1]->setCurrentIndex(BandPosition(s.ModelCode));
    oldCode_ = s.ModelCode;

    // A new model shows its own bands, the first one selected.
    connect(cbo_[0], QOverload<int>::of(&QComboBox::activated), this, [this](int index) {
        FillBands(index == 1);
        cbo_[1]->setCurrentIndex(0);
    });
    connect(cmd_[0], &QPushButton::clicked, this, &frmModel::Ok);
    connect(cmd_[1], &QPushButton::clicked, this, &QDialog::reject);
    new EnterSendsTab(this);
}

void frmModel::FillBands(bool uhf) {
    cbo_[1]->clear();
    for (const std::string& b : BandList(main_.State(), uhf))
        cbo_[1]->addItem(QString::fromStdString(b));
}

void frmModel::Ok() {
    Module1& s = main_.State();
    const int code = CodeFromSelection(cbo_[0]->currentIndex() == 1, cbo_[1]->currentIndex());
    if (code < 0) return;  // no band selected: nothing to confirm
    s.ModelCode = static_cast<std::uint8_t>(code);
    if (code == oldCode_) {
        accept();
        return;
    }
    MessageRequest q;
    q.text = LoadText(s.Language, 10000);
    q.title = "RM-427";
    q.icon = MsgIcon::Information;
    q.buttons = MsgButtons::OkCancel;
    q.defaultButton = 1;
    if (main_.Boxes().Show(q) != MsgAnswer::Ok) {
        s.ModelCode = static_cast<std::uint8_t>(oldCode_);
        return;
    }
    s.ClearImage();
    WriteModelBytes(s.Image, code);
    s.SetDefaultLimits();
    main_.RefreshChannel();
    main_.Bar().SetToolCheck(QStringLiteral("miProgram"), QStringLiteral("miCH-Information"), true);
    main_.RefreshTitle();
    accept();
}

}  // namespace rm427::gui
