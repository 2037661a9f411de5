// The main window: start-up, settings, the command table, the language
// switch, the status bar gesture, the model window and the about box.
#include <QAction>
#include <QComboBox>
#include <QFile>
#include <QLabel>
#include <QMenu>
#include <QPushButton>
#include <QSettings>
#include <QStatusBar>
#include <QtTest>

#include "helpers/ShellFixture.h"
#include "io/RegKeys.h"
#include "shell/frmAbout.h"
#include "shell/frmModel.h"
#include "ui/CommandBar.h"

using namespace rm427;
using rm427::test::ShellFixture;

namespace {

// Every caption of every band, "band/tool=caption", in layout order.
QStringList AllCaptions(gui::CommandBar& bar) {
    QStringList out;
    for (const QString& b : bar.Bands())
        for (const QString& t : bar.Tools(b)) out << b + '/' + t + '=' + bar.Caption(b, t);
    return out;
}

QString Stored(const QString& file, const QString& name) {
    QSettings s(file, QSettings::IniFormat);
    return s.value(QStringLiteral("SoftWare/RM-427/") + name).toString();
}

}  // namespace

class TestShell : public QObject {
    Q_OBJECT
private slots:
    void startsAsDescribedWithoutSettings();
    void storesModelByteAndLanguageAtClose();
    void chineseRunPersists();
    void settingsStore();
    void languageRoundTripRestoresEveryCaption();
    void statusBarGesture();
    void modalAndOtherWindowRows();
    void cloneRowsSetDirection();
    void unknownToolClosesLikeExit();
    void closingWithUnsavedChanges();
    void modelWindowShowsCodes_data();
    void modelWindowShowsCodes();
    void modelWindowChangeAndCancel();
    void modelWindowThroughDispatch();
    void aboutBox();
    void layoutErrorsAreReported();
};

void TestShell::startsAsDescribedWithoutSettings() {
    ShellFixture f;
    auto& w = f.Start();
    QCOMPARE(w.windowTitle(), QStringLiteral("RM-427[100 - 550 MHz]{ FileName: Untitled.dat]"));
    QCOMPARE(int(f.state.Language), 0);
    QCOMPARE(int(f.state.ModelCode), 4);
    auto& bar = w.Bar();
    QVERIFY(bar.ToolCheck("miProgram", "miCH-Information"));
    QVERIFY(bar.ToolCheck("miLanguage", "miEnglish"));
    QVERIFY(!bar.ToolCheck("miLanguage", "miChinese"));
    QVERIFY(!bar.ToolVisible("miSetup", "miTestMode"));
    QVERIFY(!bar.ToolVisible("miSetup", "miSeparator"));
    QVERIFY(bar.ToolVisible("miSetup", "miCommunicationPort"));
    QVERIFY(bar.HasTool("miSetup", "miModel"));
    QCOMPARE(bar.Caption("Menu Bar", "miClone"), QStringLiteral("C&lone"));  // Alt+C closes windows
    QCOMPARE(w.MSBar()->findChild<QLabel*>("MSBarPort")->text(), QStringLiteral("COM1"));
    QVERIFY(!w.MSBar()->findChild<QLabel*>("MSBarDate")->text().isEmpty());
    QVERIFY(!w.MSBar()->findChild<QLabel*>("MSBarTime")->text().isEmpty());
    // Nothing is written before the program closes.
    QVERIFY(!QFile::exists(f.SettingsFile()));
}

// The stored texts' rules: image_test (SettingsText).
void TestShell::storesModelByteAndLanguageAtClose() {
    ShellFixture f;
    f.Start();
    QVERIFY(f.Close());
    // A fresh image's model byte is 0xFF.
    QCOMPARE(Stored(f.SettingsFile(), "Model"), QStringLiteral("255"));
    QCOMPARE(Stored(f.SettingsFile(), "language"), QStringLiteral("0"));
    // ... which starts the next run with model code 15.
    ShellFixture::OnModal([](QWidget*) {});
    f.main.reset();
    f.Start();
    QCOMPARE(int(f.state.ModelCode), 15);
}

