// Undo and redo in the main window, driven by real keys, clicks and menus.
#include <QAction>
#include <QComboBox>
#include <QLineEdit>
#include <QMdiArea>
#include <QPushButton>
#include <QTableView>
#include <QTableWidget>
#include <QUndoStack>
#include <QtTest>

#include "file/DataFile.h"
#include "helpers/GridEditor.h"
#include "radio/CloneExchange.h"
#include "radio/frmMemoryMap.h"
#include "settings/FrmBatch.h"
#include "shell/EditHistory.h"
#include "shell/frmModel.h"
#include "ui/CommandBar.h"

using namespace rm427;
using rm427::test::ShellFixture;

namespace {

struct Editor : test::GridEditor {
    using GridEditor::GridEditor;
    QAction* tool(const char* band, const char* name) const { return w->Bar().Tool(band, name); }
    QString caption(const char* name) const { return w->Bar().Caption("miEdit", name); }
    QUndoStack* stack() { return w->History().Stack(); }
};

}  // namespace

class TestUndo : public QObject {
    Q_OBJECT
private slots:
    void cellEditsUndoToAnUnmodifiedImage();
    void rowButtonsAndBatchApply();
    void wholeCodeplugCommands();
    void memoryMapOk();
    void openStartsANewHistory();
    void languageBetweenStepAndUndo();
    void keepsAThousandSteps();
};

void TestUndo::cellEditsUndoToAnUnmodifiedImage() {
    Editor e;
    QVERIFY(e.Active());
    QVERIFY(e.w->Bar().Menu("miEdit"));
    QVERIFY(!e.tool("miEdit", "miUndo")->isEnabled());
    QVERIFY(!e.tool("tlbAction", "miUndo")->isEnabled());
    QCOMPARE(e.caption("miUndo"), QStringLiteral("&Undo"));

    e.program(1, "145");
    e.program(2, "146");
    e.click(2, colName);
    QTest::keyClicks(e.txt(), "TWO");
    QTest::keyClick(e.txt(), Qt::Key_Return);
    QCOMPARE(e.caption("miUndo"), QStringLiteral("&Undo Cell Edit"));
    QVERIFY(e.tool("tlbAction", "miUndo")->isEnabled());
    QVERIFY(e.f.state.ImageModified());

    e.key(Qt::Key_Z, Qt::ControlModifier);
    QCOMPARE(e.cell(2, colName), std::string());
    QCOMPARE(e.f.state.CurCHRow, 2);  // the current cell comes back too
    QCOMPARE(e.f.state.CurCHCol, int(colName));
    QCOMPARE(e.caption("miRedo"), QStringLiteral("&Redo Cell Edit"));
    e.key(Qt::Key_Z, Qt::ControlModifier);
    e.key(Qt::Key_Z, Qt::ControlModifier);
    QCOMPARE(e.cell(1, colRxFreq), std::string());
    QCOMPARE(e.f.state.CurCHRow, 1);
    QVERIFY(!e.tool("miEdit", "miUndo")->isEnabled());
    QVERIFY(!e.f.state.ImageModified());

    // Both redo keys; then the toolbar button.
    e.key(Qt::Key_Y, Qt::ControlModifier);
    QCOMPARE(e.cell(1, colRxFreq), std::string("145.00000"));
    e.key(Qt::Key_Z, Qt::ControlModifier | Qt::ShiftModifier);
    QCOMPARE(e.cell(2, colRxFreq), std::string("146.00000"));
    e.tool("tlbAction", "miRedo")->trigger();
    QCOMPARE(e.cell(2, colName), std::string("TWO"));
    QCOMPARE(int(e.f.state.Image[ChannelOffset(2)]), 0x05);

    // An editor left open is committed as its own step, then undone.
    e.click(1, colName);
    QTest::keyClicks(e.txt(), "ONE");
    e.tool("miEdit", "miUndo")->trigger();
    QVERIFY(!e.txt()->isVisible());
    QCOMPARE(e.cell(1, colName), std::string());
    QCOMPARE(e.cell(2, colName), std::string("TWO"));
}

