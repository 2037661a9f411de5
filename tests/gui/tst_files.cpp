// Files from outside the open dialog: the file named on the command line, a
// dropped file, the recent files, the dialogs' start folder, and the
// program's --help and --version.
#include <QAction>
#include <QFileDialog>
#include <QMimeData>
#include <QDir>
#include <QProcess>
#include <QUrl>
#include <QtTest>

#include "file/DataFile.h"
#include "helpers/ShellFixture.h"
#include "ui/CommandBar.h"
#include "ui/QtDialogs.h"

using namespace rm427;
using rm427::test::ShellFixture;

namespace {

// A data file of a new image with one changed byte, so opening it shows.
// Its path comes back as the program keeps and shows it (with backslashes on
// Windows).
QString WriteDataFile(const QString& path, std::uint8_t modelByte) {
    Module1 s;
    s.ClearImage();
    s.Image[0x3D2] = modelByte;
    std::vector<std::uint8_t> bytes;
    std::string error;
    if (!EncodeDataFile(s.Image, bytes, error)) return QString();
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly)) return QString();
    f.write(reinterpret_cast<const char*>(bytes.data()), qint64(bytes.size()));
    return QDir::toNativeSeparators(path);
}

}  // namespace

class TstFiles : public QObject {
    Q_OBJECT
private slots:
    void fileArgumentDropAndRecentList();
    void missingRecentFileIsRemovedWithAMessage();
    void dialogsStartInTheCurrentFilesFolder();
    void helpAndVersionWithoutAWindow();
};

