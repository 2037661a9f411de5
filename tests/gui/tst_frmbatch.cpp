// The batch channel editor through its controls and real key events.
#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QRadioButton>
#include <QtTest>

#include "helpers/ScriptedDialogs.h"
#include "image/Module1.h"
#include "settings/FrmBatch.h"

using rm427::ChannelRows;
using rm427::Module1;
using rm427::gui::FrmBatch;

namespace {

struct Fixture {
    Module1 state;
    rm427::test::ScriptedMessageBoxes boxes;
    rm427::ChannelList list;
    ChannelRows rows;  // the cells of `list`
    int edits = 0;
    FrmBatch* window = nullptr;

    Fixture() : list(state.CHCount), rows(state.CHCount + 1) {
        for (int n = 0; n <= state.CHCount; ++n) rows[n][0] = std::to_string(n);
        window = new FrmBatch(state, boxes, [this](const auto& edit) {
            ++edits;
            edit(list);
            rm427::RenderChannels(list, state.Language, rows);
        });
    }
    ~Fixture() { delete window; }
    FrmBatch& w() { return *window; }
    void Show() {
        window->show();
        window->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(window));
    }
    // Replaces the field's text by typing, then Enter.
    void Type(QLineEdit* e, const char* keys, bool enter = true) {
        e->setFocus();
        e->selectAll();
        QTest::keyClick(e, Qt::Key_Backspace);
        QTest::keyClicks(e, keys);
        if (enter) QTest::keyClick(e, Qt::Key_Return);
    }
};

}  // namespace

class TestFrmBatch : public QObject {
    Q_OBJECT
private slots:
    void startsWithTheInitialValuesAndRules() {
        Fixture f;
        FrmBatch& w = f.w();
        QCOMPARE(w.windowTitle(), QStringLiteral("Batch ChannelEdit"));
        QVERIFY(w.OptBatch1(0)->isChecked());
        QVERIFY(!w.TxtBatch0(0)->isEnabled());
        QCOMPARE(w.TxtBatch0(1)->text(), QStringLiteral("128"));
        QCOMPARE(w.TxtBatch1(1)->text(), QStringLiteral("100.00000"));
        QCOMPARE(w.TxtBatch1(2)->text(), QStringLiteral("0.00000"));
        QVERIFY(!w.TxtBatch1(2)->isEnabled());
        QVERIFY(!w.TxtBatch1(3)->isEnabled());
        QVERIFY(!w.CboBatch(1)->isEnabled());
        QVERIFY(!w.ChkBatch5()->isEnabled());
        QCOMPARE(w.CboBatch6(2)->currentText(), QStringLiteral("High"));
        QCOMPARE(w.CboBatch6(3)->currentText(), QStringLiteral("No"));
    }

    void optionRulesEnableAndReset() {
        Fixture f;
        FrmBatch& w = f.w();
        w.OptBatch3(1)->click();
        QVERIFY(w.TxtBatch1(2)->isEnabled());
        QVERIFY(w.OptBatch3A(1)->isEnabled());
        QVERIFY(!w.TxtBatch1(3)->isEnabled());
        w.TxtBatch1(2)->setText("5.00000");
        w.OptBatch3A(1)->click();
        w.OptBatch3(2)->click();
        QVERIFY(!w.TxtBatch1(2)->isEnabled());
        QVERIFY(w.TxtBatch1(3)->isEnabled());
        QVERIFY(w.TxtBatch2(2)->isEnabled());
        w.TxtBatch2(2)->setText("25");
        w.OptBatch3B(1)->click();
        w.OptBatch3(0)->click();
        QCOMPARE(w.TxtBatch1(2)->text(), QStringLiteral("0.00000"));
        QCOMPARE(w.TxtBatch2(2)->text(), QStringLiteral("0"));
        QVERIFY(w.OptBatch3A(0)->isChecked());
        QVERIFY(w.OptBatch3B(0)->isChecked());

        w.OptBatch5(1)->click();
        QVERIFY(w.CboBatch(1)->isEnabled());
        w.ChkBatch5()->click();
        QVERIFY(!w.CboBatch(1)->isEnabled());
        QVERIFY(!w.TxtBatch3(2)->isEnabled());
        w.OptBatch5(0)->click();
        QVERIFY(!w.ChkBatch5()->isChecked());
        QVERIFY(!w.ChkBatch5()->isEnabled());

        w.ChkBatch4()->click();
        QVERIFY(!w.CboBatch(0)->isEnabled());
        QVERIFY(!w.OptBatch4A(1)->isEnabled());
        w.ChkBatch4()->click();
        QVERIFY(w.CboBatch(0)->isEnabled());

        w.OptBatch1(1)->click();
        QVERIFY(w.TxtBatch0(0)->isEnabled());
        w.TxtBatch0(1)->setText("9");
        w.OptBatch1(0)->click();
        QCOMPARE(w.TxtBatch0(1)->text(), QStringLiteral("128"));
    }

