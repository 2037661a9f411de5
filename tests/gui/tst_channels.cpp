// The channel editor inside the main window, driven by real keys and clicks.
#include <QAbstractItemView>
#include <QComboBox>
#include <QLineEdit>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPushButton>
#include <QTableView>
#include <QtTest>

#include "channels/ChannelColumns.h"
#include "helpers/GridEditor.h"
#include "ui/CommandBar.h"

using namespace rm427;

using Editor = test::GridEditor;

class TestChannels : public QObject {
    Q_OBJECT
private slots:
    void clickOnEmptyChannelOpensReceive();
    void typingStartsAChannel();
    void emptyingTransmitShowsTheReceiveFrequency();
    void outOfRangeShowsTheMessage();
    void escapeKeepsTheText();
    void nameEditing();
    void rejectedKeysKeepTheCell();
    void decimalComma();
    void channelNumbersStayInView();
    void listsAndTheirEnterMoves();
    void backgroundClickAndCommandsCommit();
    void languageSwitchRelabelsAndSavesTheSame();
    void closeHidesAndStores();
    void rowButtons();
    void channelNumberIsNeverCurrent();
    void listsOpenWithF4AndAltDown();
    void memoryMapShortcut();
    void leavingForAnotherChildStores();
};

void TestChannels::clickOnEmptyChannelOpensReceive() {
    Editor e;
    QVERIFY(e.Active());
    e.click(5, colBandwidth);
    QVERIFY(e.txt()->isVisible());
    QVERIFY(e.txt()->hasFocus());
    QCOMPARE(e.f.state.CurCHRow, 5);
    QCOMPARE(e.f.state.CurCHCol, int(colRxFreq));
    // The editor covers the receive cell of that row.
    const QRect cell = e.grid()->visualRect(e.grid()->model()->index(4, colRxFreq));
    QVERIFY(cell.contains(e.txt()->geometry().center()));
    QCOMPARE(e.txt()->maxLength(), 9);
    // Enter on an empty row's name goes to the receive frequency too.
    QTest::keyClick(e.txt(), Qt::Key_Escape);
    e.grid()->setCurrentIndex(e.grid()->model()->index(8, colName));
    QTest::keyClick(e.grid(), Qt::Key_Return);
    QVERIFY(e.txt()->isVisible());
    QCOMPARE(e.f.state.CurCHCol, int(colRxFreq));
}

void TestChannels::typingStartsAChannel() {
    Editor e;
    QVERIFY(e.Active());
    e.grid()->setFocus();
    e.grid()->setCurrentIndex(e.grid()->model()->index(2, colRxFreq));
    QTest::keyClick(e.grid(), Qt::Key_4);
    QVERIFY(e.txt()->isVisible());
    QCOMPARE(e.txt()->text(), QStringLiteral("4"));
    QCOMPARE(e.txt()->cursorPosition(), 1);
    QTest::keyClicks(e.txt(), "38x.5");  // the x is dropped
    QCOMPARE(e.txt()->text(), QStringLiteral("438.5"));
    QTest::keyClick(e.txt(), Qt::Key_Return);
    QVERIFY(!e.txt()->isVisible());
    QCOMPARE(e.cell(3, colRxFreq), std::string("438.50000"));
    // Enter moved one column to the right.
    QCOMPARE(e.f.state.CurCHCol, int(colTxFreq));
    QCOMPARE(e.grid()->currentIndex().column(), int(colTxFreq));
    // Keypad digits in the transmit cell of an empty row edit its receive cell.
    e.grid()->setCurrentIndex(e.grid()->model()->index(9, colTxFreq));
    QTest::keyClick(e.grid(), Qt::Key_1, Qt::KeypadModifier);
    QCOMPARE(e.f.state.CurCHCol, int(colRxFreq));
    QCOMPARE(e.txt()->text(), QStringLiteral("1"));
    QTest::keyClicks(e.txt(), "45.0060");
    QTest::keyClick(e.txt(), Qt::Key_Enter, Qt::KeypadModifier);
    QCOMPARE(e.cell(10, colRxFreq), std::string("145.00625"));
}

