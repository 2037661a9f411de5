// The channel editor inside the main window, driven by real keys and clicks.
#include <cmath>

#include <QAbstractItemView>
#include <QAction>
#include <QClipboard>
#include <QComboBox>
#include <QHeaderView>
#include <QLineEdit>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPushButton>
#include <QTableView>
#include <QtTest>

#include "channels/ChannelColumns.h"
#include "channels/ChannelForm.h"
#include "channels/ChannelRecord.h"
#include "helpers/GridEditor.h"
#include "ui/CommandBar.h"

using namespace rm427;
using rm427::gui::ChannelForm;
using rm427::test::ShellFixture;

namespace {

struct Editor : test::GridEditor {
    QComboBox* cbo(int i) const { return form->CboChannel(i); }
    const std::uint8_t* record(int n) const { return &f.state.Image[ChannelOffset(n)]; }
};

}  // namespace

class TestChannels : public QObject {
    Q_OBJECT
private slots:
    void designSizes();
    void clickOnEmptyChannelOpensReceive();
    void typingStartsAChannelWithDefaults();
    void emptyingReceiveEmptiesTheRow();
    void emptyingTransmitAndTheEncoderRedirect();
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
    void batchInterface();
};

void TestChannels::designSizes() {
    Editor e;
    // The design widths; the beat shift column is wider where "Beat Shift2"
    // needs it, and the design width follows.
    const int beat = int(std::lround(e.form->ToTwipsX(e.grid()->columnWidth(8))));
    QVERIFY(beat >= 1080);
    QVERIFY(e.grid()->columnWidth(8) > e.grid()->fontMetrics().horizontalAdvance("Beat Shift2"));
    const int design = e.form->DesignWidthTwips();
    QVERIFY(qAbs(design - (15500 - 1080 + beat)) <= 15);
    QCOMPARE(e.form->width(), e.form->ToPixelsX(design + 300));
    QCOMPARE(e.form->height(), e.form->ToPixelsY(8800));
    QCOMPARE(e.grid()->model()->rowCount(), 128);
    QCOMPARE(e.grid()->model()->columnCount(), 13);
    QCOMPARE(e.grid()->columnWidth(0), e.form->ToPixelsX(600));
    QCOMPARE(e.grid()->columnWidth(3), e.form->ToPixelsX(1350));
    QCOMPARE(e.grid()->model()->headerData(1, Qt::Horizontal).toString(), QStringLiteral("Rx Freq"));
    QCOMPARE(e.grid()->model()->data(e.grid()->model()->index(127, 0)).toString(),
             QStringLiteral("128"));
    QCOMPARE(e.form->windowTitle(), QStringLiteral("Channel Information"));
    QCOMPARE(e.form->findChild<QPushButton*>("CmdCHDel")->text(), QStringLiteral("CH Del"));
    QCOMPARE(e.f.state.CurCHRow, 1);
    QCOMPARE(e.f.state.CurCHCol, 1);
    // A small window shrinks the grid; a large one shows its design size.
    e.form->resize(e.form->ToPixelsX(6000), e.form->ToPixelsY(5000));
    QCOMPARE(e.grid()->width(), e.form->ToPixelsX((e.form->ToTwipsX(e.form->width()) - 350) * 0.97));
    QCOMPARE(e.grid()->height(), e.form->ToPixelsY((e.form->ToTwipsY(e.form->height()) - 350) * 0.8));
    e.form->resize(e.form->ToPixelsX(design + 1500),
                   e.form->ToPixelsY(e.form->DesignHeightTwips() + 1000));
    QCOMPARE(e.grid()->width(), e.form->ToPixelsX(design));
    QCOMPARE(e.grid()->height(), e.form->ToPixelsY(e.form->DesignHeightTwips()));
    // Up to 16 channels there is no room for a scroll bar.
    Module1 small;
    small.CHCount = 16;
    test::ScriptedMessageBoxes boxes;
    ChannelForm alone(small, boxes, nullptr);
    QCOMPARE(alone.DesignWidthTwips(), design - 320);
    QCOMPARE(alone.Grid()->model()->rowCount(), 16);
}

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
    // A click on the channel number selects the channel as a row (for the
    // row commands) and opens no editor, even on an empty row.
    QTest::keyClick(e.txt(), Qt::Key_Escape);
    e.click(7, colChannel);
    QVERIFY(!e.txt()->isVisible());
    QCOMPARE(e.f.state.CurCHRow, 7);
    QCOMPARE(e.f.state.CurCHCol, int(colRxFreq));
    // Enter on an empty row's name goes to the receive frequency too.
    QTest::keyClick(e.txt(), Qt::Key_Escape);
    e.grid()->setCurrentIndex(e.grid()->model()->index(8, colName));
    QTest::keyClick(e.grid(), Qt::Key_Return);
    QVERIFY(e.txt()->isVisible());
    QCOMPARE(e.f.state.CurCHCol, int(colRxFreq));
}