void TestShell::chineseRunPersists() {
    ShellFixture f;
    f.StoreSetting("Language", "0");  // stored under the capitalised name
    auto& w = f.Start();
    w.Dispatch("miChinese");
    QVERIFY(f.Close());
    QSettings s(f.SettingsFile(), QSettings::IniFormat);
    s.beginGroup("SoftWare/RM-427");
    // One value, whatever its letter case.
    QStringList langKeys;
    for (const QString& k : s.childKeys())
        if (k.compare("language", Qt::CaseInsensitive) == 0) langKeys << k;
    QCOMPARE(langKeys.size(), 1);
    QCOMPARE(s.value(langKeys[0]).toString(), QStringLiteral("1"));
    s.endGroup();
    f.main.reset();
    auto& again = f.Start();
    QCOMPARE(int(f.state.Language), 1);
    QCOMPARE(again.Bar().Caption("miFile", "miNew"), QStringLiteral("新建(&N)"));
}

void TestShell::settingsStore() {
    ShellFixture f;
    QCOMPARE(GetKeyValue(RegRoot::LocalMachine, kProgramKeyPath, "Model"), std::string());
    QVERIFY(!QFile::exists(f.SettingsFile()));
    QVERIFY(SetKeyValue(RegRoot::LocalMachine, kProgramKeyPath, "Model", "245"));
    QCOMPARE(GetKeyValue(RegRoot::LocalMachine, kProgramKeyPath, "MODEL"), std::string("245"));
    // The doubled separator and a single one name the same key.
    QCOMPARE(GetKeyValue(RegRoot::LocalMachine, "SoftWare\\RM-427", "model"), std::string("245"));
    QCOMPARE(GetKeyValue(RegRoot::LocalMachine, "SoftWare\\Other", "Model"), std::string());
    QVERIFY(SetKeyValue(RegRoot::LocalMachine, kProgramKeyPath, "Text", "中文 text"));
    QCOMPARE(GetKeyValue(RegRoot::LocalMachine, kProgramKeyPath, "text"), std::string("中文 text"));
    QVERIFY(SetKeyValue(RegRoot::LocalMachine, kProgramKeyPath, "Long", std::string(2000, 'x')));
    QCOMPARE(GetKeyValue(RegRoot::LocalMachine, kProgramKeyPath, "Long"), std::string());
    // A store that cannot be written fails quietly and reads as empty: its
    // folder would have to be where a file is.
    QFile file(f.dir.filePath(QStringLiteral("a-file")));
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.close();
    qputenv(kSettingsFileVariable, (file.fileName() + QStringLiteral("/settings.ini")).toLocal8Bit());
    QVERIFY(!SetKeyValue(RegRoot::LocalMachine, kProgramKeyPath, "Model", "1"));
    QCOMPARE(GetKeyValue(RegRoot::LocalMachine, kProgramKeyPath, "Model"), std::string());
}

void TestShell::languageRoundTripRestoresEveryCaption() {
    ShellFixture f;
    auto& w = f.Start();
    auto& bar = w.Bar();
    const QStringList english = AllCaptions(bar);
    w.Dispatch("miChinese");
    QCOMPARE(int(f.state.Language), 1);
    QVERIFY(bar.ToolCheck("miLanguage", "miChinese"));
    QVERIFY(!bar.ToolCheck("miLanguage", "miEnglish"));
    QCOMPARE(bar.Caption("miClone", "miRead"), QStringLiteral("从对讲机读取数据(&R)"));
    QCOMPARE(bar.Caption("tlbAction", "miAbout"), QStringLiteral("关于"));
    QCOMPARE(
        w.MSBar()->findChild<QLabel*>("MSBarDate")->text(),
        QLocale(QLocale::Chinese, QLocale::China).toString(QDate::currentDate(), QLocale::ShortFormat));
    QCOMPARE(bar.Menu("miFile")->title(), QStringLiteral("文件(&F)"));
    QCOMPARE(bar.Caption("miFile", "miImportChannels"), QStringLiteral("导入信道(&I)..."));
    // Captions of the layout stay.
    QCOMPARE(bar.Caption("miProgram", "miBatchEdit"), QStringLiteral("&Batch Edit"));
    QCOMPARE(bar.Caption("miSetup", "miModel"), QStringLiteral("&Model..."));
    QCOMPARE(w.MSBar()->findChild<QLabel*>("MSBarPort")->text(), QStringLiteral("COM1"));
    QCOMPARE(w.windowTitle(), QStringLiteral("RM-427[100 - 550 MHz]{ FileName: Untitled.dat]"));
    w.Dispatch("miEnglish");
    QCOMPARE(AllCaptions(bar), english);
    QVERIFY(bar.ToolCheck("miLanguage", "miEnglish"));
    QVERIFY(!bar.ToolCheck("miLanguage", "miChinese"));
}