// The record cannot say "no transmit": an emptied transmit cell shows what
// the record now holds, and Enc. stays a list.
void TestChannels::emptyingTransmitShowsTheReceiveFrequency() {
    Editor e;
    QVERIFY(e.Active());
    e.program(2, "438.5");
    e.click(2, colTxFreq);
    QTest::keyClicks(e.txt(), "433.5");
    QTest::keyClick(e.txt(), Qt::Key_Return);
    QCOMPARE(e.cell(2, colTxFreq), std::string("433.50000"));
    e.click(2, colTxFreq);
    QTest::keyClick(e.txt(), Qt::Key_Delete);
    QTest::keyClick(e.txt(), Qt::Key_Return);
    QCOMPARE(e.cell(2, colTxFreq), std::string("438.50000"));
    QCOMPARE(e.cell(2, colEncode), std::string("None"));
    e.click(2, colEncode);
    QVERIFY(e.cbo(0)->isVisible());
}

void TestChannels::outOfRangeShowsTheMessage() {
    Editor e;
    QVERIFY(e.Active());
    e.program(1, "551");
    QCOMPARE(e.f.boxes.shown.size(), std::size_t(1));
    const MessageRequest& m = e.f.boxes.shown[0];
    QCOMPARE(m.text, std::string("Frequency is out of range."));
    QCOMPARE(m.title, std::string("RM-427"));
    QCOMPARE(int(m.icon), int(MsgIcon::Exclamation));
    QCOMPARE(int(m.buttons), int(MsgButtons::Ok));
    QCOMPARE(e.cell(1, colRxFreq), std::string("550.00000"));
    // In Chinese the message is too.
    e.w->Dispatch("miChinese");
    e.program(6, "600");
    QCOMPARE(e.f.boxes.Last()->text, std::string("频率超出范围。"));
}

void TestChannels::escapeKeepsTheText() {
    Editor e;
    QVERIFY(e.Active());
    e.program(1, "145");
    e.click(1, colRxFreq);
    QTest::keyClicks(e.txt(), "146");
    QTest::keyClick(e.txt(), Qt::Key_Escape);
    QVERIFY(!e.txt()->isVisible());
    QCOMPARE(e.cell(1, colRxFreq), std::string("145.00000"));
    QVERIFY(e.grid()->hasFocus());
    // ... also in a list.
    e.click(1, colPower);
    QVERIFY(e.cbo(2)->isVisible());
    QTest::keyClick(e.cbo(2), Qt::Key_Down);
    QTest::keyClick(e.cbo(2), Qt::Key_Escape);
    QCOMPARE(e.cell(1, colPower), std::string("High"));
}

void TestChannels::nameEditing() {
    Editor e;
    QVERIFY(e.Active());
    e.program(127, "440");
    e.program(128, "441");
    e.grid()->setCurrentIndex(e.grid()->model()->index(126, colName));
    e.grid()->setFocus();
    QTest::keyClick(e.grid(), Qt::Key_A);
    QCOMPARE(e.txt()->text(), QStringLiteral("A"));
    QCOMPARE(e.txt()->maxLength(), 5);
    QTest::keyClicks(e.txt(), "b-!1z9");  // "!" is no name character; five at most
    QCOMPARE(e.txt()->text(), QStringLiteral("AB-1Z"));
    QTest::keyClick(e.txt(), Qt::Key_Return);
    QCOMPARE(e.cell(127, colName), std::string("AB-1Z"));
    // Enter moved to the receive frequency of the next row.
    QCOMPARE(e.f.state.CurCHRow, 128);
    QCOMPARE(e.f.state.CurCHCol, int(colRxFreq));
    // On the last row Enter only closes the editor.
    e.click(128, colName);
    QTest::keyClicks(e.txt(), "end");
    QTest::keyClick(e.txt(), Qt::Key_Return);
    QVERIFY(!e.txt()->isVisible());
    QCOMPARE(e.cell(128, colName), std::string("END"));
    QCOMPARE(e.f.state.CurCHRow, 128);
    QCOMPARE(e.f.state.CurCHCol, int(colName));
    // A name typed on an empty channel goes into its record and shows until
    // the grid is filled again; then the row is empty like any empty channel.
    e.grid()->setCurrentIndex(e.grid()->model()->index(119, colName));
    QTest::keyClick(e.grid(), Qt::Key_Q);
    QTest::keyClick(e.txt(), Qt::Key_Return);
    QCOMPARE(e.cell(120, colName), std::string("Q"));
    QVERIFY(e.record(120)[10] != 0xFF);
    e.form->RefreshChannel();
    QCOMPARE(e.cell(120, colName), std::string());
    QVERIFY(e.record(120)[10] != 0xFF);
    // Other keys on the grid open nothing.
    e.grid()->setCurrentIndex(e.grid()->model()->index(127, colPower));
    QTest::keyClick(e.grid(), Qt::Key_7);
    QVERIFY(!e.txt()->isVisible());
    QCOMPARE(e.grid()->currentIndex().row(), 127);
}

