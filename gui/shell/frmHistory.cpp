#include "shell/frmHistory.h"

#include "channels/ChannelRows.h"

#include <QDialogButtonBox>
#include <QFile>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>

#include "file/ImageDiff.h"
#include "radio/Fleet.h"
#include "radio/WriteCheck.h"
#include "text/TextTable.h"

namespace rm427::gui {

frmHistory::frmHistory(Module1& state, const std::string& folder,
                       std::function<bool(const CodeplugImage&)> open, QWidget* parent)
    : QDialog(parent), state_(state), folder_(folder), open_(std::move(open)) {
    auto text = [&](int n) { return QString::fromStdString(LoadText(state_.Language, n)); };
    setObjectName(QStringLiteral("frmHistory"));
    setWindowTitle(text(3211));
    list_ = new QTreeWidget(this);
    list_->setObjectName(QStringLiteral("lstHistory"));
    list_->setRootIsDecorated(false);
    list_->setHeaderLabels({text(3213), text(3214), text(3215), text(3216), text(3217)});
    list_->header()->setSectionResizeMode(QHeaderView::ResizeToContents);
    auto* note = new QLabel(QString::fromStdString(folder_), this);
    note->setTextInteractionFlags(Qt::TextSelectableByMouse);
    cmdOpen_ = new QPushButton(text(3221), this);
    cmdOpen_->setObjectName(QStringLiteral("CmdOpen"));
    cmdCompare_ = new QPushButton(text(3222), this);
    cmdCompare_->setObjectName(QStringLiteral("CmdCompare"));
    auto* close = new QPushButton(text(3223), this);
    close->setObjectName(QStringLiteral("CmdClose"));
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(cmdOpen_);
    buttons->addWidget(cmdCompare_);
    buttons->addStretch();
    buttons->addWidget(close);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(list_);
    layout->addWidget(note);
    layout->addLayout(buttons);
    resize(720, 420);

    connect(cmdOpen_, &QPushButton::clicked, this, &frmHistory::Open);
    connect(cmdCompare_, &QPushButton::clicked, this, &frmHistory::Compare);
    connect(close, &QPushButton::clicked, this, &QDialog::reject);
    // A double click or Enter on a copy opens it.
    connect(list_, &QTreeWidget::itemActivated, this, &frmHistory::Open);
    Fill();
}

void frmHistory::Fill() {
    entries_ = ListHistory(folder_);
    list_->clear();
    for (const HistoryEntry& e : entries_) {
        auto* item = new QTreeWidgetItem(list_);
        item->setToolTip(0, QString::fromStdString(e.path));
        if (e.kind == HistoryKind::Fleet) {
            // A run of Program Many Radios: its log, not a codeplug.
            const FleetLogSummary sum = SummarizeFleetLog(e.path);
            item->setText(0, QString::fromStdString(e.time));
            item->setText(1, QString::fromStdString(LoadText(state_.Language, 3978)));
            item->setText(2, QString::fromStdString(e.source));
            item->setText(4, sum.ok ? QString::fromStdString(FillText(
                                          LoadText(state_.Language, 3979),
                                          {std::to_string(sum.radios), std::to_string(sum.verified)}))
                                    : QStringLiteral("?"));
            continue;
        }
        CodeplugImage image{};
        const bool ok = LoadHistoryEntry(e, image);
        item->setText(0, QString::fromStdString(e.time));
        item->setText(
            1, QString::fromStdString(LoadText(state_.Language, e.kind == HistoryKind::BeforeWrite
                                                                    ? 3516
                                                                    : 3218 + static_cast<int>(e.kind))));
        item->setText(2, QString::fromStdString(e.source));
        item->setText(3, ok ? QString::fromStdString(ImageBandText(image)) : QStringLiteral("?"));
        item->setText(4, ok ? QString::number(ProgrammedChannels(image)) : QStringLiteral("?"));
    }
    if (!entries_.empty()) list_->setCurrentItem(list_->topLevelItem(0));
    else {
        auto* item = new QTreeWidgetItem(list_);
        item->setText(0, QString::fromStdString(LoadText(state_.Language, 3226)));
        item->setFlags(Qt::NoItemFlags);
        item->setFirstColumnSpanned(true);
    }
    cmdOpen_->setEnabled(!entries_.empty());
    cmdCompare_->setEnabled(!entries_.empty());
}

bool frmHistory::Selected(CodeplugImage& image, HistoryEntry& entry) {
    const int row = list_->indexOfTopLevelItem(list_->currentItem());
    if (row < 0 || row >= static_cast<int>(entries_.size())) return false;
    entry = entries_[row];
    return LoadHistoryEntry(entry, image);
}

void frmHistory::Open() {
    CodeplugImage image{};
    HistoryEntry e;
    const int row = list_->indexOfTopLevelItem(list_->currentItem());
    if (row >= 0 && row < static_cast<int>(entries_.size()) &&
        entries_[row].kind == HistoryKind::Fleet) {
        // A fleet run's log is shown as it stands.
        QFile file(QString::fromStdString(entries_[row].path));
        file.open(QIODevice::ReadOnly);
        ShowText(QStringLiteral("frmFleetLog"), QString::fromStdString(entries_[row].source),
                 QString::fromUtf8(file.readAll()));
        return;
    }
    if (!Selected(image, e)) return;
    if (open_ && open_(image)) accept();
}

void frmHistory::Compare() {
    CodeplugImage image{};
    HistoryEntry e;
    if (!Selected(image, e)) return;
    const auto lines = DiffImages(state_.Image, image, state_.Language);
    QString body = QString::fromStdString(
        FillText(LoadText(state_.Language, lines.empty() ? 3224 : 3227), {e.time + " " + e.source}));
    for (const std::string& l : lines) body += QLatin1Char('\n') + QString::fromStdString(l);

    ShowText(QStringLiteral("frmHistoryCompare"),
             QString::fromStdString(LoadText(state_.Language, 3225)), body);
}

void frmHistory::ShowText(const QString& name, const QString& title, const QString& body) {
    delete comparison_;
    comparison_ = new QDialog(this);
    comparison_->setObjectName(name);
    comparison_->setWindowTitle(title);
    auto* view = new QPlainTextEdit(body, comparison_);
    view->setObjectName(QStringLiteral("txtComparison"));
    view->setReadOnly(true);
    view->setLineWrapMode(QPlainTextEdit::NoWrap);
    auto* box = new QDialogButtonBox(QDialogButtonBox::Close, comparison_);
    connect(box, &QDialogButtonBox::rejected, comparison_, &QDialog::reject);
    auto* layout = new QVBoxLayout(comparison_);
    layout->addWidget(view);
    layout->addWidget(box);
    comparison_->resize(640, 400);
    comparison_->show();
}

}  // namespace rm427::gui
