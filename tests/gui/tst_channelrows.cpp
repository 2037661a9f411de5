// The channel editor's commands on many rows: selection on the channel
// numbers, the context menu, the clipboard, insert/remove, block moves,
// sort, compact, find and the Delete key; each one undone.
#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QInputDialog>
#include <QLineEdit>
#include <QMenu>
#include <QMimeData>
#include <QPushButton>
#include <QRegularExpression>
#include <QTableView>
#include <QTreeWidget>
#include <QUndoStack>
#include <QtTest>

#include "helpers/GridEditor.h"
#include "shell/EditHistory.h"
#include "shell/frmImport.h"
#include "text/TextTable.h"

using namespace rm427;
using rm427::test::ShellFixture;

namespace {

struct Editor : test::GridEditor {
    void undo() { QTest::keyClick(grid(), Qt::Key_Z, Qt::ControlModifier); }
    std::vector<std::string> rx(int n) const {
        std::vector<std::string> out;
        for (int r = 1; r <= n; ++r) out.push_back(cell(r, colRxFreq).substr(0, 3));
        return out;
    }
    // Picks the context menu entry `text` over (row, col) with the mouse
    // button and the keyboard, as a user would.
    // With a key (Menu, Shift+F10) the menu opens on the current cell.
    void menu(int row, int col, int text, QKeyCombination key = {}) {
        const QPoint p = at(row, col);
        if (key.key() != Qt::Key_unknown) {
            grid()->setCurrentIndex(grid()->indexAt(p));
            QTest::keyClick(grid(), key.key(), key.keyboardModifiers());
        } else QMetaObject::invokeMethod(grid(), "customContextMenuRequested", Q_ARG(QPoint, p));
        QMenu* m = form->ContextMenu();
        QTRY_VERIFY(m->isVisible());
        for (QAction* a : m->actions())
            if (a->data().toInt() == text) {
                m->setActiveAction(a);
                QTest::keyClick(m, Qt::Key_Return);
                break;
            }
        QTRY_VERIFY(!m->isVisible());
    }
};

}  // namespace

class TestChannelRows : public QObject {
    Q_OBJECT
private slots:
    void selectRowsByNumbersAndKeys();
    void copyCutPasteThroughTheClipboard();
    void pasteFromASpreadsheetAndARepeaterList();
    void pasteOfManyRowsAsksInThePreview();
    void insertAsksBeforeTheLastChannelFallsOff();
    void removeAndBlockMoves();
    void sortAndCompact();
    void findAndFindNext();
    void deleteKeyEmptiesByTheColumnsRule();
    void movingTheCurrentCellSelectsItAlone();
};