// Opened with its text selected, a text box given only keys its column does
// not take (CharFilter: tst_seams) stores the cell as it was on Enter.
void TestChannels::rejectedKeysKeepTheCell() {
    Editor e;
    QVERIFY(e.Active());
    e.program(6, "145.5", "ab");
    const std::vector<std::uint8_t> before(e.record(6), e.record(6) + 14);
    for (int col : {int(colRxFreq), int(colTxFreq), int(colName)}) {
        e.click(6, col);
        QCOMPARE(e.txt()->selectedText(), e.txt()->text());
        QTest::keyClicks(e.txt(), "!?");
        QTest::keyClick(e.txt(), Qt::Key_Return);
        QVERIFY(std::equal(before.begin(), before.end(), e.record(6)));
    }
}

// A decimal comma typed on the grid opens the editor with the point.
void TestChannels::decimalComma() {
    Editor e;
    QVERIFY(e.Active());
    e.grid()->setCurrentIndex(e.grid()->model()->index(7, colRxFreq));
    e.grid()->setFocus();
    QTest::keyClick(e.grid(), ',');
    QCOMPARE(e.txt()->text(), QStringLiteral("."));
    QTest::keyClicks(e.txt(), "5");
    QTest::keyClick(e.txt(), Qt::Key_Escape);
    QVERIFY(e.cell(8, colRxFreq).empty());
}

void TestChannels::channelNumbersStayInView() {
    Editor e;
    QVERIFY(e.Active());
    const auto numbersShown = [&e] {
        return e.grid()->visualRect(e.grid()->model()->index(0, colChannel)).left() >= 0;
    };
    QVERIFY(numbersShown());
    e.program(3, "440");
    QVERIFY(numbersShown());
    // The name column may scroll the view sideways; Enter moves back to the
    // receive column of the next row, and the numbers come back with it.
    e.click(3, colName);
    QTest::keyClicks(e.txt(), "abc");
    QTest::keyClick(e.txt(), Qt::Key_Return);
    QCOMPARE(e.f.state.CurCHCol, int(colRxFreq));
    QTRY_VERIFY(numbersShown());

    // At its own size the window shows every column: End keeps the numbers.
    for (int language : {0, 1}) {
        Module1 state;
        state.Language = static_cast<std::uint8_t>(language);
        test::ScriptedMessageBoxes boxes;
        gui::ChannelForm alone(state, boxes, nullptr);
        alone.show();
        QVERIFY(QTest::qWaitForWindowExposed(&alone));
        QTest::keyClick(alone.Grid(), Qt::Key_End);
        QCOMPARE(state.CurCHCol, int(colName));
        QCOMPARE(alone.Grid()->columnViewportPosition(colChannel), 0);
    }
}