void TestChannels::typingStartsAChannelWithDefaults() {
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
    const ChannelRow& r = e.form->Rows()[3];
    QCOMPARE(r[colRxFreq], std::string("438.50000"));
    QCOMPARE(r[colTxFreq], std::string("438.50000"));
    QCOMPARE(r[colDecode], std::string("None"));
    QCOMPARE(r[colEncode], std::string("None"));
    QCOMPARE(r[colPower], std::string("High"));
    QCOMPARE(r[colBandwidth], std::string("Wide"));
    QCOMPARE(r[colScanAdd], std::string("Yes"));
    QCOMPARE(r[colBeatShift], std::string("Off"));
    QCOMPARE(r[colBCL], std::string("Off"));
    QCOMPARE(r[colVOX], std::string("Off"));
    QCOMPARE(r[colOption], std::string("Off"));
    QCOMPARE(r[colName], std::string());
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
    // A transmit entry follows the raster of its own receive frequency.
    e.click(10, colTxFreq);
    QVERIFY(e.txt()->isVisible());
    QVERIFY(e.txt()->selectedText() == QStringLiteral("145.00625"));
    QTest::keyClicks(e.txt(), "145.0110");
    QTest::keyClick(e.txt(), Qt::Key_Return);
    QCOMPARE(e.cell(10, colTxFreq), std::string("145.01250"));
    // Stored as typed.
    e.w->SaveCHData();
    QCOMPARE(int(e.record(3)[0]), 0x11);  // 438.5 MHz: W = 4385 = 0x1121
    QCOMPARE(int(e.record(3)[1]), 0x21);
}

void TestChannels::emptyingReceiveEmptiesTheRow() {
    Editor e;
    QVERIFY(e.Active());
    e.program(4, "145.5");
    e.click(4, colName);
    QTest::keyClicks(e.txt(), "ab");
    QTest::keyClick(e.txt(), Qt::Key_Return);
    QCOMPARE(e.cell(4, colName), std::string("AB"));
    e.click(4, colRxFreq);
    QTest::keyClick(e.txt(), Qt::Key_Backspace);  // all text was selected
    QCOMPARE(e.txt()->text(), QString());
    QTest::keyClick(e.txt(), Qt::Key_Return);
    for (int c = colRxFreq; c <= colName; ++c) QCOMPARE(e.cell(4, c), std::string());
    e.w->SaveCHData();
    for (int i = 0; i < 14; ++i) QCOMPARE(int(e.record(4)[i]), 0xFF);
}