void TestChannelRows::selectRowsByNumbersAndKeys() {
    Editor e;
    QVERIFY(e.Active());
    e.click(3, colChannel);
    QCOMPARE(e.form->SelectedChannels(), (std::vector<int>{3}));
    QVERIFY(!e.txt()->isVisible());  // a number opens no editor
    e.click(5, colChannel, Qt::ShiftModifier);
    QCOMPARE(e.form->SelectedChannels(), (std::vector<int>{3, 4, 5}));
    e.click(8, colChannel, Qt::ControlModifier);
    QCOMPARE(e.form->SelectedChannels(), (std::vector<int>{3, 4, 5, 8}));
    e.click(4, colChannel, Qt::ControlModifier);
    QCOMPARE(e.form->SelectedChannels(), (std::vector<int>{3, 5, 8}));

    // A drag over the numbers.
    QTest::mousePress(e.grid()->viewport(), Qt::LeftButton, {}, e.at(10, colChannel));
    QMouseEvent move(QEvent::MouseMove, e.at(13, colChannel),
                     e.grid()->viewport()->mapToGlobal(e.at(13, colChannel)), Qt::NoButton,
                     Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(e.grid()->viewport(), &move);
    QTest::mouseRelease(e.grid()->viewport(), Qt::LeftButton, {}, e.at(13, colChannel));
    QCOMPARE(e.form->SelectedChannels(), (std::vector<int>{10, 11, 12, 13}));

    // Shift+arrows from a cell.
    e.click(20, colRxFreq);
    QTest::keyClick(e.txt(), Qt::Key_Escape);
    e.key(Qt::Key_Down, Qt::ShiftModifier);
    e.key(Qt::Key_Down, Qt::ShiftModifier);
    QCOMPARE(e.form->SelectedChannels(), (std::vector<int>{20, 21, 22}));
    e.key(Qt::Key_Up, Qt::ShiftModifier);
    QCOMPARE(e.form->SelectedChannels(), (std::vector<int>{20, 21}));
    QCOMPARE(e.f.state.CurCHRow, 21);
}

void TestChannelRows::copyCutPasteThroughTheClipboard() {
    Editor e;
    QVERIFY(e.Active());
    e.program(1, "145", "ONE");
    e.program(3, "438.125", "THREE");
    e.click(1, colChannel);
    e.click(3, colChannel, Qt::ShiftModifier);
    e.key(Qt::Key_C, Qt::ControlModifier);
    const QMimeData* mime = QGuiApplication::clipboard()->mimeData();
    const QStringList lines = mime->text().split('\n', Qt::SkipEmptyParts);
    QCOMPARE(lines.size(), 4);  // titles and three channels, the empty one too
    QCOMPARE(lines[1].split('\t').size(), 13);
    QCOMPARE(lines[1].split('\t')[12], QStringLiteral("ONE"));
    QVERIFY(mime->hasFormat("text/csv"));
    QVERIFY(mime->data("text/csv").startsWith("Channel,RxFreq"));

    e.click(10, colChannel);
    e.key(Qt::Key_V, Qt::ControlModifier);
    QCOMPARE(e.cell(10, colName), std::string("ONE"));
    QVERIFY(e.cell(11, colRxFreq).empty());
    QCOMPARE(e.cell(12, colRxFreq), std::string("438.12500"));
    QCOMPARE(e.form->SelectedChannels(), (std::vector<int>{10, 11, 12}));
    e.undo();
    QVERIFY(e.cell(10, colRxFreq).empty());
    QVERIFY(e.cell(12, colRxFreq).empty());

    // Cut empties the channels and can be pasted elsewhere; both undo.
    e.click(1, colChannel);
    e.key(Qt::Key_X, Qt::ControlModifier);
    QVERIFY(e.cell(1, colRxFreq).empty());
    e.click(50, colChannel);
    e.key(Qt::Key_V, Qt::ControlModifier);
    QCOMPARE(e.cell(50, colName), std::string("ONE"));
    e.undo();
    e.undo();
    QCOMPARE(e.cell(1, colName), std::string("ONE"));
    QVERIFY(e.cell(50, colRxFreq).empty());

    // Without the CSV, the tab-separated text alone pastes the same.
    QGuiApplication::clipboard()->setText(lines.join('\n'));
    e.click(100, colChannel);
    e.key(Qt::Key_V, Qt::ControlModifier);
    QCOMPARE(e.cell(102, colName), std::string("THREE"));
    QVERIFY(e.f.boxes.shown.empty());
}

void TestChannelRows::pasteFromASpreadsheetAndARepeaterList() {
    Editor e;
    QVERIFY(e.Active());
    // A spreadsheet column with one bad line: the summary asks first.
    QGuiApplication::clipboard()->setText("145.5\n900\n146\n");
    e.click(5, colChannel);
    e.f.boxes.Answer(MsgAnswer::Cancel);
    e.key(Qt::Key_V, Qt::ControlModifier);
    QCOMPARE(e.f.boxes.shown.size(), size_t(1));
    QVERIFY(e.f.boxes.Last()->text.find("line 2") != std::string::npos);
    QVERIFY(e.f.boxes.Last()->text.find("2 channels pasted. 1 line skipped.") != std::string::npos);
    QVERIFY(e.cell(5, colRxFreq).empty());  // cancelled: nothing changed
    e.f.boxes.Answer(MsgAnswer::Ok);
    e.key(Qt::Key_V, Qt::ControlModifier);
    QCOMPARE(e.cell(6, colRxFreq), std::string("146.00000"));

    const char* list =
        "Location,Name,Frequency,Duplex,Offset,Tone,rToneFreq,cToneFreq,DtcsCode,DtcsPolarity,Mode,"
        "TStep,Skip,Power,Comment\n"
        "1,RPT,145.600000,-,0.600000,Tone,88.5,88.5,023,NN,FM,5.00,,High,\n"
        "2,SPX,145.500000,,0.000000,,88.5,88.5,023,NN,NFM,5.00,S,Low,\n";
    QGuiApplication::clipboard()->setText(QString::fromLatin1(list));
    e.click(127, colChannel);
    e.f.boxes.Clear();
    e.key(Qt::Key_V, Qt::ControlModifier);
    QCOMPARE(e.cell(127, colTxFreq), std::string("145.00000"));
    QCOMPARE(e.cell(128, colName), std::string("SPX"));

    // The list pasted on the (empty) last channel: one does not fit, and is said so.
    e.undo();
    e.click(128, colChannel);
    e.f.boxes.Answer(MsgAnswer::Ok);
    e.key(Qt::Key_V, Qt::ControlModifier);
    QVERIFY(e.f.boxes.Last()->text.find("1 channel did not fit") != std::string::npos);
    QCOMPARE(e.cell(128, colName), std::string("RPT"));

    // Nothing usable on the clipboard.
    QGuiApplication::clipboard()->setText("hello");
    e.key(Qt::Key_V, Qt::ControlModifier);
    QCOMPARE(e.f.boxes.Last()->text, std::string("The clipboard holds no channels."));

    // English rows in the Chinese interface: the choices mean what they say,
    // and the summary of the one line that needed a change is all Chinese.
    e.w->Dispatch("miChinese");
    QGuiApplication::clipboard()->setText(
        "433.5\t438.5\t88.5\t88.5\tLow\tNarrow\tNo\tOff\tOn\tOff\tOff\tSHEET\n"
        "434\t\tNone\tNone\tlow\tnarrow\tyes\t2\toff\ton\tCompand\tAB!\n");
    e.click(20, colChannel);
    e.f.boxes.Answer(MsgAnswer::Ok);
    e.key(Qt::Key_V, Qt::ControlModifier);
    const std::pair<int, int> taken[] = {{colPower, powerLow},
                                         {colBandwidth, bandwidthNarrow},
                                         {colScanAdd, scanAddNo},
                                         {colBCL, choiceOn}};
    for (const auto& [col, choice] : taken) QCOMPARE(e.cell(20, col), ChoiceText(1, col, choice));
    QCOMPARE(e.cell(21, colDecode), LoadText(1, 1137));
    const QString summary = QString::fromStdString(e.f.boxes.Last()->text);
    QVERIFY2(summary.startsWith(QStringLiteral("已粘贴 2 个信道。\n第 2 行：")) &&
                 !summary.contains(QRegularExpression("[a-z]")),
             qPrintable(summary));

    // Rows in either CSV layout: their notes are Chinese too, and so is a refusal.
    for (const char* csv : {"Channel,RxFreq,Name\n30,145.5031,LONGNAME\n",
                            "Location,Name,Frequency,Mode\n1,LONGNAME,145.5,FM\n2,AIR,128.0,AM\n",
                            "Channel,RxFreq\n30,\n"}) {
        QGuiApplication::clipboard()->setText(QString::fromLatin1(csv));
        e.f.boxes.Answer(MsgAnswer::Cancel);
        e.key(Qt::Key_V, Qt::ControlModifier);
        const QString said = QString::fromStdString(e.f.boxes.Last()->text);
        QVERIFY2(
            said.contains(QStringLiteral("第 2 行：")) && !said.contains(QRegularExpression("[a-z]")),
            qPrintable(said));
    }
}

// Six rows from a spreadsheet over a programmed channel: the preview first;
// Escape changes nothing, Enter stores them as one undo step.
void TestChannelRows::pasteOfManyRowsAsksInThePreview() {
    Editor e;
    QVERIFY(e.Active());
    e.program(3, "147");
    QGuiApplication::clipboard()->setText("145\n146\n148\n149\n150\n151\n");
    e.click(1, colChannel);
    const std::vector<std::string> before = e.rx(7);
    for (const Qt::Key k : {Qt::Key_Escape, Qt::Key_Return}) {
        QString shown;
        ShellFixture::OnModal([&shown, k](QWidget* d) {
            auto* p = qobject_cast<gui::frmImport*>(d);
            QVERIFY(p);
            shown = p->windowTitle() + ' ' + p->List()->topLevelItem(2)->text(2);
            QTest::keyClick(p->List(), k);
        });
        e.key(Qt::Key_V, Qt::ControlModifier);
        QCOMPARE(shown, QStringLiteral("Paste Channels Changed"));
        if (k == Qt::Key_Escape) QCOMPARE(e.rx(7), before);
    }
    QCOMPARE(e.rx(7), (std::vector<std::string>{"145", "146", "148", "149", "150", "151", ""}));
    e.w->Dispatch("miUndo");  // (offscreen, the closed preview leaves no window active)
    QCOMPARE(e.rx(7), before);
}

void TestChannelRows::insertAsksBeforeTheLastChannelFallsOff() {
    Editor e;
    QVERIFY(e.Active());
    e.program(1, "145");
    e.program(2, "146");
    e.click(1, colChannel);
    e.key(Qt::Key_Insert);
    QVERIFY(e.cell(1, colRxFreq).empty());
    QCOMPARE(e.rx(3), (std::vector<std::string>{"", "145", "146"}));
    QVERIFY(e.f.boxes.shown.empty());
    e.undo();
    QCOMPARE(e.rx(2), (std::vector<std::string>{"145", "146"}));

    e.program(128, "150");
    e.click(2, colChannel);
    e.f.boxes.Answer(MsgAnswer::Cancel);
    e.menu(2, colRxFreq, 3424);
    QCOMPARE(e.f.boxes.shown.size(), size_t(1));
    QCOMPARE(e.f.boxes.Last()->text,
             std::string("Channel 128 is programmed and will be lost. Insert anyway?"));
    QCOMPARE(e.cell(128, colRxFreq), std::string("150.00000"));
    e.f.boxes.Answer(MsgAnswer::Ok);
    e.menu(2, colRxFreq, 3424);
    QVERIFY(e.cell(128, colRxFreq).empty());
    QCOMPARE(e.cell(3, colRxFreq), std::string("146.00000"));
    e.undo();
    QCOMPARE(e.cell(128, colRxFreq), std::string("150.00000"));
}

void TestChannelRows::removeAndBlockMoves() {
    Editor e;
    QVERIFY(e.Active());
    for (int r = 1; r <= 5; ++r) e.program(r, QByteArray::number(140 + r).constData());
    e.click(2, colChannel);
    e.click(3, colChannel, Qt::ShiftModifier);
    e.menu(2, colRxFreq, 3425);  // Remove Channel
    QCOMPARE(e.rx(5), (std::vector<std::string>{"141", "144", "145", "", ""}));
    e.undo();
    QCOMPARE(e.rx(5), (std::vector<std::string>{"141", "142", "143", "144", "145"}));

    // CH Down moves the selected block, which stays selected.
    e.click(2, colChannel);
    e.click(3, colChannel, Qt::ShiftModifier);
    QTest::mouseClick(e.form->findChild<QPushButton*>("CmdCHDown"), Qt::LeftButton);
    QCOMPARE(e.rx(5), (std::vector<std::string>{"141", "144", "142", "143", "145"}));
    QCOMPARE(e.form->SelectedChannels(), (std::vector<int>{3, 4}));
    e.key(Qt::Key_Up, Qt::ControlModifier);
    e.key(Qt::Key_Up, Qt::ControlModifier);
    e.key(Qt::Key_Up, Qt::ControlModifier);  // at the top: nothing more
    QCOMPARE(e.rx(5), (std::vector<std::string>{"142", "143", "141", "144", "145"}));
    e.undo();  // the last move that did move
    QCOMPARE(e.rx(5), (std::vector<std::string>{"141", "142", "143", "144", "145"}));
}

// The orders themselves are channelrowops_test's; the menu reaches them.
void TestChannelRows::sortAndCompact() {
    Editor e;
    QVERIFY(e.Active());
    e.program(1, "446");
    e.program(3, "138");
    e.program(4, "145");
    e.menu(1, colRxFreq, 3427, Qt::SHIFT | Qt::Key_F10);  // descending, by the receive column
    QCOMPARE(e.rx(4), (std::vector<std::string>{"446", "145", "138", ""}));
    e.undo();
    e.menu(1, colRxFreq, 3428, QKeyCombination(Qt::Key_Menu));  // Compact
    QCOMPARE(e.rx(4), (std::vector<std::string>{"446", "138", "145", ""}));
    e.undo();
    QCOMPARE(e.rx(4), (std::vector<std::string>{"446", "", "138", "145"}));
}

void TestChannelRows::findAndFindNext() {
    Editor e;
    QVERIFY(e.Active());
    e.program(2, "145.5", "HOME");
    e.program(9, "438", "RPT");
    e.click(1, colChannel);
    ShellFixture::OnModal([](QWidget* dialog) {
        auto* ask = qobject_cast<QInputDialog*>(dialog);
        QVERIFY(ask);
        QTest::keyClicks(ask->findChild<QLineEdit*>(), "rpt");
        QTest::keyClick(ask->findChild<QLineEdit*>(), Qt::Key_Return);
    });
    e.key(Qt::Key_F, Qt::ControlModifier);
    QCOMPARE(e.f.state.CurCHRow, 9);
    QCOMPARE(e.f.state.CurCHCol, int(colName));
    ShellFixture::OnModal([](QWidget* dialog) {
        auto* edit = dialog->findChild<QLineEdit*>();
        edit->selectAll();
        QTest::keyClicks(edit, "145.5");
        QTest::keyClick(edit, Qt::Key_Return);
    });
    e.key(Qt::Key_F, Qt::ControlModifier);
    QCOMPARE(e.f.state.CurCHRow, 2);
    QCOMPARE(e.f.state.CurCHCol, int(colRxFreq));
    e.key(Qt::Key_F3);
    QCOMPARE(e.f.state.CurCHCol, int(colTxFreq));
    QVERIFY(e.f.boxes.shown.empty());
    ShellFixture::OnModal([](QWidget* dialog) {
        auto* edit = dialog->findChild<QLineEdit*>();
        edit->selectAll();
        QTest::keyClicks(edit, "777");
        QTest::keyClick(edit, Qt::Key_Return);
    });
    e.key(Qt::Key_F, Qt::ControlModifier);
    QCOMPARE(e.f.boxes.Last()->text, std::string("\"777\" was not found."));
    QCOMPARE(e.f.state.CurCHRow, 2);
}

void TestChannelRows::deleteKeyEmptiesByTheColumnsRule() {
    Editor e;
    QVERIFY(e.Active());
    e.program(2, "146", "TWO");
    e.program(3, "147", "TRE");
    // A list cell keeps its choice (the text cells' rules: below, and
    // channelcolumns_test TextBoxRules).
    e.click(3, colPower);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Escape);
    e.key(Qt::Key_Delete);
    QCOMPARE(e.cell(3, colPower), std::string("High"));
    // Whole rows: the receive rule empties the channels.
    e.click(2, colChannel);
    e.click(3, colChannel, Qt::ShiftModifier);
    e.key(Qt::Key_Delete);
    QVERIFY(e.cell(2, colName).empty());
    QVERIFY(e.cell(3, colRxFreq).empty());
    e.undo();
    QCOMPARE(e.cell(3, colName), std::string("TRE"));

    // A drag over cells selects them without opening an editor; Delete
    // then applies each column's rule: transmit and encoder go (the record
    // transmits on receive), the name goes, the rest stays.
    QTest::mousePress(e.grid()->viewport(), Qt::LeftButton, {}, e.at(2, colTxFreq));
    QMouseEvent move(QEvent::MouseMove, e.at(3, colName),
                     e.grid()->viewport()->mapToGlobal(e.at(3, colName)), Qt::NoButton, Qt::LeftButton,
                     Qt::NoModifier);
    QApplication::sendEvent(e.grid()->viewport(), &move);
    QTest::mouseRelease(e.grid()->viewport(), Qt::LeftButton, {}, e.at(3, colName));
    QVERIFY(!e.txt()->isVisible());
    e.key(Qt::Key_Delete);
    for (int r : {2, 3}) {
        QCOMPARE(e.cell(r, colRxFreq).substr(0, 3), std::string(r == 2 ? "146" : "147"));
        QCOMPARE(e.cell(r, colTxFreq), e.cell(r, colRxFreq));
        QCOMPARE(e.cell(r, colEncode), std::string("None"));
        QVERIFY(e.cell(r, colName).empty());
        QCOMPARE(e.cell(r, colPower), std::string("High"));
    }
}

