// The test and tuning window over a pseudo-terminal against the simulated
// radio: real widgets, real keys, the real serial port.
#include <QLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSlider>
#include <QSpinBox>
#include <QSplitter>
#include <QTreeWidget>
#include <QtTest>

#include "PtyRadio.h"
#include "TestModeCommands.h"
#include "helpers/ScriptedDialogs.h"
#include "radio/frmTestMode.h"

using namespace rm427;
using rm427::sim::PtyRadio;
using rm427::sim::RadioModel;
using rm427::sim::SimFrame;

namespace {

std::vector<SimFrame> Frames(PtyRadio& radio) {
    return radio.With([](RadioModel& m) { return m.Frames(); });
}

QStringList Kinds(PtyRadio& radio) {
    QStringList out;
    for (const SimFrame& f : Frames(radio)) out << QString::fromStdString(f.kind);
    return out;
}

Bytes Last(PtyRadio& radio, const char* kind) {
    const auto frames = Frames(radio);
    for (auto it = frames.rbegin(); it != frames.rend(); ++it)
        if (it->kind == kind) return it->bytes;
    return {};
}

}  // namespace

class TestModeTest : public QObject {
    Q_OBJECT

    struct Window {
        Window(PtyRadio& radio, Module1& s, MessageBoxes* boxes = nullptr)
            : Window(radio.SlavePath(), s, boxes) {}
        Window(const std::string& path, Module1& s, MessageBoxes* boxes)
            : form(
                  s, nullptr, [path](int) { return path; }, boxes) {
            form.show();
            form.activateWindow();
            QVERIFY(QTest::qWaitForWindowActive(&form));
            tree = form.findChild<QTreeWidget*>("TreeTest");
            slider = form.findChild<QSlider*>("SldDev");
            updown = form.findChild<QSpinBox*>("UdDev");
            text = form.findChild<QLineEdit*>("TxtDev");
            first = form.findChild<QPushButton*>("CmdDev_0");
            second = form.findChild<QPushButton*>("CmdDev_1");
            for (int i = 0; i < 2; ++i) {
                freq[i] = form.findChild<QRadioButton*>(QString("Optdev1_%1").arg(i));
                width[i] = form.findChild<QRadioButton*>(QString("Optdev2_%1").arg(i));
            }
        }
        void Pick(int item) {
            QTreeWidgetItem* node = tree->topLevelItem(0)->child(item - 1);
            const QRect r = tree->visualItemRect(node);
            QTest::mouseClick(tree->viewport(), Qt::LeftButton, {}, r.center());
        }
        TestModeState State() const { return form.Exchange().State(); }
        bool WaitFor(TestModeState s, int ms = 3000) {
            QElapsedTimer t;
            t.start();
            while (State() != s && t.elapsed() < ms) QTest::qWait(5);
            return State() == s;
        }
        void Connect() {
            QTest::mouseClick(first, Qt::LeftButton);
            QVERIFY(WaitFor(TestModeState::Adjusting));
        }
        void TypeValue(const char* digits) {
            text->setFocus();
            text->selectAll();
            QTest::keyClicks(text, digits);
        }

        frmTestMode form;
        QTreeWidget* tree = nullptr;
        QSlider* slider = nullptr;
        QSpinBox* updown = nullptr;
        QLineEdit* text = nullptr;
        QPushButton* first = nullptr;
        QPushButton* second = nullptr;
        QRadioButton* freq[2] = {};
        QRadioButton* width[2] = {};
    };

    std::unique_ptr<PtyRadio> radio;

private slots:
    void init() {
        radio = std::make_unique<PtyRadio>();
        std::string error;
        QVERIFY2(radio->Start(error), error.c_str());
    }
    void cleanup() { radio.reset(); }

    void opensIdleOnTheFirstItem() {
        Module1 s;
        Window w(*radio, s);
        QCOMPARE(w.tree->currentItem(), w.tree->topLevelItem(0)->child(0));
        QCOMPARE(w.first->text(), QString("&Run"));
        // The splitter keeps the tree at least 1500 twips wide.
        auto* splitter = w.form.findChild<QSplitter*>("splitter");
        splitter->setSizes({0, 2000});
        QVERIFY(w.tree->width() >= 100 - w.form.layout()->contentsMargins().left());

        s.Language = 1;
        w.form.RefreshTexts();
        QCOMPARE(w.first->text(), QString::fromUtf8("运行(&R)"));
    }

