// The memory map window driven with real keys and clicks.
#include <QClipboard>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QTableWidget>
#include <QtTest>

#include "radio/frmMemoryMap.h"

using rm427::frmMemoryMap;
using rm427::Module1;

class MemoryMapTest : public QObject {
    Q_OBJECT

    struct Window {
        explicit Window(Module1& s) : map(s) {
            map.show();
            map.activateWindow();
            QVERIFY(QTest::qWaitForWindowActive(&map));
            table = map.findChild<QTableWidget*>("msgMemory");
            editor = map.findChild<QLineEdit*>("txtMemory");
            addr = map.findChild<QLabel*>("lblAddr");
            value = map.findChild<QLabel*>("LblValue");
            ok = map.findChild<QPushButton*>("CmdOK");
            cancel = map.findChild<QPushButton*>("CmdCancel");
        }
        // Data cell r, c (0-based), as a user reaches it: click, then Escape
        // leaves it selected and not in edit.
        void Select(int r, int c) { table->setCurrentCell(r, c); }
        void Key(Qt::Key k, Qt::KeyboardModifiers m = Qt::NoModifier) {
            QWidget* target = QApplication::focusWidget();
            QVERIFY(target);
            QTest::keyClick(target, k, m);
        }
        void Type(const char* text) {
            QWidget* target = QApplication::focusWidget();
            QVERIFY(target);
            QTest::keyClicks(target, QString::fromLatin1(text));
        }
        QString Cell(int r, int c) const { return map.TextMatrix(r + 1, c + 1); }
        void ClickCell(int r, int c) {
            table->scrollToItem(table->item(r, c));
            const QRect rect = table->visualItemRect(table->item(r, c));
            QTest::mouseClick(table->viewport(), Qt::LeftButton, {}, rect.center());
        }

        frmMemoryMap map;
        QTableWidget* table = nullptr;
        QLineEdit* editor = nullptr;
        QLabel* addr = nullptr;
        QLabel* value = nullptr;
        QPushButton* ok = nullptr;
        QPushButton* cancel = nullptr;
    };

private slots:
    void fillsTheTableWithLabels() {
        Module1 s;
        s.Image[0x1AF] = 0x0F;
        s.Image[0x000] = 0x00;
        s.Image[0xFFF] = 0xA5;
        Window w(s);
        QCOMPARE(w.table->rowCount(), 256);
        QCOMPARE(w.table->columnCount(), 16);
        QCOMPARE(w.table->verticalHeaderItem(0)->text(), QString("0"));
        QCOMPARE(w.table->verticalHeaderItem(0x1A)->text(), QString("1A"));
        QCOMPARE(w.table->horizontalHeaderItem(15)->text(), QString("F"));
        QCOMPARE(w.Cell(0x1A, 0xF), QString("0F"));
        QCOMPARE(w.Cell(0, 0), QString("00"));
        QCOMPARE(w.Cell(0xFF, 0xF), QString("A5"));
        QVERIFY(!w.editor->isVisible());
        QCOMPARE(w.addr->text(), QString("0000"));

        w.Select(0x1A, 0xF);
        QCOMPARE(w.addr->text(), QString("1AF"));
        QCOMPARE(w.value->text(), QString("15"));
        w.Select(0, 5);
        QCOMPARE(w.addr->text(), QString("05"));
        QCOMPARE(w.value->text(), QString("255"));
    }

    void editorKeyRules() {
        Module1 s;
        Window w(s);
        w.Select(2, 3);
        w.Key(Qt::Key_Return);
        QVERIFY(w.editor->isVisible());
        QCOMPARE(QApplication::focusWidget(), w.editor);
        QCOMPARE(w.editor->text(), QString("FF"));
        QCOMPARE(w.editor->selectedText(), QString("FF"));
        // The editor sits over the cell.
        QCOMPARE(w.editor->geometry(), w.table->visualItemRect(w.table->item(2, 3)));

        w.Type("a");  // replaces the selection, upper case
        QCOMPARE(w.editor->text(), QString("A"));
        w.Type("g.z -");  // not hexadecimal: dropped
        QCOMPARE(w.editor->text(), QString("A"));
        w.Type("b");
        QCOMPARE(w.editor->text(), QString("AB"));
        w.Type("c");  // third digit, nothing selected
        QCOMPARE(w.editor->text(), QString("AB"));
        w.Key(Qt::Key_Backspace);
        QCOMPARE(w.editor->text(), QString("A"));
        w.Type("9");
        w.Key(Qt::Key_Return);
        QVERIFY(!w.editor->isVisible());
        QCOMPARE(w.Cell(2, 3), QString("A9"));
        QCOMPARE(w.table->currentColumn(), 4);  // moved on
        QCOMPARE(QApplication::focusWidget(), w.table);

        // A hexadecimal key in the table starts an edit with that character.
        w.Select(4, 4);
        w.Key(Qt::Key_C);
        QVERIFY(w.editor->isVisible());
        QCOMPARE(w.editor->text(), QString("C"));
        QVERIFY(!w.editor->hasSelectedText());
        w.Key(Qt::Key_Enter);  // keypad Enter commits too; one digit gets a leading zero
        QCOMPARE(w.Cell(4, 4), QString("0C"));
        QCOMPARE(w.value->text(), QString("255"));  // now on (4, 5)
        w.Select(4, 4);
        QCOMPARE(w.value->text(), QString("12"));

        w.Select(4, 6);
        w.Key(Qt::Key_7, Qt::KeypadModifier);
        QCOMPARE(w.editor->text(), QString("7"));
        w.Key(Qt::Key_Escape);

        // Other letters, or Alt with a letter, do not start an edit.
        w.Select(4, 7);
        w.Key(Qt::Key_G);
        QVERIFY(!w.editor->isVisible());
        w.Key(Qt::Key_B, Qt::ControlModifier);
        QVERIFY(!w.editor->isVisible());
    }

