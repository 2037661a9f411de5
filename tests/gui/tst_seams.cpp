// The small GUI seams: Enter moving on like Tab, the character filter of the
// text fields, the dialog filter text, the exchanges' repeating timer.
#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QComboBox>
#include <QDialog>
#include <QLineEdit>
#include <QRadioButton>
#include <QVBoxLayout>
#include <QtTest>

#include "io/QtTimers.h"
#include "ui/CharFilter.h"
#include "ui/QtDialogs.h"
#include "ui/SendTab.h"

using namespace rm427::gui;

class TestSeams : public QObject {
    Q_OBJECT
private slots:
    void enterMovesOnFromListsOptionsAndChecks();
    void charFilterKeepsOnlyWhatTheFieldTakes();
    void filterText();
    void repeatingTimerKeepsItsPace();
};

void TestSeams::enterMovesOnFromListsOptionsAndChecks() {
    QDialog dlg;
    auto* layout = new QVBoxLayout(&dlg);
    auto* combo = new QComboBox;
    combo->addItems({"a", "b"});
    auto* radio = new QRadioButton("r");
    auto* check = new QCheckBox("c");
    auto* edit = new QLineEdit;
    auto* last = new QLineEdit;
    for (QWidget* w :
         {static_cast<QWidget*>(combo), static_cast<QWidget*>(radio), static_cast<QWidget*>(check),
          static_cast<QWidget*>(edit), static_cast<QWidget*>(last)})
        layout->addWidget(w);
    new EnterSendsTab(&dlg);
    // Added after the filter: still watched.
    auto* late = new QCheckBox("late");
    layout->addWidget(late);
    bool accepted = false;
    connect(&dlg, &QDialog::accepted, [&] { accepted = true; });
    dlg.show();
    dlg.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&dlg));

    combo->setFocus();
    QTRY_VERIFY(combo->hasFocus());
    QTest::keyClick(combo, Qt::Key_Return);
    QTRY_VERIFY(radio->hasFocus());
    QCOMPARE(combo->currentIndex(), 0);
    QTest::keyClick(radio, Qt::Key_Enter, Qt::KeypadModifier);
    QTRY_VERIFY(check->hasFocus());
    QVERIFY(!check->isChecked());
    QTest::keyClick(check, Qt::Key_Return);
    QTRY_VERIFY(edit->hasFocus());
    QVERIFY(!check->isChecked());
    QVERIFY(!accepted);
    // A text box keeps its Enter.
    QTest::keyClick(edit, Qt::Key_Return);
    QVERIFY(edit->hasFocus());
    late->setFocus();
    QTRY_VERIFY(late->hasFocus());
    QTest::keyClick(late, Qt::Key_Return);
    QTRY_VERIFY(!late->hasFocus());
    // SendTab on its own moves from the focused control.
    last->setFocus();
    QTRY_VERIFY(last->hasFocus());
    SendTab();
    QTRY_VERIFY(!last->hasFocus());
}

// The channel editor's, batch editor's and function settings' text fields
// all filter with CharFilter; here its rules, through real keys and pastes.
void TestSeams::charFilterKeepsOnlyWhatTheFieldTakes() {
    QWidget top;
    auto* layout = new QVBoxLayout(&top);
    auto* name = new QLineEdit;
    auto* freq = new QLineEdit;
    layout->addWidget(name);
    layout->addWidget(freq);
    FilterChars(name, NameChar);
    FilterChars(freq, FreqChar);
    top.show();
    QVERIFY(QTest::qWaitForWindowExposed(&top));
    QTest::keyClicks(name, "a?b-");
    QCOMPARE(name->text(), QStringLiteral("AB-"));
    // A selected text is not replaced by a key or paste the field does not take.
    name->selectAll();
    QTest::keyClicks(name, "!.");
    QApplication::clipboard()->setText(QStringLiteral("%?"));
    QTest::keyClick(name, Qt::Key_V, Qt::ControlModifier);
    QCOMPARE(name->text(), QStringLiteral("AB-"));
    QCOMPARE(name->selectedText(), QStringLiteral("AB-"));
    QCOMPARE(name->cursorPosition(), 3);
    // A paste keeps what the field takes.
    QApplication::clipboard()->setText(QStringLiteral("x!y"));
    QTest::keyClick(name, Qt::Key_V, Qt::ControlModifier);
    QCOMPARE(name->text(), QStringLiteral("XY"));
    // A decimal comma is a frequency's decimal point, typed or pasted.
    QTest::keyClicks(freq, "14x5,1");
    QApplication::clipboard()->setText(QStringLiteral("25 MHz"));
    QTest::keyClick(freq, Qt::Key_V, Qt::ControlModifier);
    QCOMPARE(freq->text(), QStringLiteral("145.125"));
    QCOMPARE(DigitChar(QChar('.')), QChar());
    QCOMPARE(DecimalChar(QChar('.')), QChar('.'));
    QCOMPARE(NameChar(QChar(0x4E2D)), QChar());
}

void TestSeams::filterText() {
    QCOMPARE(QtFilterText("DOV Data Files (*.dat)|*.dat"), QStringLiteral("DOV Data Files (*.dat)"));
    QCOMPARE(QtFilterText("DOV Data Files (*.dat)"), QStringLiteral("DOV Data Files (*.dat)"));
}

// The answer polls of an exchange stay 20 ms apart from the first answer
// byte even when each is served late: 10 ticks that each keep the loop busy
// for 12 ms still end near 200 ms, not at 10 x 32 ms.
void TestSeams::repeatingTimerKeepsItsPace() {
    rm427::QtTimerFactory timers;
    QElapsedTimer clock;
    int ticks = 0;
    qint64 tenth = 0;
    std::unique_ptr<rm427::Timer> poll;
    poll = timers.CreateTimer([&] {
        if (++ticks == 10) {
            tenth = clock.elapsed();
            poll->Stop();
        }
        QThread::msleep(12);
    });
    clock.start();
    poll->StartRepeating(20);
    QTRY_VERIFY_WITH_TIMEOUT(ticks == 10 && !poll->IsActive(), 3000);
    QVERIFY2(tenth >= 200 && tenth < 260, QByteArray::number(tenth).constData());
}

QTEST_MAIN(TestSeams)
#include "tst_seams.moc"