// Enter in a list takes the item and moves on: to the next column, from
// OPTION to the name.
void TestChannels::listsAndTheirEnterMoves() {
    Editor e;
    QVERIFY(e.Active());
    e.program(1, "145");
    e.click(1, colDecode);
    QVERIFY(e.cbo(0)->isVisible());
    QCOMPARE(e.cbo(0)->currentText(), QStringLiteral("None"));
    for (int i = 0; i < 9; ++i) QTest::keyClick(e.cbo(0), Qt::Key_Down);
    QTest::keyClick(e.cbo(0), Qt::Key_Return);
    QVERIFY(!e.cbo(0)->isVisible());
    QCOMPARE(e.cell(1, colDecode), std::string("88.5"));
    QCOMPARE(e.f.state.CurCHCol, int(colEncode));
    e.grid()->setCurrentIndex(e.grid()->model()->index(0, colPower));
    // Enter on the grid opens the list; the lists share widgets, their items
    // rewritten for each column.
    QTest::keyClick(e.grid(), Qt::Key_Return);
    QTest::keyClick(e.cbo(2), Qt::Key_Down);
    QTest::keyClick(e.cbo(2), Qt::Key_Return);
    QCOMPARE(e.cell(1, colPower), std::string("Mid"));
    QCOMPARE(e.f.state.CurCHCol, int(colBandwidth));
    QTest::keyClick(e.grid(), Qt::Key_Return);
    QTest::keyClick(e.cbo(1), Qt::Key_Down);
    QTest::keyClick(e.cbo(1), Qt::Key_Return);
    QTest::keyClick(e.grid(), Qt::Key_Return);
    QCOMPARE(e.cbo(1)->currentText(), QStringLiteral("Yes"));
    QTest::keyClick(e.cbo(1), Qt::Key_Return);
    QCOMPARE(e.cell(1, colBandwidth), std::string("Narrow"));
    QCOMPARE(e.f.state.CurCHCol, int(colBeatShift));
    QTest::keyClick(e.grid(), Qt::Key_Return);
    QTest::keyClick(e.cbo(2), Qt::Key_Up);  // already first
    QTest::keyClick(e.cbo(2), Qt::Key_End);
    QTest::keyClick(e.cbo(2), Qt::Key_Return);
    QCOMPARE(e.cell(1, colBeatShift), std::string("Beat Shift2"));
    e.click(1, colOption);
    QTest::keyClick(e.cbo(2), Qt::Key_Return);
    QCOMPARE(e.f.state.CurCHCol, int(colName));
    e.click(1, colEncode);
    QTest::keyClick(e.cbo(0), Qt::Key_End);
    QTest::keyClick(e.cbo(0), Qt::Key_Return);
    QCOMPARE(e.cell(1, colEncode), std::string("D754I"));
    QCOMPARE(e.f.state.CurCHCol, int(colPower));
}

void TestChannels::backgroundClickAndCommandsCommit() {
    Editor e;
    QVERIFY(e.Active());
    e.click(1, colRxFreq);
    QTest::keyClicks(e.txt(), "145.125");
    // A click on the background panel commits.
    const QPoint below(e.form->Picture1()->width() / 2,
                       e.form->findChild<QPushButton*>("CmdCHUp")->geometry().bottom() + 30);
    QTest::mouseClick(e.form->Picture1(), Qt::LeftButton, {}, below);
    QVERIFY(!e.txt()->isVisible());
    QCOMPARE(e.cell(1, colRxFreq), std::string("145.12500"));
    // A committed cell is in the image at once.
    QCOMPARE(int(e.record(1)[0]), 0x05);
    // Print and Read from Radio commit an open editor first.
    for (const char* command : {"miPrint", "miRead"}) {
        e.click(2, colRxFreq);
        QTest::keyClicks(e.txt(), command[2] == 'P' ? "146" : "147");
        e.w->Dispatch(command);
        QVERIFY(!e.txt()->isVisible());
        QCOMPARE(e.cell(2, colRxFreq).substr(0, 3), std::string(command[2] == 'P' ? "146" : "147"));
    }
    QCOMPARE(e.f.opened.count("frmClone"), 1);
}

