#include "shell/frmImport.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QDialogButtonBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QTreeWidget>
#include <QVBoxLayout>

#include <algorithm>

#include "channels/ChannelColumns.h"
#include "text/TextTable.h"

namespace rm427::gui {
namespace {

enum : int {
    txtKind = 3364,
    txtFitted = 3369,
    txtDuplicate = 3370,
    txtChange = 3373,
    txtRepaired = 3349,
    txtReplace = 3377,
    txtAppend = 3378,
    txtAt = 3379,
    txtSkip = 3380,
    txtCompact = 3381,
    txtLineTitle = 3382,
    txtWhat = 3383,
    txtDetails = 3384,
    txtCounts = 3375,
    txtJoin = 3301,
    txtListJoin = 3302,
};

}  // namespace

frmImport::frmImport(int language, int title, std::vector<Channel> current,
                     std::vector<Channel> incoming, CsvReport report, const ImportOptions& options,
                     QWidget* parent)
    : QDialog(parent),
      language_(language),
      current_(std::move(current)),
      incoming_(std::move(incoming)),
      report_(std::move(report)) {
    auto text = [&](int n) { return QString::fromStdString(LoadText(language_, n)); };
    setObjectName(QStringLiteral("frmImport"));
    setWindowTitle(text(title));

    // How the file was read, when a spreadsheet made repairs necessary.
    QString repairs;
    for (const std::string& l : report_.RepairLines(language_))
        repairs += '\n' + QString::fromStdString(l);
    auto* read = new QLabel(text(txtRepaired) + repairs, this);
    read->setObjectName(QStringLiteral("lblRepairs"));
    read->setVisible(!repairs.isEmpty());

    auto* group = new QButtonGroup(this);
    const int captions[] = {txtReplace, txtAppend, txtAt};
    const char* names[] = {"optReplace", "optAppend", "optAt"};
    for (int m = 0; m < 3; ++m) {
        mode_[m] = new QRadioButton(text(captions[m]), this);
        mode_[m]->setObjectName(QLatin1String(names[m]));
        group->addButton(mode_[m], m);
    }
    mode_[static_cast<int>(options.mode)]->setChecked(true);
    at_ = new QSpinBox(this);
    at_->setObjectName(QStringLiteral("txtAt"));
    // A paste may start beyond the last channel (then nothing fits).
    at_->setRange(1, std::max<int>({1, static_cast<int>(current_.size()), options.at}));
    at_->setValue(options.at);
    at_->setAccessibleName(text(txtAt).remove('&'));
    skip_ = new QCheckBox(text(txtSkip), this);
    skip_->setObjectName(QStringLiteral("chkSkipDuplicates"));
    skip_->setChecked(options.skipDuplicates);
    compact_ = new QCheckBox(text(txtCompact), this);
    compact_->setObjectName(QStringLiteral("chkCompact"));
    compact_->setChecked(options.compact);

    list_ = new QTreeWidget(this);
    list_->setObjectName(QStringLiteral("lstImport"));
    list_->setRootIsDecorated(false);
    list_->setUniformRowHeights(true);
    list_->setHeaderLabels(
        {QString::fromStdString(LoadText(language_, ChannelColumnOf(colChannel).title)),
         text(txtLineTitle), text(txtWhat), text(txtDetails)});
    list_->header()->setStretchLastSection(true);
    counts_ = new QLabel(this);
    counts_->setObjectName(QStringLiteral("lblCounts"));

    buttons_ = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    buttons_->button(QDialogButtonBox::Ok)->setText(QString::fromStdString(LoadText(language_, 1156)));
    buttons_->button(QDialogButtonBox::Cancel)
        ->setText(QString::fromStdString(LoadText(language_, 1157)));

    auto* modes = new QHBoxLayout;
    modes->addWidget(mode_[0]);
    modes->addWidget(mode_[1]);
    modes->addWidget(skip_);
    modes->addWidget(mode_[2]);
    modes->addWidget(at_);
    modes->addStretch();
    auto* bottom = new QHBoxLayout;
    bottom->addWidget(compact_);
    bottom->addStretch();
    bottom->addWidget(buttons_);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(read);
    layout->addLayout(modes);
    layout->addWidget(list_, 1);
    layout->addWidget(counts_);
    layout->addLayout(bottom);
    resize(820, 520);

    connect(group, &QButtonGroup::idClicked, this, [this] { Replan(); });
    connect(at_, &QSpinBox::valueChanged, this, [this] {
        mode_[static_cast<int>(ImportMode::At)]->setChecked(true);
        Replan();
    });
    connect(skip_, &QCheckBox::toggled, this, [this] { Replan(); });
    connect(compact_, &QCheckBox::toggled, this, [this] { Replan(); });
    connect(buttons_, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons_, &QDialogButtonBox::rejected, this, &QDialog::reject);
    Replan();
    list_->setFocus();
}

void frmImport::Replan() {
    ImportOptions o;
    for (int m = 0; m < 3; ++m)
        if (mode_[m]->isChecked()) o.mode = static_cast<ImportMode>(m);
    o.at = at_->value();
    o.skipDuplicates = skip_->isChecked();
    o.compact = compact_->isChecked();
    skip_->setEnabled(o.mode == ImportMode::Append);
    plan_ = PlanImport(current_, incoming_, report_, o, language_);

    const std::string join = LoadText(language_, txtJoin), list = LoadText(language_, txtListJoin);
    list_->clear();
    for (const ImportLine& l : plan_.lines) {
        auto* item = new QTreeWidgetItem(list_);
        if (l.channel) item->setText(0, QString::number(l.channel));
        if (l.line) item->setText(1, QString::number(l.line));
        std::string what = LoadText(language_, txtKind + l.kind);
        if (l.kind != ImportLine::Skipped && l.Fitted()) what += list + LoadText(language_, txtFitted);
        std::string details;
        auto add = [&](const std::string& s) { details += (details.empty() ? "" : join) + s; };
        if (l.kind == ImportLine::New) {
            std::string cells;
            for (int c : {colRxFreq, colTxFreq, colDecode, colEncode, colName})
                cells += (cells.empty() ? "" : " ") + ChannelCell(l.after, c, language_);
            add(cells);
        }
        for (const FieldChange& f : l.changes)
            add(FillText(LoadText(language_, txtChange),
                         {LoadText(language_, ChannelColumnOf(f.col).title), f.before, f.after}));
        if (l.duplicateOf && l.kind != ImportLine::Skipped)
            add(FillText(LoadText(language_, txtDuplicate), {std::to_string(l.duplicateOf)}));
        for (const CsvNote& n : l.notes) add(NoteText(n, language_));
        item->setText(2, QString::fromStdString(what));
        item->setText(3, QString::fromStdString(details));
        item->setToolTip(3, QString::fromStdString(details));
    }
    for (int c = 0; c < 3; ++c) list_->resizeColumnToContents(c);
    using K = ImportLine;
    counts_->setText(QString::fromStdString(
        FillText(LoadText(language_, txtCounts),
                 {std::to_string(plan_.Count(K::New)), std::to_string(plan_.Count(K::Changed)),
                  std::to_string(plan_.Count(K::Unchanged)), std::to_string(plan_.Count(K::Emptied)),
                  std::to_string(plan_.Count(K::Skipped)), std::to_string(plan_.Fitted()),
                  std::to_string(plan_.Duplicates())})));
}

}  // namespace rm427::gui