void TestShell::statusBarGesture() {
    ShellFixture f;
    auto& w = f.Start();
    auto& bar = w.Bar();
    QWidget* panel = w.MSBar()->findChild<QLabel*>("MSBarTime");
    const auto ctrlAlt = Qt::ControlModifier | Qt::AltModifier;
    QTest::mouseClick(panel, Qt::LeftButton, ctrlAlt);
    QVERIFY(bar.ToolVisible("miSetup", "miTestMode"));
    QVERIFY(bar.ToolVisible("miSetup", "miSeparator"));
    QTest::mouseClick(panel, Qt::LeftButton, ctrlAlt | Qt::ShiftModifier);
    QVERIFY(bar.ToolVisible("miSetup", "miTestMode"));
    QTest::mouseClick(w.MSBar(), Qt::LeftButton, ctrlAlt);
    QVERIFY(!bar.ToolVisible("miSetup", "miTestMode"));
    QVERIFY(!bar.ToolVisible("miSetup", "miSeparator"));
    // Other buttons and partial chords do nothing.
    QTest::mouseClick(panel, Qt::RightButton, ctrlAlt);
    QTest::mouseClick(panel, Qt::LeftButton, Qt::ControlModifier);
    QTest::mouseClick(panel, Qt::LeftButton, Qt::AltModifier);
    QTest::mouseClick(panel, Qt::LeftButton, ctrlAlt | Qt::ShiftModifier);
    QVERIFY(!bar.ToolVisible("miSetup", "miTestMode"));
    // The entry comes back hidden in the next run.
    QTest::mouseClick(panel, Qt::LeftButton, ctrlAlt);
    QVERIFY(f.Close());
    f.main.reset();
    QVERIFY(!f.Start().Bar().ToolVisible("miSetup", "miTestMode"));
}

void TestShell::modalAndOtherWindowRows() {
    ShellFixture f;
    auto& w = f.Start();
    const struct {
        const char* tool;
        const char* window;
    } rows[] = {{"miCommunicationPort", "frmComPort"},
                {"miFunctionSet", "frmSet"},
                {"miBatchEdit", "FrmBatch"},
                {"miTestMode", "frmTestMode"}};
    for (const auto& r : rows) {
        f.opened.clear();
        w.Dispatch(r.tool);
        QCOMPARE(f.opened, QStringList{r.window});
        QVERIFY2(w.isVisible(), r.tool);
    }
    // A click in the menu reaches the same dispatch.
    f.opened.clear();
    w.Bar().Tool("miSetup", "miCommunicationPort")->trigger();
    QCOMPARE(f.opened, QStringList{"frmComPort"});
    // Print opens the print dialog and changes nothing.
    f.opened.clear();
    const auto before = f.state.Image;
    w.Dispatch("miPrint");
    QCOMPARE(f.opened, QStringList{"frmPrint"});
    QVERIFY(f.state.Image == before);
    QVERIFY(f.boxes.shown.empty());
    // Print preview: a modal window owned by the main window.
    QString seen;
    QWidget* owner = nullptr;
    ShellFixture::OnModal([&](QWidget* m) {
        seen = m->objectName();
        owner = m->parentWidget();
        m->close();
    });
    w.Dispatch("miPrintPreview");
    QCOMPARE(seen, QStringLiteral("frmPreview"));
    QCOMPARE(owner, static_cast<QWidget*>(&w));
}

void TestShell::cloneRowsSetDirection() {
    ShellFixture f;
    auto& w = f.Start();
    f.state.CloneDirection = 1;
    w.Dispatch("miRead");
    QCOMPARE(int(f.state.CloneDirection), 0);
    QCOMPARE(f.opened, QStringList{"frmClone"});
    w.Bar().Tool("tlbAction", "miWrite")->trigger();
    QCOMPARE(int(f.state.CloneDirection), 1);
    QCOMPARE(f.opened, (QStringList{"frmClone", "frmClone"}));
}

void TestShell::unknownToolClosesLikeExit() {
    for (const char* tool : {"miExit", "miexit"}) {  // names are compared exactly
        ShellFixture f;
        auto& w = f.Start();
        w.Dispatch(tool);
        QVERIFY(!w.isVisible());
        QCOMPARE(Stored(f.SettingsFile(), "Model"), QStringLiteral("255"));
    }
}