// Captions, cells and lists follow the language; the bytes do not change.
void TestChannels::languageSwitchRelabelsAndSavesTheSame() {
    Editor e;
    QVERIFY(e.Active());
    QCOMPARE(e.form->windowTitle(), QStringLiteral("Channel Information"));
    e.program(1, "145.5");
    e.click(1, colOption);
    QTest::keyClick(e.cbo(2), Qt::Key_End);
    QTest::keyClick(e.cbo(2), Qt::Key_Return);
    const std::vector<std::uint8_t> before(e.record(1), e.record(1) + 14);
    e.w->Dispatch("miChinese");
    QCOMPARE(e.form->windowTitle(), QStringLiteral("信道信息"));
    QCOMPARE(e.grid()->model()->headerData(1, Qt::Horizontal).toString(), QStringLiteral("接收频率"));
    QCOMPARE(e.form->findChild<QPushButton*>("Command1")->text(), QStringLiteral("关闭(&C)"));
    QCOMPARE(e.cell(1, colOption), std::string("扰频"));
    // The beat shift column is wide enough for its longest text in each language.
    for (int lang : {0, 1})
        for (const std::string& t : ChoiceTexts(lang, colBeatShift))
            QVERIFY(e.grid()->columnWidth(colBeatShift) >
                    e.grid()->fontMetrics().horizontalAdvance(QString::fromStdString(t)));
    e.click(1, colBCL);
    QCOMPARE(e.cbo(1)->itemText(1), QStringLiteral("开"));
    QTest::keyClick(e.cbo(1), Qt::Key_Return);
    QVERIFY(std::equal(before.begin(), before.end(), e.record(1)));
    e.w->Dispatch("miEnglish");
    QCOMPARE(e.cell(1, colOption), std::string("Scramble"));
    QVERIFY(std::equal(before.begin(), before.end(), e.record(1)));
}

void TestChannels::closeHidesAndStores() {
    Editor e;
    QVERIFY(e.Active());
    auto& bar = e.w->Bar();
    QMdiSubWindow* sub = qobject_cast<QMdiSubWindow*>(e.form->parentWidget());
    QVERIFY(sub);
    e.click(1, colRxFreq);
    QTest::keyClicks(e.txt(), "145");
    QTest::mouseClick(e.form->findChild<QPushButton*>("Command1"), Qt::LeftButton);
    QVERIFY(!sub->isVisible());
    QVERIFY(!bar.ToolCheck("miProgram", "miCH-Information"));
    QCOMPARE(int(e.record(1)[0]), 0x05);
    // The close box of the child window does the same; the window survives.
    sub->close();
    QVERIFY(!sub->isVisible());
    QVERIFY(e.w->Channels() == e.form);
    e.w->Dispatch("miCH-Information");
    QVERIFY(sub->isVisible());
    // The toggle hides it too.
    e.w->Dispatch("miCH-Information");
    QVERIFY(!sub->isVisible());
    QVERIFY(!bar.ToolCheck("miProgram", "miCH-Information"));
}

void TestChannels::rowButtons() {
    Editor e;
    QVERIFY(e.Active());
    e.program(1, "145");
    e.program(2, "146");
    e.click(1, colName);
    QTest::keyClicks(e.txt(), "ONE");
    QTest::mouseClick(e.form->findChild<QPushButton*>("CmdCHDown"), Qt::LeftButton);
    // The open editor was committed first, then rows 1 and 2 swapped; the
    // highlighted row moved with the channel.
    QCOMPARE(e.cell(2, colName), std::string("ONE"));
    QCOMPARE(e.cell(1, colRxFreq), std::string("146.00000"));
    QCOMPARE(e.f.state.CurCHRow, 2);
    QCOMPARE(e.grid()->currentIndex().row(), 1);
    QCOMPARE(e.grid()->currentIndex().column(), int(colName));
    QTest::mouseClick(e.form->findChild<QPushButton*>("CmdCHUp"), Qt::LeftButton);
    QCOMPARE(e.cell(1, colName), std::string("ONE"));
    QCOMPARE(e.grid()->currentIndex().row(), 0);  // CH Del: tst_undo
    // The arrow keys move in the grid again.
    QCOMPARE(e.w->focusWidget(), static_cast<QWidget*>(e.grid()));
}