    void leavingTheEditorChecksItsText() {
        Module1 s;
        s.Image[0x010] = 0x12;
        s.Image[0x011] = 0x34;
        Window w(s);
        // Cleared and left: FF.
        w.ClickCell(1, 0);
        QVERIFY(w.editor->isVisible());
        w.Key(Qt::Key_Backspace);
        QCOMPARE(w.editor->text(), QString());
        w.ClickCell(1, 1);  // leaving the first editor opens one on (1, 1)
        QCOMPARE(w.Cell(1, 0), QString("FF"));
        QVERIFY(w.editor->isVisible());
        // A single digit gets a leading zero, when leaving for a button too.
        w.Type("7");
        QTest::mouseClick(w.ok, Qt::LeftButton);
        QCOMPARE(s.Image[0x011], 0x07);
        QCOMPARE(s.Image[0x010], 0xFF);
    }

    void enterOnTheLastColumn_data() {
        QTest::addColumn<int>("row");
        QTest::addColumn<int>("rowAfter");
        QTest::addColumn<int>("colAfter");
        QTest::newRow("row 7E") << 0x7E << 0x7F << 0;
        QTest::newRow("row 7F") << 0x7F << 0x7F << 15;
        QTest::newRow("row FF") << 0xFF << 0xFF << 15;
    }
    void enterOnTheLastColumn() {
        QFETCH(int, row);
        QFETCH(int, rowAfter);
        QFETCH(int, colAfter);
        Module1 s;
        Window w(s);
        w.Select(row, 15);
        w.Key(Qt::Key_Return);
        w.Type("3C");
        w.Key(Qt::Key_Return);
        QCOMPARE(w.Cell(row, 15), QString("3C"));
        QCOMPARE(w.table->currentRow(), rowAfter);
        QCOMPARE(w.table->currentColumn(), colAfter);
        QVERIFY(!w.editor->isVisible());
    }

    void escapeAndScrollingCancel() {
        Module1 s;
        s.Image[0x123] = 0x42;
        Window w(s);
        w.Select(0x12, 3);
        w.Key(Qt::Key_9);
        w.Type("9");
        w.Key(Qt::Key_Escape);
        QVERIFY(!w.editor->isVisible());
        QCOMPARE(w.Cell(0x12, 3), QString("42"));
        QCOMPARE(QApplication::focusWidget(), w.table);
        QVERIFY(w.map.isVisible());  // Escape in the editor does not close

        w.ClickCell(0, 0);
        w.Type("1");
        w.table->verticalScrollBar()->setValue(w.table->verticalScrollBar()->value() + 5);
        QVERIFY(!w.editor->isVisible());
        QCOMPARE(w.Cell(0, 0), QString("FF"));
        w.ok->click();
        QCOMPARE(s.Image[0x000], 0xFF);
        QCOMPARE(s.Image[0x123], 0x42);
    }

    void cancelDiscardsOkWritesBack() {
        Module1 s;
        for (int a = 0; a < rm427::kImageSize; ++a) s.Image[a] = static_cast<std::uint8_t>(a * 7);
        const rm427::CodeplugImage before = s.Image;
        {
            Window w(s);
            w.Select(0x30, 2);
            w.Key(Qt::Key_Return);
            w.Type("00");
            w.Key(Qt::Key_Return);
            w.cancel->click();
            QVERIFY(!w.map.isVisible());
            QVERIFY(s.Image == before);
        }
        {
            Window w(s);
            w.ok->click();
            QVERIFY(s.Image == before);
        }
        {
            Window w(s);
            w.Select(0xFF, 15);
            w.Key(Qt::Key_Return);
            w.Type("e1");
            w.Key(Qt::Key_Return);
            // An editor still open when OK is pressed without taking the
            // focus (access key) counts.
            w.Select(0x80, 0);
            w.Key(Qt::Key_D);
            QCOMPARE(QApplication::focusWidget(), w.editor);
            w.ok->click();
            QVERIFY(!w.map.isVisible());
            rm427::CodeplugImage expected = before;
            expected[0xFFF] = 0xE1;
            expected[0x800] = 0x0D;
            QVERIFY(s.Image == expected);
        }
    }

    void okKeepsChangesMadeElsewhere() {
        Module1 s;
        Window w(s);
        w.Select(0, 2);
        w.Key(Qt::Key_Return);
        w.Type("11");
        w.Key(Qt::Key_Return);
        // Meanwhile another window stores into the image.
        s.Image[0x005] = 0x55;
        s.Image[0x002] = 0x99;
        w.ok->click();
        QCOMPARE(s.Image[0x002], 0x11);  // edited here: the edit wins
        QCOMPARE(s.Image[0x005], 0x55);  // not edited here: kept
    }

    void pasteCannotBringInOtherText() {
        Module1 s;
        Window w(s);
        QApplication::clipboard()->setText("ZZ9");
        w.Select(0, 0);
        w.Key(Qt::Key_Return);
        w.Key(Qt::Key_V, Qt::ControlModifier);
        QCOMPARE(w.editor->text(), QString("FF"));
        // Nor does a rejected key with the text selected.
        w.Type("x");
        QCOMPARE(w.editor->text(), QString("FF"));
        QCOMPARE(w.editor->selectedText(), QString("FF"));
        w.Key(Qt::Key_Return);
        QCOMPARE(w.Cell(0, 0), QString("FF"));
    }
};

QTEST_MAIN(MemoryMapTest)
#include "tst_memorymap.moc"