    void runReadsTheValueAndLocksTheChoice() {
        radio->With([](RadioModel& m) {
            sim::SetTuningValue(m, 0, 128);
            return 0;
        });
        Module1 s;
        Window w(*radio, s);
        w.Connect();
        QCOMPARE(Kinds(*radio), QStringList({"access", "query"}));
        QCOMPARE(Last(*radio, "access"), Bytes({'T', 'U', 'M', 'K', 'E', 'L'}));
        QCOMPARE(Last(*radio, "query"), Bytes({0x54, 0x00, 0x02, 0x00}));
        QCOMPARE(w.slider->value(), 128);
        QCOMPARE(w.text->text(), QString("128"));
        QCOMPARE(w.updown->value(), 128);
        QCOMPARE(w.first->text(), QString("&OK"));
        QCOMPARE(w.second->text(), QString("&Cancel"));
        QVERIFY(!w.tree->isEnabled());
        QVERIFY(!w.freq[1]->isEnabled());
        QVERIFY(!w.width[1]->isEnabled());

        // Cancel leaves without storing.
        QTest::mouseClick(w.second, Qt::LeftButton);
        QVERIFY(w.WaitFor(TestModeState::Idle));
        QCOMPARE(Kinds(*radio), QStringList({"access", "query", "leave", "done"}));
        QCOMPARE(w.first->text(), QString("&Run"));
        QVERIFY(w.tree->isEnabled());
        QVERIFY(w.freq[1]->isEnabled());
    }

    void maxDeviationAdjustAndStore() {
        radio->With([](RadioModel& m) {
            sim::SetTuningValue(m, 6, 100);
            return 0;
        });
        radio->With([](RadioModel& m) {
            m.memory[0xEEC] = 0x1F;  // 256 for High, 12.5 kHz
            m.memory[0xEED] = 0xE0;
            return 0;
        });
        Module1 s;
        Window w(*radio, s);
        w.Pick(4);
        QCOMPARE(w.slider->maximum(), 511);
        QTest::mouseClick(w.freq[1], Qt::LeftButton, {}, QPoint(8, w.freq[1]->height() / 2));
        QTest::mouseClick(w.width[1], Qt::LeftButton, {}, QPoint(8, w.width[1]->height() / 2));
        QVERIFY(w.freq[1]->isChecked());
        QVERIFY(w.width[1]->isChecked());
        w.Connect();
        QCOMPARE(Last(*radio, "query"), Bytes({0x54, 0x06, 0x02, 0x00}));
        QCOMPARE(w.slider->value(), 256);

        // Every change of the value goes to the radio at once.
        w.TypeValue("300");
        QTest::keyClick(w.text, Qt::Key_Return);
        QVERIFY(w.WaitFor(TestModeState::Adjusting));
        QTRY_COMPARE(radio->With([](RadioModel& m) { return sim::LiveTuningValue(m, 6); }), 300);
        w.TypeValue("256");
        QTest::keyClick(w.text, Qt::Key_Return);
        QTRY_COMPARE(Last(*radio, "adjust"), Bytes({0x41, 0x06, 0x1F, 0xE0}));
        QVERIFY(w.WaitFor(TestModeState::Adjusting));
        QCOMPARE(radio->With([](RadioModel& m) { return sim::TuningValue(m, 6); }), 256);

        QTest::mouseClick(w.first, Qt::LeftButton);  // OK
        QVERIFY(w.WaitFor(TestModeState::Idle));
        const QStringList kinds = Kinds(*radio);
        QCOMPARE(kinds.mid(kinds.size() - 3), QStringList({"leave", "store", "done"}));
        QCOMPARE(Last(*radio, "store"), Bytes({0x57, 0x02, 0xAE, 0xEC, 0x1F, 0xE0}));
        QCOMPARE(w.first->text(), QString("&Run"));
    }

    void storeOneByteItemAtTheRealLineRate() {
        // 18 bytes of identification take 83 ms to arrive at 2400 baud.
        radio->SetByteTime(sim::kByteTimeMs2400);
        radio->With([](RadioModel& m) {
            sim::SetTuningValue(m, 7, 40);
            m.echo = true;  // a cable that echoes: the last bytes count
            return 0;
        });
        Module1 s;
        Window w(*radio, s);
        w.Pick(5);
        w.Connect();
        QCOMPARE(w.slider->value(), 40);
        w.updown->setValue(100);  // the arrows move the slider
        QCOMPARE(w.slider->value(), 100);
        QVERIFY(w.WaitFor(TestModeState::Adjusting));
        QTRY_COMPARE(Last(*radio, "adjust"), Bytes({0x41, 0x07, 0x64, 0x00}));
        QVERIFY(w.WaitFor(TestModeState::Adjusting));
        QTest::mouseClick(w.first, Qt::LeftButton);
        QVERIFY(w.WaitFor(TestModeState::Idle));
        QCOMPARE(Last(*radio, "store"), Bytes({0x57, 0x01, 0xAE, 0xEE, 0x64, 0x00}));
        QCOMPARE(radio->With([](RadioModel& m) { return sim::TuningValue(m, 7); }), 100);
    }