    // The field rules themselves are the core's (batch_test); here the keys
    // reach them: typing, Up/Down, and Enter that validates and moves on.
    void fieldsApplyTheirRulesToKeys() {
        Fixture f;
        f.Show();
        FrmBatch& w = f.w();
        w.OptBatch1(1)->click();
        QLineEdit* from = w.TxtBatch0(0);
        QLineEdit* to = w.TxtBatch0(1);
        f.Type(from, "2x00", false);
        QCOMPARE(from->text(), QStringLiteral("128"));
        QTest::keyClick(from, Qt::Key_Down);
        QCOMPARE(from->text(), QStringLiteral("1"));
        f.Type(to, "3");
        f.Type(from, "5");
        QCOMPARE(to->text(), QStringLiteral("5"));
        QCOMPARE(w.ToChannel(), 5);
        QVERIFY(!from->hasFocus());                 // Enter moved on
        f.Type(w.TxtBatch1(1), "14a5,0-5", false);  // a decimal comma is the point
        QCOMPARE(w.TxtBatch1(1)->text(), QStringLiteral("145.05"));
        QTest::keyClick(w.TxtBatch1(1), Qt::Key_Escape);
        QCOMPARE(w.TxtBatch1(1)->text(), QStringLiteral("145.05"));
        f.Type(w.TxtBatch2(1), "1500", false);
        QCOMPARE(w.TxtBatch2(1)->text(), QStringLiteral("1000"));
        f.Type(w.TxtBatch3(1), "0", false);
        QTest::keyClick(w.TxtBatch3(1), Qt::Key_Up);
        QCOMPARE(w.TxtBatch3(1)->text(), QStringLiteral("20"));
    }

    void startFrequencyIsCheckedWithTheMessage() {
        Fixture f;
        f.Show();
        FrmBatch& w = f.w();
        f.Type(w.TxtBatch1(1), "551");
        QCOMPARE(w.TxtBatch1(1)->text(), QStringLiteral("550.00000"));
        QCOMPARE(int(f.boxes.shown.size()), 1);
        // The same box as the channel editor's (its parts: tst_channels outOfRangeShowsTheMessage).
        QCOMPARE(f.boxes.Last()->text, std::string("Frequency is out of range."));
        // The offset has its own limit and the same message.
        w.OptBatch3(1)->click();
        f.Type(w.TxtBatch1(2), "600");
        QCOMPARE(int(f.boxes.shown.size()), 2);
    }

    void nameFieldTakesChannelNameCharacters() {
        Fixture f;
        f.Show();
        FrmBatch& w = f.w();
        f.Type(w.TxtBatch7(), "a[%/=b-1", false);
        QCOMPARE(w.TxtBatch7()->text(), QStringLiteral("AB-1"));
        QTest::keyClicks(w.TxtBatch7(), "*_+");
        QCOMPARE(w.TxtBatch7()->text(), QStringLiteral("AB-1*"));
    }

    void applyFillsTheRowsOfTheRange() {
        Fixture f;
        f.Show();
        FrmBatch& w = f.w();
        f.Type(w.TxtBatch1(1), "145");
        f.Type(w.TxtBatch2(1), "100");
        w.CboBatch6(3)->setCurrentIndex(0);  // BCL Yes
        w.CboBatch6(7)->setCurrentIndex(0);  // VOX Yes
        w.CboBatch(0)->setCurrentIndex(1);
        f.Type(w.TxtBatch3(1), "2");
        w.Command1(0)->click();
        // One edit, filled from what the controls show (the fill itself is batch_test's).
        QCOMPARE(f.edits, 1);
        QCOMPARE(f.rows[2][1], std::string("145.10000"));
        QCOMPARE(f.rows[2][3], std::string("71.9"));
        QCOMPARE(f.rows[128][9], std::string("On"));
        QCOMPARE(f.rows[128][10], std::string("On"));
        QVERIFY(w.isVisible());  // stays open after Apply

        // A start typed without Enter is still checked before it is used.
        Fixture g;
        g.Show();
        g.Type(g.w().TxtBatch1(1), "99", false);
        g.w().Command1(0)->click();
        QCOMPARE(int(g.boxes.shown.size()), 1);
        QCOMPARE(g.rows[1][1], std::string("100.00000"));
    }

    void reversedRangeAppliesNothing() {
        Fixture f;
        f.Show();
        FrmBatch& w = f.w();
        w.OptBatch1(1)->click();
        w.TxtBatch0(0)->setText("5");
        w.TxtBatch0(1)->setText("3");
        const ChannelRows before = f.rows;
        w.Command1(0)->click();
        QVERIFY(f.rows == before);
        QCOMPARE(f.edits, 0);
    }

    void closeReleasesTheWindowAfterAPause() {
        Fixture f;
        f.Show();
        QPointer<FrmBatch> w = f.window;
        w->Command1(1)->click();
        QVERIFY(w);  // not at once
        QTRY_VERIFY(!w);
        f.window = nullptr;
    }
};

QTEST_MAIN(TestFrmBatch)
#include "tst_frmbatch.moc"