void TestChannels::emptyingTransmitAndTheEncoderRedirect() {
    Editor e;
    QVERIFY(e.Active());
    e.program(2, "438.5");
    e.click(2, colTxFreq);
    QTest::keyClick(e.txt(), Qt::Key_Delete);
    QTest::keyClick(e.txt(), Qt::Key_Return);
    QCOMPARE(e.cell(2, colTxFreq), std::string());
    QCOMPARE(e.cell(2, colEncode), std::string());
    QCOMPARE(e.cell(2, colDecode), std::string("None"));
    // Enc. now leads to the transmit editor.
    e.click(2, colEncode);
    QVERIFY(e.txt()->isVisible());
    QCOMPARE(e.f.state.CurCHCol, int(colTxFreq));
    QTest::keyClicks(e.txt(), "433.5");
    QTest::keyClick(e.txt(), Qt::Key_Return);
    QCOMPARE(e.cell(2, colTxFreq), std::string("433.50000"));
    QCOMPARE(e.cell(2, colEncode), std::string("None"));
    e.w->SaveCHData();
    // Receive minus 5 MHz.
    QCOMPARE(int(e.record(2)[3]), 0x00);
    QCOMPARE(int(e.record(2)[4]), 0x32);
    QCOMPARE(int(e.record(2)[5] >> 6), 2);
    // An empty Dec. cell opens nothing.
    e.form->SetCell(2, colDecode, "");
    e.form->RowsChanged();
    e.click(2, colDecode);
    QVERIFY(!e.cbo(0)->isVisible());
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
    QCOMPARE(e.cell(1, colTxFreq), std::string("550.00000"));
    e.program(3, "99.99");
    QCOMPARE(e.cell(3, colRxFreq), std::string("100.00000"));
    QCOMPARE(e.f.boxes.shown.size(), std::size_t(2));
    // The limits themselves are accepted without a word.
    e.program(5, "550");
    QCOMPARE(e.cell(5, colRxFreq), std::string("550.00000"));
    QCOMPARE(e.f.boxes.shown.size(), std::size_t(2));
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
    // Other keys on the grid open nothing.
    e.grid()->setCurrentIndex(e.grid()->model()->index(127, colPower));
    QTest::keyClick(e.grid(), Qt::Key_7);
    QVERIFY(!e.txt()->isVisible());
    QCOMPARE(e.grid()->currentIndex().row(), 127);
    // Stored with the radio's character codes.
    e.w->SaveCHData();
    std::uint8_t codes[5];
    UnpackNameCodes(e.record(127) + 10, codes);
    QCOMPARE(int(codes[0]), 11);
    QCOMPARE(int(codes[2]), 10);
    QCOMPARE(int(codes[4]), 36);
}

// Opened with its text selected, a text box given only keys (or a paste) its
// column does not take keeps text, selection and caret; Enter then stores
// the cell as it was, so the channel, its transmit side or its name live on.
void TestChannels::rejectedKeysKeepTheCell() {
    Editor e;
    QVERIFY(e.Active());
    e.program(6, "145.5");
    e.click(6, colName);
    QTest::keyClicks(e.txt(), "ab");
    QTest::keyClick(e.txt(), Qt::Key_Return);
    const ChannelRow before = e.form->Rows()[6];
    struct Case {
        int col;
        const char* keys;
        const char* pasted;
    } cases[] = {{colRxFreq, "x !", "MHz"}, {colTxFreq, "a-", "?"}, {colName, "!,.", "#%"}};
    for (const Case& c : cases) {
        e.click(6, c.col);
        const QString text = e.txt()->text();
        QCOMPARE(e.txt()->selectedText(), text);
        for (const char* k = c.keys; *k; ++k) QTest::keyClick(e.txt(), *k);
        QApplication::clipboard()->setText(QString::fromLatin1(c.pasted));
        QTest::keyClick(e.txt(), Qt::Key_V, Qt::ControlModifier);
        QCOMPARE(e.txt()->text(), text);
        QCOMPARE(e.txt()->selectedText(), text);
        QCOMPARE(e.txt()->cursorPosition(), int(text.size()));
        QTest::keyClick(e.txt(), Qt::Key_Return);
        QVERIFY(e.form->Rows()[6] == before);
    }
    // A paste keeps what the column takes.
    e.click(6, colName);
    QApplication::clipboard()->setText(QStringLiteral("x!y"));
    QTest::keyClick(e.txt(), Qt::Key_V, Qt::ControlModifier);
    QCOMPARE(e.txt()->text(), QStringLiteral("XY"));
    QTest::keyClick(e.txt(), Qt::Key_Escape);
}

// Keyboards with a decimal comma: "," is the decimal point of a frequency,
// on the grid and in the text box, typed or pasted.
void TestChannels::decimalComma() {
    Editor e;
    QVERIFY(e.Active());
    e.click(7, colRxFreq);
    QTest::keyClicks(e.txt(), "145,125");
    QCOMPARE(e.txt()->text(), QStringLiteral("145.125"));
    QTest::keyClick(e.txt(), Qt::Key_Return);
    QCOMPARE(e.cell(7, colRxFreq), std::string("145.12500"));
    QCOMPARE(int(e.f.boxes.shown.size()), 0);
    e.grid()->setCurrentIndex(e.grid()->model()->index(7, colRxFreq));
    e.grid()->setFocus();
    QTest::keyClick(e.grid(), ',');
    QCOMPARE(e.txt()->text(), QStringLiteral("."));
    QTest::keyClick(e.txt(), Qt::Key_Escape);
    e.click(7, colTxFreq);
    QApplication::clipboard()->setText(QStringLiteral("144,8 MHz"));
    QTest::keyClick(e.txt(), Qt::Key_V, Qt::ControlModifier);
    QTest::keyClick(e.txt(), Qt::Key_Return);
    QCOMPARE(e.cell(7, colTxFreq), std::string("144.80000"));
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
}