void TestShell::closingWithUnsavedChanges() {
    ShellFixture f;
    auto& w = f.Start();
    f.state.Image[0xE95] = 0x07;  // a settings byte (the grid owns the channel bytes)
    // The question and each answer: filecommands_test OpenWithUnsavedChangesEachAnswer and
    // OpenYesWhileUntitledGoesThroughSaveAs. Here: Cancel keeps the program and stores nothing.
    f.boxes.Answer(MsgAnswer::Cancel);
    QVERIFY(!f.Close());
    QVERIFY(w.isVisible());
    QVERIFY(!QFile::exists(f.SettingsFile()));
    // Yes with a name saves and closes.
    const QString path = f.dir.filePath("kept.dat");
    f.boxes.Answer(MsgAnswer::Yes);
    f.files.saveAnswers.push_back(path.toStdString());
    QVERIFY(f.Close());
    QVERIFY(QFile::exists(path));
}

void TestShell::modelWindowShowsCodes_data() {
    QTest::addColumn<int>("code");
    QTest::addColumn<QString>("model");
    QTest::addColumn<QString>("band");
    QTest::newRow("3") << 3 << "RM-427(VHF)"
                       << "216 - 223(MHz)";
    QTest::newRow("13") << 13 << "RM-427(UHF)"
                        << "400 - 470(MHz)";
}

void TestShell::modelWindowShowsCodes() {
    QFETCH(int, code);
    QFETCH(QString, model);
    QFETCH(QString, band);
    ShellFixture f;
    auto& w = f.Start();
    f.state.ModelCode = std::uint8_t(code);
    gui::frmModel dlg(w, &w);
    QCOMPARE(dlg.windowTitle(), QStringLiteral("Model Information"));
    QCOMPARE(dlg.CboModel(0)->currentText(), model);
    QCOMPARE(dlg.CboModel(1)->currentText(), band);
    QCOMPARE(dlg.CboModel(1)->count(), code < 4 ? 4 : 9);
    // OK without touching the lists: unchanged for every code but 13..15,
    // which come back as 4 and therefore ask.
    f.boxes.Answer(MsgAnswer::Cancel);
    dlg.Cmd(0)->click();
    if (code >= 13) {
        QCOMPARE(f.boxes.shown.size(), std::size_t(1));
        QCOMPARE(int(f.state.ModelCode), code);
    } else {
        QVERIFY(f.boxes.shown.empty());
        QCOMPARE(dlg.result(), int(QDialog::Accepted));
    }
}

void TestShell::modelWindowChangeAndCancel() {
    ShellFixture f;
    auto& w = f.Start();
    f.state.ModelCode = 2;
    f.state.Image[0x3D6] = 0x7E;
    f.state.Image[0x000] = 0x05;  // a channel that the change will clear
    f.state.FreqLimitLow = 400;
    {
        gui::frmModel dlg(w, &w);
        dlg.show();
        QCOMPARE(dlg.CboModel(0)->currentText(), QStringLiteral("RM-427(VHF)"));
        QCOMPARE(dlg.CboModel(1)->currentText(), QStringLiteral("136 - 174(MHz)"));
        // Choosing UHF lists the UHF bands from the first one.
        dlg.CboModel(0)->setFocus();
        QTest::keyClick(dlg.CboModel(0), Qt::Key_Down);
        QCOMPARE(dlg.CboModel(0)->currentText(), QStringLiteral("RM-427(UHF)"));
        QCOMPARE(dlg.CboModel(1)->currentText(), QStringLiteral("350 - 370(MHz)"));
        dlg.CboModel(1)->setCurrentIndex(7);
        QCOMPARE(dlg.CboModel(1)->currentText(), QStringLiteral("450 - 490(MHz)"));
        // Cancel in the question: old code, image kept, window still open.
        f.boxes.Answer(MsgAnswer::Cancel);
        dlg.Cmd(0)->click();
        const MessageRequest& q = *f.boxes.Last();
        QCOMPARE(q.text, std::string("Datas will be Cleared,continue?"));
        QCOMPARE(q.title, std::string("RM-427"));
        QCOMPARE(int(q.icon), int(MsgIcon::Information));
        QCOMPARE(int(q.buttons), int(MsgButtons::OkCancel));
        QCOMPARE(q.defaultButton, 1);
        QCOMPARE(int(f.state.ModelCode), 2);
        QCOMPARE(int(f.state.Image[0]), 0x05);
        QVERIFY(dlg.isVisible());
        QCOMPARE(dlg.CboModel(1)->currentText(), QStringLiteral("450 - 490(MHz)"));
        // OK: an empty image with the new code.
        f.boxes.Answer(MsgAnswer::Ok);
        w.Bar().SetToolCheck("miProgram", "miCH-Information", false);
        dlg.Cmd(0)->click();
        QVERIFY(!dlg.isVisible());
    }
    QCOMPARE(int(f.state.ModelCode), 5);
    Module1 fresh;
    CodeplugImage expected = fresh.Image;
    expected[0x3D2] = 0xF5;
    expected[0x3D6] = 0xFF;  // a new image's 0xFF already has bit 0 set
    QVERIFY(f.state.Image == expected);
    QCOMPARE(int(f.state.FreqLimitLow), 100);
    QVERIFY(w.Bar().ToolCheck("miProgram", "miCH-Information"));
    QCOMPARE(w.windowTitle(), QStringLiteral("RM-427[100 - 550 MHz]{ FileName: Untitled.dat]"));

    // The same model and band again: closed without a question.
    gui::frmModel same(w, &w);
    same.show();
    const std::size_t asked = f.boxes.shown.size();
    f.state.Image[0x10] = 0x42;
    same.Cmd(0)->click();
    QCOMPARE(f.boxes.shown.size(), asked);
    QCOMPARE(int(f.state.Image[0x10]), 0x42);
    QVERIFY(!same.isVisible());
    // Cancel closes and changes nothing.
    gui::frmModel cancel(w, &w);
    cancel.show();
    cancel.CboModel(1)->setCurrentIndex(0);
    cancel.Cmd(1)->click();
    QCOMPARE(int(f.state.ModelCode), 5);
    QCOMPARE(cancel.result(), int(QDialog::Rejected));
}

