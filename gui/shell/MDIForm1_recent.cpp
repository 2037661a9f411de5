// Files from outside the open dialog: the file named on the command line, a
// file dropped on the window, and the File menu's list of recent files.
#include "shell/MDIForm1.h"

#include <QAction>
#include <QDir>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFileInfo>
#include <QLabel>
#include <QMimeData>
#include <QStatusBar>
#include <QTimer>
#include <QUrl>

#include "io/RegKeys.h"
#include "shell/EditHistory.h"
#include "text/TextTable.h"
#include "ui/CommandBar.h"

namespace rm427::gui {
namespace {

// Kept under the program's key, values File1 (newest) to File8.
constexpr const char* kRecentKeyPath = "SoftWare\\\\RM-427\\\\Recent";
constexpr int kTextFileGone = 3100;
constexpr int kTextDemoPanel = 3101;

QString RecentTool(int n) { return QStringLiteral("miRecent%1").arg(n); }

// The one data file of a drag, or an empty text.
QString DroppedDataFile(const QMimeData* mime) {
    if (!mime || !mime->hasUrls() || mime->urls().size() != 1) return QString();
    const QUrl url = mime->urls().first();
    if (!url.isLocalFile()) return QString();
    const QString path = url.toLocalFile();
    return path.endsWith(QLatin1String(".dat"), Qt::CaseInsensitive) ? path : QString();
}

}  // namespace

bool MDIForm1::OpenFile(const QString& path) {
    TransferFocus();
    SaveCHData();
    const QString absolute = QFileInfo(path).absoluteFilePath();
    if (!fileCommands_->OpenPath(QDir::toNativeSeparators(absolute).toStdString())) return false;
    history_->Clear();  // as after Open: nothing to undo in a newly opened file
    return true;
}

QStringList MDIForm1::RecentFiles() const {
    QStringList files;
    for (int n = 1; n <= kRecentFiles; ++n) {
        const QString f = QString::fromStdString(
            GetKeyValue(RegRoot::LocalMachine, kRecentKeyPath, "File" + std::to_string(n)));
        if (!f.isEmpty() && !files.contains(f)) files << f;
    }
    return files;
}

void MDIForm1::StoreRecentFiles(const QStringList& files) {
    std::vector<std::pair<std::string, std::string>> values;
    for (int n = 1; n <= kRecentFiles; ++n)
        values.emplace_back("File" + std::to_string(n),
                            n <= files.size() ? files[n - 1].toStdString() : std::string());
    SetKeyValues(RegRoot::LocalMachine, kRecentKeyPath, values);
    RefreshRecentMenu();
}

void MDIForm1::AddRecentFile(const QString& path) {
    QStringList files = RecentFiles();
    files.removeAll(path);
    files.prepend(path);
    StoreRecentFiles(files.mid(0, kRecentFiles));
}

void MDIForm1::RefreshRecentMenu() {
    const QString band = QStringLiteral("miFile");
    if (!bar_->HasTool(band, RecentTool(1))) return;
    const QStringList files = RecentFiles();
    for (int n = 1; n <= kRecentFiles; ++n) {
        const bool used = n <= files.size();
        // "&1 name.dat" with the whole path as the tip; "&" in a name stays a character.
        QString name = used ? QFileInfo(files[n - 1]).fileName() : QString();
        name.replace(QLatin1Char('&'), QLatin1String("&&"));
        bar_->SetCaption(band, RecentTool(n), QStringLiteral("&%1 %2").arg(n).arg(name));
        if (QAction* a = bar_->Tool(band, RecentTool(n)))
            a->setStatusTip(used ? files[n - 1] : QString());
        if (QAction* a = bar_->Tool(band, RecentTool(n))) a->setToolTip(used ? files[n - 1] : QString());
        bar_->SetToolVisible(band, RecentTool(n), used);
    }
    bar_->SetToolVisible(band, QStringLiteral("miRecentSep"), !files.isEmpty());
}

void MDIForm1::OpenRecent(int n) {
    const QStringList files = RecentFiles();
    if (n < 1 || n > files.size()) return;
    const QString path = files[n - 1];
    if (!QFileInfo::exists(path)) {
        QStringList rest = files;
        rest.removeAt(n - 1);
        StoreRecentFiles(rest);
        MessageRequest box;
        box.text =
            QString::fromStdString(LoadText(state_.Language, kTextFileGone)).arg(path).toStdString();
        box.title = "RM-427";
        box.icon = MsgIcon::Exclamation;
        box.buttons = MsgButtons::Ok;
        boxes_.Show(box);
        return;
    }
    OpenFile(path);
}

QString MDIForm1::DialogFolder() const {
    const QFileInfo current(QString::fromStdString(state_.FileName));
    if (current.isAbsolute() && current.dir().exists()) return current.absolutePath();
    const QStringList files = RecentFiles();
    if (!files.isEmpty()) {
        const QFileInfo newest(files.first());
        if (newest.dir().exists()) return newest.absolutePath();
    }
    return QDir::homePath();
}

void MDIForm1::dragEnterEvent(QDragEnterEvent* event) {
    if (!DroppedDataFile(event->mimeData()).isEmpty()) event->acceptProposedAction();
}

void MDIForm1::dropEvent(QDropEvent* event) {
    const QString path = DroppedDataFile(event->mimeData());
    if (path.isEmpty()) return;
    event->acceptProposedAction();
    // Open after the drop has ended, so the program the file came from is
    // not held while the questions are open.
    QTimer::singleShot(0, this, [this, path] { OpenFile(path); });
}

void MDIForm1::ShowDemoPanel(int port) {
    demoPort_ = port;
    auto* label = msBar_->findChild<QLabel*>(QStringLiteral("MSBarDemo"));
    if (!label) {
        label = new QLabel(msBar_);
        label->setObjectName(QStringLiteral("MSBarDemo"));
        label->setContentsMargins(6, 0, 6, 0);
        msBar_->addPermanentWidget(label);
    }
    label->setText(QString::fromStdString(LoadText(state_.Language, kTextDemoPanel)).arg(port));
}

}  // namespace rm427::gui