void TestUndo::rowButtonsAndBatchApply() {
    Editor e(false);
    QVERIFY(e.Active());
    e.program(1, "145");
    e.program(2, "146");
    e.click(1, colRxFreq);
    QTest::keyClick(e.txt(), Qt::Key_Escape);
    QTest::mouseClick(e.form->findChild<QPushButton*>("CmdCHDown"), Qt::LeftButton);
    QCOMPARE(e.cell(2, colRxFreq), std::string("145.00000"));
    QCOMPARE(e.caption("miUndo"), QStringLiteral("&Undo CH Down"));
    QTest::mouseClick(e.form->findChild<QPushButton*>("CmdCHDel"), Qt::LeftButton);
    QCOMPARE(e.cell(2, colRxFreq), std::string());
    e.key(Qt::Key_Z, Qt::ControlModifier);
    QCOMPARE(e.cell(2, colRxFreq), std::string("145.00000"));
    e.key(Qt::Key_Z, Qt::ControlModifier);
    QCOMPARE(e.cell(1, colRxFreq), std::string("145.00000"));
    QCOMPARE(e.cell(2, colRxFreq), std::string("146.00000"));

    e.w->Dispatch("miBatchEdit");
    auto* batch = e.w->MdiArea()->findChild<gui::FrmBatch*>();
    QVERIFY(batch);
    QLineEdit* start = batch->TxtBatch1(1);
    start->setFocus();
    start->selectAll();
    QTest::keyClicks(start, "440");
    QTest::keyClick(start, Qt::Key_Return);
    QTest::mouseClick(batch->Command1(0), Qt::LeftButton);
    QCOMPARE(e.cell(128, colRxFreq).substr(0, 3), std::string("440"));
    QCOMPARE(e.caption("miUndo"), QStringLiteral("&Undo Batch Apply"));
    e.tool("miEdit", "miUndo")->trigger();
    QCOMPARE(e.cell(128, colRxFreq), std::string());
    QCOMPARE(e.cell(1, colRxFreq), std::string("145.00000"));
}

void TestUndo::wholeCodeplugCommands() {
    Editor e;
    QVERIFY(e.Active());
    e.program(1, "145");

    // New (answered OK).
    e.f.boxes.Answer(MsgAnswer::Ok);
    e.w->Dispatch("miNew");
    QCOMPARE(e.cell(1, colRxFreq), std::string());
    QCOMPARE(e.caption("miUndo"), QStringLiteral("&Undo New"));
    e.key(Qt::Key_Z, Qt::ControlModifier);
    QCOMPARE(e.cell(1, colRxFreq), std::string("145.00000"));

    // A read from the radio over unsaved edits, and the function settings:
    // what the windows change in the image comes back.
    e.f.main->windowHook = [&](const QString& window) {
        if (window == "frmClone") {
            e.f.state.Image[ChannelOffset(1)] = 0xFF;
            e.f.state.Image[ChannelOffset(5)] = 0x05;
            e.f.state.Image[ChannelOffset(5) + 1] = 0x17;
            e.f.state.SnapshotImage();
            e.w->RefreshChannel();
        } else if (window == "frmSet") {
            e.f.state.Image[0xE91] ^= 0x01;
        }
        return true;
    };
    const CodeplugImage before = e.f.state.Image;
    e.w->Dispatch("miRead");
    QVERIFY(!e.cell(5, colRxFreq).empty());
    QCOMPARE(e.cell(1, colRxFreq), std::string());
    QCOMPARE(e.caption("miUndo"), QStringLiteral("&Undo Read from Radio"));
    e.w->Dispatch("miUndo");
    QCOMPARE(e.cell(1, colRxFreq), std::string("145.00000"));  // the unsaved edit is back
    QVERIFY(e.cell(5, colRxFreq).empty());
    QVERIFY(e.f.state.Image == before);
    e.w->Dispatch("miFunctionSet");
    QCOMPARE(e.caption("miUndo"), QStringLiteral("&Undo Function Settings"));
    e.w->Dispatch("miUndo");
    QCOMPARE(e.f.state.Image[0xE91], before[0xE91]);

    // Import Channels from a file.
    QFile csv(e.f.dir.filePath("in.csv"));
    QVERIFY(csv.open(QIODevice::WriteOnly));
    csv.write("Channel,RxFreq\n3,147\n");
    csv.close();
    e.f.files.openAnswers.push_back(csv.fileName().toStdString());
    test::ShellFixture::OnModal([](QWidget* preview) { QTest::keyClick(preview, Qt::Key_Return); });
    e.w->Dispatch("miImportChannels");
    QCOMPARE(e.cell(3, colRxFreq), std::string("147.00000"));
    QCOMPARE(e.cell(1, colRxFreq), std::string());
    e.w->Dispatch("miUndo");
    QCOMPARE(e.cell(3, colRxFreq), std::string());
    QCOMPARE(e.cell(1, colRxFreq), std::string("145.00000"));
    e.w->Dispatch("miRedo");
    QCOMPARE(e.cell(3, colRxFreq), std::string("147.00000"));

    // A model change clears the channels; undo brings model and channels back.
    e.f.main->windowHook = nullptr;
    const int model = e.f.state.ModelCode;
    const int modelByte = e.f.state.Image[kModelByte];
    test::ShellFixture::OnModal([&](QWidget* dialog) {
        auto* m = qobject_cast<gui::frmModel*>(dialog);
        QVERIFY(m);
        m->CboModel(0)->setCurrentIndex(m->CboModel(0)->currentIndex() == 0 ? 1 : 0);
        m->CboModel(1)->setCurrentIndex(0);
        e.f.boxes.Answer(MsgAnswer::Ok);
        m->Cmd(0)->click();
    });
    e.w->Dispatch("miModel");
    QVERIFY(int(e.f.state.ModelCode) != model);
    QVERIFY(int(e.f.state.Image[kModelByte]) != modelByte);
    QVERIFY(e.cell(3, colRxFreq).empty());
    QCOMPARE(e.caption("miUndo"), QStringLiteral("&Undo Model Change"));
    e.w->Dispatch("miUndo");
    QCOMPARE(int(e.f.state.ModelCode), model);
    QCOMPARE(int(e.f.state.Image[kModelByte]), modelByte);
    QCOMPARE(e.cell(3, colRxFreq), std::string("147.00000"));
}