// Down, End, Ctrl+Home, Delete empties channel 1 only; undo, redo and the
// undo of a change outside the grid leave the current cell as the one cell.
void TestChannelRows::movingTheCurrentCellSelectsItAlone() {
    Editor e;
    QVERIFY(e.Active());
    e.program(1, "145", "ONE");
    e.program(2, "146", "TWO");
    const auto onlyCurrent = [&] {
        return e.grid()->selectionModel()->selectedIndexes() ==
               QModelIndexList{e.grid()->currentIndex()};
    };
    e.f.main->windowHook = [&](const QString&) { return (e.f.state.Image[0xE91] ^= 1) || true; };
    for (int k : {Qt::Key_Up, Qt::Key_Up, Qt::Key_Down, Qt::Key_End}) e.key(k);
    e.key(Qt::Key_Home, Qt::ControlModifier);
    e.key(Qt::Key_Delete);
    QCOMPARE(e.cell(2, colName), std::string("TWO"));
    e.key(Qt::Key_End, Qt::ControlModifier);
    e.undo();
    QVERIFY(onlyCurrent());
    e.key(Qt::Key_Y, Qt::ControlModifier);
    QVERIFY(e.cell(1, colRxFreq).empty() && onlyCurrent());
    e.w->Dispatch("miFunctionSet");
    e.undo();
    QVERIFY(onlyCurrent());
}

QTEST_MAIN(TestChannelRows)
#include "tst_channelrows.moc"