void TstFiles::fileArgumentDropAndRecentList() {
    ShellFixture f;
    gui::MDIForm1& main = f.Start();
    const QString a = WriteDataFile(f.dir.filePath(QStringLiteral("a.dat")), 1);
    const QString b = WriteDataFile(f.dir.filePath(QStringLiteral("b.dat")), 2);
    QVERIFY(!a.isEmpty() && !b.isEmpty());

    // As rm427 a.dat does.
    QVERIFY(main.OpenFile(a));
    QCOMPARE(QString::fromStdString(f.state.FileName), a);
    QCOMPARE(int(f.state.Image[0x3D2]), 1);
    QCOMPARE(main.RecentFiles(), QStringList{a});

    // A drop with unsaved changes asks first; No goes on and opens b.
    f.state.Image[0x100] ^= 0xFF;
    f.boxes.Answer(MsgAnswer::No);
    QMimeData mime;
    mime.setUrls({QUrl::fromLocalFile(b)});
    const QPoint at = main.rect().center();
    QDragEnterEvent enter(at, Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(&main, &enter);
    QVERIFY(enter.isAccepted());
    QDropEvent drop(at, Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(&main, &drop);
    QTRY_COMPARE(QString::fromStdString(f.state.FileName), b);
    QCOMPARE(f.boxes.shown.size(), std::size_t(1));
    QCOMPARE(f.boxes.shown[0].text, std::string("File has been modified, save it now?"));
    QCOMPARE(main.RecentFiles(), (QStringList{b, a}));

    // Anything but one .dat file is not taken.
    QMimeData text;
    text.setUrls({QUrl::fromLocalFile(f.dir.filePath(QStringLiteral("list.csv")))});
    QDragEnterEvent refused(at, Qt::CopyAction, &text, Qt::LeftButton, Qt::NoModifier);
    refused.setAccepted(false);
    QApplication::sendEvent(&main, &refused);
    QVERIFY(!refused.isAccepted());

    // The File menu lists them newest first; its entry opens the file.
    gui::CommandBar& bar = main.Bar();
    QVERIFY(bar.ToolVisible(QStringLiteral("miFile"), QStringLiteral("miRecent2")));
    QVERIFY(!bar.ToolVisible(QStringLiteral("miFile"), QStringLiteral("miRecent3")));
    QCOMPARE(bar.Caption(QStringLiteral("miFile"), QStringLiteral("miRecent2")),
             QStringLiteral("&2 a.dat"));
    bar.Tool(QStringLiteral("miFile"), QStringLiteral("miRecent2"))->trigger();
    QCOMPARE(QString::fromStdString(f.state.FileName), a);
    QCOMPARE(main.RecentFiles(), (QStringList{a, b}));

    // Eight at most, kept for the next run.
    for (int i = 0; i < 9; ++i) {
        const QString p = WriteDataFile(f.dir.filePath(QStringLiteral("n%1.dat").arg(i)), 3);
        QVERIFY(main.OpenFile(p));
    }
    QCOMPARE(main.RecentFiles().size(), 8);
    QCOMPARE(main.RecentFiles().first(),
             QDir::toNativeSeparators(f.dir.filePath(QStringLiteral("n8.dat"))));
    QVERIFY(f.Close());
    ShellFixture again;  // the same settings file: the fixtures share none, so reuse f's
    qputenv("RM427_SETTINGS_FILE", f.SettingsFile().toLocal8Bit());
    gui::MDIForm1& next = again.Start();
    QCOMPARE(next.RecentFiles().size(), 8);
    QVERIFY(next.Bar().ToolVisible(QStringLiteral("miFile"), QStringLiteral("miRecent8")));
}

void TstFiles::missingRecentFileIsRemovedWithAMessage() {
    ShellFixture f;
    gui::MDIForm1& main = f.Start();
    const QString keep = WriteDataFile(f.dir.filePath(QStringLiteral("keep.dat")), 1);
    const QString gone = WriteDataFile(f.dir.filePath(QStringLiteral("gone.dat")), 1);
    QVERIFY(main.OpenFile(keep));
    QVERIFY(main.OpenFile(gone));
    QVERIFY(QFile::remove(gone));
    main.Dispatch(QStringLiteral("miRecent1"));
    QVERIFY(f.boxes.Last());
    QVERIFY(QString::fromStdString(f.boxes.Last()->text).contains(gone));
    QCOMPARE(f.boxes.Last()->title, std::string("RM-427"));
    QCOMPARE(main.RecentFiles(), QStringList{keep});
    QVERIFY(!main.Bar().ToolVisible(QStringLiteral("miFile"), QStringLiteral("miRecent2")));
    // The program stays open and the current file is unchanged.
    QVERIFY(main.isVisible());
    QCOMPARE(QString::fromStdString(f.state.FileName), gone);
}

void TstFiles::dialogsStartInTheCurrentFilesFolder() {
    ShellFixture f;
    gui::MDIForm1& main = f.Start();
    QVERIFY(QDir(f.dir.path()).mkpath(QStringLiteral("radios")));
    const QString a = WriteDataFile(f.dir.filePath(QStringLiteral("radios/a.dat")), 1);
    QVERIFY(main.OpenFile(a));
    QCOMPARE(main.DialogFolder(), f.dir.filePath(QStringLiteral("radios")));

    gui::QtFileDialogs files(&main);
    files.SetStartFolder([&main] { return main.DialogFolder(); });
    QString shown;
    ShellFixture::OnModal([&shown](QWidget* w) {
        auto* dialog = qobject_cast<QFileDialog*>(w);
        QVERIFY(dialog);
        shown = dialog->directory().absolutePath();
        dialog->reject();
    });
    QVERIFY(files.GetOpenFileName("DOV Data Files (*.dat)").empty());
    QCOMPARE(shown, f.dir.filePath(QStringLiteral("radios")));
}

void TstFiles::helpAndVersionWithoutAWindow() {
    // No window system at all: the answers must come before one is needed.
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    for (const char* name : {"QT_QPA_PLATFORM", "DISPLAY", "WAYLAND_DISPLAY"})
        env.remove(QString::fromLatin1(name));
    for (const QString& option :
         {QStringLiteral("--version"), QStringLiteral("--help"), QStringLiteral("--bogus")}) {
        QProcess p;
        p.setProcessEnvironment(env);
        p.start(QDir(QCoreApplication::applicationDirPath()).filePath(QStringLiteral(RM427_GUI_PROGRAM)),
                {option});
        QVERIFY(p.waitForFinished(20000));
        QCOMPARE(p.exitStatus(), QProcess::NormalExit);
        const QString out = QString::fromUtf8(p.readAllStandardOutput());
        const QString err = QString::fromUtf8(p.readAllStandardError());
        QCOMPARE(p.exitCode(), option == QLatin1String("--bogus") ? 1 : 0);
        if (option == QLatin1String("--version"))
            QVERIFY2(out.startsWith(QStringLiteral("rm427 ")), qPrintable(out));
        else if (option == QLatin1String("--help"))
            QVERIFY2(out.startsWith(QStringLiteral("Usage: rm427 [options] [FILE.dat]")) &&
                         out.contains(QStringLiteral("--demo")),
                     qPrintable(out));
        else QVERIFY2(err.contains(QStringLiteral("Unknown option 'bogus'")), qPrintable(err));
    }
}

QTEST_MAIN(TstFiles)
#include "tst_files.moc"