void TestChannels::listsAndTheirEnterMoves() {
    Editor e;
    QVERIFY(e.Active());
    e.program(1, "145");
    // Dec.: all tones, "None" first.
    e.click(1, colDecode);
    QVERIFY(e.cbo(0)->isVisible());
    QCOMPARE(e.cbo(0)->count(), 265);
    QCOMPARE(e.cbo(0)->currentText(), QStringLiteral("None"));
    for (int i = 0; i < 9; ++i) QTest::keyClick(e.cbo(0), Qt::Key_Down);
    QCOMPARE(e.cbo(0)->currentText(), QStringLiteral("88.5"));
    QTest::keyClick(e.cbo(0), Qt::Key_Return);
    QVERIFY(!e.cbo(0)->isVisible());
    QCOMPARE(e.cell(1, colDecode), std::string("88.5"));
    QCOMPARE(e.f.state.CurCHCol, int(colEncode));
    // Dec. jumps over an empty transmit cell to TX Power.
    e.click(1, colTxFreq);
    QTest::keyClick(e.txt(), Qt::Key_Backspace);
    QTest::keyClick(e.txt(), Qt::Key_Return);
    e.click(1, colDecode);
    QTest::keyClick(e.cbo(0), Qt::Key_Return);
    QCOMPARE(e.f.state.CurCHCol, int(colPower));
    // Power list: High, Mid, Low.
    QTest::keyClick(e.grid(), Qt::Key_Return);
    QVERIFY(e.cbo(2)->isVisible());
    QCOMPARE(e.cbo(2)->itemText(1), QStringLiteral("Mid"));
    QTest::keyClick(e.cbo(2), Qt::Key_Down);
    QTest::keyClick(e.cbo(2), Qt::Key_Return);
    QCOMPARE(e.cell(1, colPower), std::string("Mid"));
    QCOMPARE(e.f.state.CurCHCol, int(colBandwidth));
    // W/N list, then Scan Add: item texts are rewritten for each column.
    QTest::keyClick(e.grid(), Qt::Key_Return);
    QCOMPARE(e.cbo(1)->currentText(), QStringLiteral("Wide"));
    QTest::keyClick(e.cbo(1), Qt::Key_Down);
    QTest::keyClick(e.cbo(1), Qt::Key_Return);
    QCOMPARE(e.cell(1, colBandwidth), std::string("Narrow"));
    QTest::keyClick(e.grid(), Qt::Key_Return);
    QCOMPARE(e.cbo(1)->itemText(0), QStringLiteral("No"));
    QCOMPARE(e.cbo(1)->currentText(), QStringLiteral("Yes"));
    QTest::keyClick(e.cbo(1), Qt::Key_Return);
    // Beat shift: Off, Beat Shift1, Beat Shift2.
    QCOMPARE(e.f.state.CurCHCol, int(colBeatShift));
    QTest::keyClick(e.grid(), Qt::Key_Return);
    QCOMPARE(e.cbo(2)->itemText(2), QStringLiteral("Beat Shift2"));
    QCOMPARE(e.cbo(2)->currentText(), QStringLiteral("Off"));
    QTest::keyClick(e.cbo(2), Qt::Key_Up);  // already first
    QTest::keyClick(e.cbo(2), Qt::Key_End);
    QTest::keyClick(e.cbo(2), Qt::Key_Return);
    QCOMPARE(e.cell(1, colBeatShift), std::string("Beat Shift2"));
    // OPTION moves on to the name.
    e.click(1, colOption);
    QTest::keyClick(e.cbo(2), Qt::Key_Return);
    QCOMPARE(e.f.state.CurCHCol, int(colName));
    // Enc. of a channel with a transmit frequency again is a list.
    e.click(1, colTxFreq);
    QTest::keyClicks(e.txt(), "145");
    QTest::keyClick(e.txt(), Qt::Key_Return);
    e.click(1, colEncode);
    QVERIFY(e.cbo(0)->isVisible());
    QTest::keyClick(e.cbo(0), Qt::Key_End);
    QTest::keyClick(e.cbo(0), Qt::Key_Return);
    QCOMPARE(e.cell(1, colEncode), std::string("D754I"));
    QCOMPARE(e.f.state.CurCHCol, int(colPower));
    e.w->SaveCHData();
    QCOMPARE(int(e.record(1)[9] & 7), 5);  // CTCSS decode, DCS encode
    QCOMPARE(int(e.record(1)[6]), 8);
    QCOMPARE(int(e.record(1)[7]), 213);
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
    // The image is not touched until a store.
    QCOMPARE(int(e.record(1)[0]), 0xFF);
    // Print stores pending edits (Store = yes) ...
    e.click(2, colRxFreq);
    QTest::keyClicks(e.txt(), "146");
    e.w->Dispatch("miPrint");
    QCOMPARE(e.cell(2, colRxFreq), std::string("146.00000"));
    QCOMPARE(int(e.record(2)[0]), 0x05);
    // ... Read from Radio commits the editor but does not store.
    e.click(3, colRxFreq);
    QTest::keyClicks(e.txt(), "147");
    e.w->Dispatch("miRead");
    QCOMPARE(e.cell(3, colRxFreq), std::string("147.00000"));
    QCOMPARE(int(e.record(3)[0]), 0xFF);
    // ... Write to Radio stores.
    e.w->Dispatch("miWrite");
    QCOMPARE(int(e.record(3)[0]), 0x05);
    QCOMPARE(e.f.opened.count("frmClone"), 2);
}