// Home, Ctrl+Home, Left and a click on the channel number all end on the
// receive frequency; the click opens no editor.
void TestChannels::channelNumberIsNeverCurrent() {
    Editor e;
    QVERIFY(e.Active());
    e.program(4, "145");
    e.grid()->setFocus();
    e.grid()->setCurrentIndex(e.grid()->model()->index(3, colPower));
    QTest::keyClick(e.grid(), Qt::Key_Home);
    QCOMPARE(e.grid()->currentIndex().column(), int(colRxFreq));
    QCOMPARE(e.f.state.CurCHRow, 4);
    QTest::keyClick(e.grid(), Qt::Key_Left);
    QCOMPARE(e.grid()->currentIndex().column(), int(colRxFreq));
    QTest::keyClick(e.grid(), Qt::Key_Home, Qt::ControlModifier);
    QCOMPARE(e.grid()->currentIndex().row(), 0);
    QCOMPARE(e.f.state.CurCHCol, int(colRxFreq));
    e.click(4, colChannel);
    QCOMPARE(e.f.state.CurCHRow, 4);
    QCOMPARE(e.f.state.CurCHCol, int(colRxFreq));
    QVERIFY(!e.txt()->isVisible());
    QCOMPARE(e.cell(4, colRxFreq), std::string("145.00000"));
}

// F4 and Alt+Down open a list's items, from the grid as from the open
// list; what is picked there is taken.
void TestChannels::listsOpenWithF4AndAltDown() {
    Editor e;
    QVERIFY(e.Active());
    e.program(5, "145");
    for (const bool fromGrid : {true, false})
        for (const auto& [key, mods] :
             {std::pair{Qt::Key_F4, Qt::KeyboardModifiers()},
              std::pair{Qt::Key_Down, Qt::KeyboardModifiers(Qt::AltModifier)}}) {
            e.click(5, colPower);
            QVERIFY(e.cbo(2)->isVisible());
            if (fromGrid) QTest::keyClick(e.cbo(2), Qt::Key_Escape);
            QTest::keyClick(fromGrid ? static_cast<QWidget*>(e.grid()) : e.cbo(2), key, mods);
            QTRY_VERIFY(e.cbo(2)->view()->isVisible());
            QVERIFY(e.cbo(2)->isVisible());
            QTest::keyClick(e.cbo(2)->view(), Qt::Key_Down);
            QTest::keyClick(e.cbo(2)->view(), Qt::Key_Return);
            QTRY_VERIFY(!e.cbo(2)->view()->isVisible());
            QVERIFY(e.cbo(2)->isVisible());
            QTest::keyClick(e.cbo(2), Qt::Key_Return);
            QVERIFY(!e.cbo(2)->isVisible());
        }
    QCOMPARE(e.cell(5, colPower), std::string("Low"));  // High -> Mid -> Low
}

void TestChannels::memoryMapShortcut() {
    Editor e;
    QVERIFY(e.Active());
    e.program(1, "145");
    QPushButton* close = e.form->findChild<QPushButton*>("Command1");
    const auto all = Qt::ShiftModifier | Qt::ControlModifier | Qt::AltModifier;
    QTest::mouseClick(close, Qt::RightButton, Qt::ControlModifier | Qt::AltModifier);
    QVERIFY(e.f.opened.isEmpty());
    QTest::mouseClick(close, Qt::RightButton, all);
    QCOMPARE(e.f.opened, QStringList{"frmMemoryMap"});
    QVERIFY(e.form->isVisible());
}

// An editor left open is committed when another child window becomes active.
void TestChannels::leavingForAnotherChildStores() {
    Editor e;
    QVERIFY(e.Active());
    e.click(1, colRxFreq);
    QTest::keyClicks(e.txt(), "145");
    QCOMPARE(int(e.record(1)[0]), 0xFF);
    auto* other = e.w->MdiArea()->addSubWindow(new QWidget);
    other->show();
    e.w->MdiArea()->setActiveSubWindow(other);
    QTRY_COMPARE(int(e.record(1)[0]), 0x05);
}

QTEST_MAIN(TestChannels)
#include "tst_channels.moc"