void TestUndo::memoryMapOk() {
    Editor e(false);
    QVERIFY(e.Active());
    e.program(1, "145");
    e.w->OpenMemoryMap();
    auto* map = e.w->findChild<frmMemoryMap*>();
    QVERIFY(map);
    map->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(map));
    auto* table = map->findChild<QTableWidget*>("msgMemory");
    const QRect r = table->visualItemRect(table->item(0, 10));  // name bytes of channel 1
    QTest::mouseClick(table->viewport(), Qt::LeftButton, {}, r.center());
    auto* editor = map->findChild<QLineEdit*>("txtMemory");
    QVERIFY(editor->isVisible());
    QTest::keyClicks(editor, "00");
    QTest::mouseClick(map->findChild<QPushButton*>("CmdOK"), Qt::LeftButton);
    QCOMPARE(e.f.state.Image[10], 0x00);
    QVERIFY(e.cell(1, colName) != "");
    // The channel typed in the grid while the map was open is kept.
    QCOMPARE(e.cell(1, colRxFreq), std::string("145.00000"));
    QCOMPARE(e.caption("miUndo"), QStringLiteral("&Undo Memory Map"));
    e.w->Dispatch("miUndo");
    QCOMPARE(e.cell(1, colName), std::string());
    QCOMPARE(e.cell(1, colRxFreq), std::string("145.00000"));
    QVERIFY(e.f.state.Image[10] != 0x00);
}

void TestUndo::openStartsANewHistory() {
    Editor e;
    QVERIFY(e.Active());
    e.program(1, "145");
    const std::string path = e.f.dir.filePath("a.dat").toStdString();
    e.f.files.saveAnswers.push_back(path);
    e.w->Dispatch("miSave");
    QVERIFY(QFile::exists(QString::fromStdString(path)));
    QVERIFY(e.w->windowTitle().endsWith(QString::fromStdString(path) + "]"));
    QVERIFY(e.tool("miEdit", "miUndo")->isEnabled());
    e.f.files.openAnswers.push_back(path);
    e.w->Dispatch("miOpen");
    QVERIFY(!e.tool("miEdit", "miUndo")->isEnabled());
    QCOMPARE(e.stack()->count(), 0);
    // Edit, Read from Radio, undo both: the image is the file's again, and
    // Open asks nothing before its (cancelled) dialog.
    e.program(3, "147");
    e.f.main->windowHook = [&](const QString&) {
        CodeplugImage radio = Module1().Image;
        radio[ChannelOffset(5)] = 0x05;
        ApplyReadImage(e.f.state, radio);
        e.w->RefreshChannel();
        return true;
    };
    e.w->Dispatch("miRead");
    e.key(Qt::Key_Z, Qt::ControlModifier);
    e.key(Qt::Key_Z, Qt::ControlModifier);
    e.w->Dispatch("miOpen");
    QVERIFY(e.f.boxes.shown.empty());
    // A cancelled Open keeps the history.
    e.program(2, "146");
    e.f.boxes.Answer(MsgAnswer::No);
    e.w->Dispatch("miOpen");
    QCOMPARE(e.stack()->count(), 1);
}

void TestUndo::languageBetweenStepAndUndo() {
    Editor e;
    QVERIFY(e.Active());
    e.program(1, "145");
    e.click(1, colPower);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Down);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
    QCOMPARE(e.cell(1, colPower), std::string("Mid"));
    e.w->Dispatch("miChinese");
    QCOMPARE(e.caption("miUndo"), QStringLiteral("撤销单元格编辑(&U)"));
    e.w->Dispatch("miUndo");
    QCOMPARE(e.cell(1, colPower), std::string("高"));  // in the language of now
    e.w->Dispatch("miUndo");
    QCOMPARE(e.cell(1, colRxFreq), std::string());
    e.w->Dispatch("miRedo");
    e.w->Dispatch("miRedo");
    QCOMPARE(e.cell(1, colPower), std::string("中"));
    QCOMPARE(int(e.f.state.Image[ChannelOffset(1) + 8] & 3), 1);
}

void TestUndo::keepsAThousandSteps() {
    Editor e;
    for (int i = 0; i < 1005; ++i)
        e.w->History().Step(3410, [&] { e.f.state.Image[ChannelOffset(1) + 10] = std::uint8_t(i); });
    QCOMPARE(e.stack()->count(), 1000);
}

QTEST_MAIN(TestUndo)
#include "tst_undo.moc"
