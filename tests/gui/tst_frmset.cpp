// The function settings window through its controls and real key events.
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QtTest>

#include "image/Module1.h"
#include "settings/frmSet.h"

using rm427::Module1;
using rm427::gui::frmSet;

class TestFrmSet : public QObject {
    Q_OBJECT
private:
    static QStringList Shown(const frmSet& w) {
        QStringList s;
        for (int i = 0; i < 11; ++i) s << w.CboSet(i)->currentText();
        return s;
    }
    static void ShowAndFocus(frmSet& w) {
        w.show();
        w.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&w));
    }

private slots:
    void newImageShowsTheDefaults() {
        Module1 s;
        frmSet w(s);
        QCOMPARE(w.windowTitle(), QStringLiteral("Optional Features"));
        QCOMPARE(Shown(w), (QStringList{"2", "On", "3m", "Time Operation", "On", "Off", "Off",
                                        "VFO Mode", "3", "2s", "Frequency"}));
        QVERIFY(!w.ChkSet1()->isChecked());
        QCOMPARE(w.Combo1()->currentText(), QStringLiteral("Batt Voltage"));
        QCOMPARE(w.Text1()->text(), QString());
    }

    void okWithoutChangesKeepsEveryByteAndCancelKeepsEdits() {
        Module1 s;
        {
            frmSet w(s);
            w.Command1(0)->click();
            QCOMPARE(w.result(), int(QDialog::Accepted));
        }
        QVERIFY(s.Image == s.SavedImage);

        frmSet w(s);
        w.CboSet(0)->setCurrentIndex(9);
        w.Combo1()->setCurrentIndex(1);
        w.ChkSet1()->setChecked(true);
        w.Text1()->setText("XYZ");
        w.Command1(1)->click();
        QCOMPARE(w.result(), int(QDialog::Rejected));
        QVERIFY(s.Image == s.SavedImage);  // also 0xE96 and 0xEB5-0xEBB
    }

    void storesWhatTheControlsShow() {
        Module1 s;
        s.Image[0xE98] = 0x9F;
        frmSet w(s);
        QCOMPARE(w.CboSet(2)->currentText(), QStringLiteral("3m"));
        QCOMPARE(w.CboSet(6)->currentText(), QStringLiteral("15H"));
        w.Command1(0)->click();
        QCOMPARE(int(s.Image[0xE98]), 0x3F);

        frmSet v(s);
        v.CboSet(0)->setCurrentIndex(7);
        v.Combo1()->setCurrentIndex(1);
        v.Text1()->setText("AB");
        v.Command1(0)->click();
        // The controls reach the settings row (its bytes: settings_test).
        QCOMPARE(int(s.Image[0xE95]), 7);
        QCOMPARE(int(s.Image[0xE9A]) >> 6, 2);
        frmSet again(s);
        QCOMPARE(again.Text1()->text(), QStringLiteral("AB"));
        QCOMPARE(again.Combo1()->currentIndex(), 1);
    }

    void messageFieldTakesOnlyTableCharacters() {
        Module1 s;
        frmSet w(s);
        ShowAndFocus(w);
        w.Text1()->setFocus();
        QTest::keyClicks(w.Text1(), "a?b.7");
        QCOMPARE(w.Text1()->text(), QStringLiteral("AB7"));
        QTest::keyClick(w.Text1(), Qt::Key_Backspace);
        QTest::keyClicks(w.Text1(), " -_z*+");
        QCOMPARE(w.Text1()->text(), QStringLiteral("AB -_"));  // five at most; pastes: tst_seams
        // Enter moves on and never confirms the dialog.
        QTest::keyClick(w.Text1(), Qt::Key_Return);
        QVERIFY(!w.Text1()->hasFocus());
        QVERIFY(w.isVisible());
        QVERIFY(s.Image == s.SavedImage);
    }

    // Focus on the message selects its whole text.
    void messageSelectsItsTextOnFocus() {
        Module1 s;
        frmSet w(s);
        ShowAndFocus(w);
        w.Text1()->setText("ABC");
        w.Text1()->setFocus();
        QTRY_COMPARE(w.Text1()->selectedText(), QStringLiteral("ABC"));
    }

    void chineseLabelsAndRelabellingKeepsSelections() {
        Module1 s;
        s.Language = 1;
        frmSet w(s);
        QCOMPARE(w.windowTitle(), QStringLiteral("可选功能"));
        QCOMPARE(w.CboSet(2)->currentText(), QStringLiteral("3分"));

        w.CboSet(7)->setCurrentIndex(2);
        w.CboSet(9)->setCurrentIndex(3);
        s.Language = 0;
        w.RefreshSetFace();
        QCOMPARE(w.CboSet(7)->currentText(), QStringLiteral("Channel Mode"));
        QCOMPARE(w.CboSet(9)->currentText(), QStringLiteral("4s"));
        QCOMPARE(w.LblSet(11)->text(), QStringLiteral("Dis. Information"));
        QCOMPARE(w.CboSet(6)->count(), 16);
        QCOMPARE(w.Combo1()->count(), 3);
    }
};

QTEST_MAIN(TestFrmSet)
#include "tst_frmset.moc"