    void valueTextRules() {
        radio->With([](RadioModel& m) {
            sim::SetTuningValue(m, 1, 77);
            return 0;
        });
        Module1 s;
        Window w(*radio, s);
        w.Pick(2);
        // Typed 999 on a 0-255 item: 255.
        w.TypeValue("9x9-9");
        QCOMPARE(w.text->text(), QString("999"));
        QTest::keyClick(w.text, Qt::Key_Return);
        QCOMPARE(w.text->text(), QString("255"));
        QCOMPARE(w.slider->value(), 255);
        w.TypeValue("1234");
        QCOMPARE(w.text->text(), QString("123"));  // three characters at most
        // A rejected key with the text selected changes nothing.
        w.TypeValue("x");
        QCOMPARE(w.text->text(), QString("123"));
        QCOMPARE(w.text->selectedText(), QString("123"));
        QTest::keyClick(w.text, Qt::Key_Return);
        QCOMPARE(w.text->text(), QString("123"));

        w.Connect();
        QCOMPARE(w.slider->value(), 77);
        w.TypeValue("200");
        QTest::keyClick(w.text, Qt::Key_Return);
        QTRY_COMPARE(Last(*radio, "adjust"), Bytes({0x41, 0x01, 200, 0x00}));
        QVERIFY(w.WaitFor(TestModeState::Adjusting));
        // Escape: back to the value read from the radio, not the one sent.
        w.TypeValue("12");
        QTest::keyClick(w.text, Qt::Key_Escape);
        QCOMPARE(w.text->text(), QString("77"));
        QCOMPARE(w.slider->value(), 77);
        QVERIFY(w.form.isVisible());
        QTRY_COMPARE(Last(*radio, "adjust"), Bytes({0x41, 0x01, 77, 0x00}));
        QVERIFY(w.WaitFor(TestModeState::Adjusting));

        // Switching to item 4 and back: a value above 255 drops to 255.
        QTest::mouseClick(w.second, Qt::LeftButton);
        QVERIFY(w.WaitFor(TestModeState::Idle));
        w.Pick(4);
        w.TypeValue("400");
        QTest::keyClick(w.text, Qt::Key_Return);
        QCOMPARE(w.slider->value(), 400);
        w.Pick(1);
        QCOMPARE(w.slider->value(), 255);
        QCOMPARE(w.text->text(), QString("255"));
    }

    void fastSliderEndsWhereTheSliderIs() {
        radio->With([](RadioModel& m) {
            sim::SetTuningValue(m, 0, 10);
            m.faults.push_back({sim::FaultKind::Delay, -1, -1, 60});  // a slow radio
            return 0;
        });
        Module1 s;
        Window w(*radio, s);
        w.Connect();
        w.slider->setFocus();
        QTest::keyClick(w.slider, Qt::Key_Right);
        QTRY_COMPARE(Kinds(*radio).size(), 3);  // the first move is on its way
        // More moves while the radio has not answered yet.
        for (int i = 0; i < 19; ++i) QTest::keyClick(w.slider, Qt::Key_Right);
        QCOMPARE(w.slider->value(), 30);
        QTRY_COMPARE_WITH_TIMEOUT(radio->With([](RadioModel& m) { return sim::LiveTuningValue(m, 0); }),
                                  30, 5000);
        QVERIFY(w.WaitFor(TestModeState::Adjusting));
    }

    void silenceShortAnswersAndPortFailures() {
        Module1 s;
        test::ScriptedMessageBoxes boxes;
        for (sim::FaultKind fault : {sim::FaultKind::NoAnswer, sim::FaultKind::ShortAnswer}) {
            radio->With([fault](RadioModel& m) {
                m.faults = {{fault, 1, 1, 0}};  // the query
                return 0;
            });
            Window w(*radio, s, &boxes);
            QElapsedTimer t;
            t.start();
            QTest::mouseClick(w.first, Qt::LeftButton);
            QVERIFY(!w.first->isEnabled());  // no second Run while connecting
            QTRY_COMPARE(w.State(), TestModeState::Querying);
            QVERIFY(w.WaitFor(TestModeState::Idle, 2000));
            if (fault == sim::FaultKind::NoAnswer) QVERIFY(t.elapsed() >= 500);
            QCOMPARE(w.first->text(), QString("&Run"));
            QVERIFY(w.first->isEnabled());
            QVERIFY(w.tree->isEnabled());
            QVERIFY(boxes.shown.empty());
        }
        Window w("/nonexistent/tty", s, &boxes);  // a port nobody serves
        QTest::mouseClick(w.first, Qt::LeftButton);
        QCOMPARE(w.State(), TestModeState::Idle);
        QCOMPARE(boxes.shown.size(), std::size_t(1));
        QVERIFY(!boxes.shown[0].text.empty());
        QCOMPARE(w.first->text(), QString("&Run"));
    }
};

QTEST_MAIN(TestModeTest)
#include "tst_testmode.moc"