void TestShell::modelWindowThroughDispatch() {
    ShellFixture f;
    auto& w = f.Start();
    f.state.ModelCode = 13;
    QString title;
    ShellFixture::OnModal([&](QWidget* m) {
        title = m->windowTitle();
        auto* dlg = qobject_cast<gui::frmModel*>(m);
        QVERIFY(dlg);
        f.boxes.Answer(MsgAnswer::Ok);
        dlg->Cmd(0)->click();  // 13 shows as 400 - 470, which is code 4
    });
    w.Dispatch("miModel");
    QCOMPARE(title, QStringLiteral("Model Information"));
    QCOMPARE(int(f.state.ModelCode), 4);
    QCOMPARE(int(f.state.Image[0x3D2]), 0xF4);
}

// The text itself: image_test (AboutText).
void TestShell::aboutBox() {
    ShellFixture f;
    auto& w = f.Start();
    w.Dispatch("miChinese");
    QString caption, button, label;
    ShellFixture::OnModal([&](QWidget* m) {
        caption = m->windowTitle();
        label = m->findChild<QLabel*>("LblAbout")->text();
        auto* ok = m->findChild<QPushButton*>("CmdClose");
        button = ok->text();
        ok->click();
    });
    w.Dispatch("miAbout");
    QCOMPARE(caption, QStringLiteral("关于 RM-427"));
    QCOMPARE(button, QStringLiteral("确定(&O)"));
    QVERIFY(label.startsWith(QStringLiteral("  RM-427 软件\n   版本1.0\n")));
    QVERIFY(QApplication::activeModalWidget() == nullptr);
}

void TestShell::layoutErrorsAreReported() {
    QMainWindow win;
    gui::CommandBar bar(&win);
    QString error;
    QVERIFY(!bar.LoadLayout("tool miNew \"New\"\n", &error));
    QVERIFY(error.contains("line 1"));
    QVERIFY(!bar.LoadLayout("band x menubar\ntool a \"unclosed\n", &error));
    QVERIFY(error.contains("line 2"));
    QVERIFY(!bar.LoadLayout("band x menubar\nband orphan menu\n", &error));
    QVERIFY(error.contains("orphan"));
    QVERIFY(!bar.LoadLayout("band x menubar\ntool a \"A\" bogus\n", &error));
    QVERIFY(bar.Bands().isEmpty());
    QVERIFY(bar.LoadLayout("band x menubar\ntool a \"A \\\"q\\\"\" key=Ctrl+Q\n", &error));
    QCOMPARE(bar.Caption("x", "a"), QStringLiteral("A \"q\""));
    QVERIFY(bar.Tool("x", "zz") == nullptr);
    bar.SetCaption("x", "zz", "ignored");  // unknown tools are ignored
}

QTEST_MAIN(TestShell)
#include "tst_shell.moc"