void TestChannels::languageSwitchRelabelsAndSavesTheSame() {
    Editor e;
    QVERIFY(e.Active());
    e.program(1, "145.5");
    e.click(1, colPower);
    QTest::keyClick(e.cbo(2), Qt::Key_End);
    QTest::keyClick(e.cbo(2), Qt::Key_Return);
    e.form->SetCell(1, colOption, "Scramble");
    e.form->SetCell(1, colVOX, "On");
    e.form->RowsChanged();
    e.w->SaveCHData();
    const std::vector<std::uint8_t> before(e.record(1), e.record(1) + 14);
    e.w->Dispatch("miChinese");
    QCOMPARE(e.form->windowTitle(), QStringLiteral("信道信息"));
    QCOMPARE(e.grid()->model()->headerData(1, Qt::Horizontal).toString(), QStringLiteral("接收频率"));
    QCOMPARE(e.form->findChild<QPushButton*>("Command1")->text(), QStringLiteral("关闭(&C)"));
    QCOMPARE(e.cell(1, colPower), std::string("低"));
    QCOMPARE(e.cell(1, colOption), std::string("扰频"));
    QCOMPARE(e.cell(1, colDecode), std::string("无"));
    for (const std::string& t : ChoiceTexts(1, colBeatShift))
        QVERIFY(e.grid()->columnWidth(colBeatShift) >
                e.grid()->fontMetrics().horizontalAdvance(QString::fromStdString(t)));
    // The lists speak Chinese too.
    e.click(1, colBCL);
    QCOMPARE(e.cbo(1)->itemText(1), QStringLiteral("开"));
    QTest::keyClick(e.cbo(1), Qt::Key_Return);
    e.click(1, colDecode);
    QCOMPARE(e.cbo(0)->itemText(0), QStringLiteral("无"));
    QTest::keyClick(e.cbo(0), Qt::Key_Escape);
    // A new channel typed in Chinese gets Chinese defaults.
    e.program(2, "146");
    QCOMPARE(e.cell(2, colScanAdd), std::string("是"));
    e.w->SaveCHData();
    QVERIFY(std::equal(before.begin(), before.end(), e.record(1)));
    e.w->Dispatch("miEnglish");
    QCOMPARE(e.cell(2, colScanAdd), std::string("Yes"));
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
    // The menu shows it again, with its rows.
    e.w->Dispatch("miCH-Information");
    QVERIFY(sub->isVisible());
    QVERIFY(bar.ToolCheck("miProgram", "miCH-Information"));
    QCOMPARE(e.cell(1, colRxFreq), std::string("145.00000"));
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
    // The open editor was committed first, then rows 1 and 2 swapped.
    QCOMPARE(e.cell(2, colName), std::string("ONE"));
    QCOMPARE(e.cell(1, colRxFreq), std::string("146.00000"));
    QCOMPARE(e.f.state.CurCHRow, 2);
    // The highlighted row moved with the channel: the next press moves it on.
    QCOMPARE(e.grid()->currentIndex().row(), 1);
    QCOMPARE(e.grid()->currentIndex().column(), int(colName));
    QTest::mouseClick(e.form->findChild<QPushButton*>("CmdCHDown"), Qt::LeftButton);
    QCOMPARE(e.cell(3, colName), std::string("ONE"));
    QCOMPARE(e.grid()->currentIndex().row(), 2);
    QTest::mouseClick(e.form->findChild<QPushButton*>("CmdCHUp"), Qt::LeftButton);
    QTest::mouseClick(e.form->findChild<QPushButton*>("CmdCHUp"), Qt::LeftButton);
    QCOMPARE(e.cell(1, colName), std::string("ONE"));
    QCOMPARE(e.f.state.CurCHRow, 1);
    QCOMPARE(e.grid()->currentIndex().row(), 0);
    QTest::mouseClick(e.form->findChild<QPushButton*>("CmdCHUp"), Qt::LeftButton);  // row 1: nothing
    QCOMPARE(e.cell(1, colName), std::string("ONE"));
    QTest::mouseClick(e.form->findChild<QPushButton*>("CmdCHDel"), Qt::LeftButton);
    QCOMPARE(e.cell(1, colRxFreq), std::string());
    QCOMPARE(e.cell(1, colChannel), std::string("1"));
    QCOMPARE(e.cell(2, colRxFreq), std::string("146.00000"));
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

// F4 and Alt+Down open a list's items; what is picked there is taken.
void TestChannels::listsOpenWithF4AndAltDown() {
    Editor e;
    QVERIFY(e.Active());
    e.program(5, "145");
    for (const auto& [key, mods] : {std::pair{Qt::Key_F4, Qt::KeyboardModifiers()},
                                    std::pair{Qt::Key_Down, Qt::KeyboardModifiers(Qt::AltModifier)}}) {
        e.click(5, colPower);
        QVERIFY(e.cbo(2)->isVisible());
        QTest::keyClick(e.cbo(2), key, mods);
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
    QCOMPARE(int(e.record(1)[0]), 0xFF);
    QTest::mouseClick(close, Qt::RightButton, all);
    QCOMPARE(e.f.opened, QStringList{"frmMemoryMap"});
    QCOMPARE(int(e.record(1)[0]), 0x05);
    QVERIFY(e.form->isVisible());
}

void TestChannels::leavingForAnotherChildStores() {
    Editor e;
    QVERIFY(e.Active());
    e.program(1, "145");
    QCOMPARE(int(e.record(1)[0]), 0xFF);
    auto* other = e.w->MdiArea()->addSubWindow(new QWidget);
    other->show();
    e.w->MdiArea()->setActiveSubWindow(other);
    QTRY_COMPARE(int(e.record(1)[0]), 0x05);
}

void TestChannels::batchInterface() {
    Editor e;
    e.form->SetCell(3, colRxFreq, "150.00000");
    e.form->SetCell(3, colTxFreq, "150.00000");
    e.form->SetCell(0, colRxFreq, "title");  // not a channel row: ignored
    e.form->SetCell(3, colChannel, "99");    // the number never changes
    e.form->SetCell(200, colRxFreq, "1");    // outside: ignored
    e.form->RowsChanged();
    QCOMPARE(e.grid()->model()->data(e.grid()->model()->index(2, colRxFreq)).toString(),
             QStringLiteral("150.00000"));
    QCOMPARE(e.cell(0, colRxFreq), std::string("Rx Freq"));
    QCOMPARE(e.cell(3, colChannel), std::string("3"));
    e.form->SaveCHData();
    QCOMPARE(int(e.record(3)[0]), 0x05);
    QCOMPARE(int(e.record(3)[1]), 0xDC);
}

QTEST_MAIN(TestChannels)
#include "tst_channels.moc"
