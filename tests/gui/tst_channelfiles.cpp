// File menu: Import Channels... and Export Channels..., through the
// scripted file dialogs and message boxes, and the import preview.
#include <QDialogButtonBox>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QTreeWidget>
#include <QtTest>

#include <fstream>
#include <sstream>

#include "channels/ChannelCsv.h"
#include "channels/ChannelRecord.h"
#include "channels/CommonCsv.h"
#include "helpers/ShellFixture.h"
#include "shell/frmImport.h"
#include "text/TextTable.h"

using namespace rm427;
using rm427::test::ShellFixture;

namespace {

std::string Slurp(const QString& path) {
    std::ifstream in(path.toStdString(), std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

void Put(const QString& path, const std::string& bytes) {
    std::ofstream(path.toStdString(), std::ios::binary) << bytes;
}

const char* kList =
    "\xEF\xBB\xBFLocation,Name,Frequency,Duplex,Offset,Tone,rToneFreq,cToneFreq,DtcsCode,"
    "DtcsPolarity,Mode,TStep,Skip,Power,Comment\r\n"
    "1,\"Hill, north\",146.7,-,0.6,TSQL,131.8,131.8,23,NN,FM,5,,High,\"a, b\"\r\n"
    "2,AIR,128.25,,0,,88.5,88.5,23,NN,AM,5,,,\r\n";

}  // namespace

class TestChannelFiles : public QObject {
    Q_OBJECT
private slots:
    void importPreviewListsEachChannelAndOkStoresIt();
    void importCancelOrBadFileChangesNothing();
    void exportWritesTheChosenLayout();
    void importSpeaksTheInterfacesLanguage();
};

void TestChannelFiles::importPreviewListsEachChannelAndOkStoresIt() {
    ShellFixture f;
    auto& w = f.Start();
    const QString csv = f.dir.filePath("list.csv");
    Put(csv, kList);
    f.files.openAnswers.push_back(csv.toStdString());
    ShellFixture::OnModal([](QWidget* d) {
        auto* p = qobject_cast<gui::frmImport*>(d);
        QVERIFY(p);
        QCOMPARE(p->List()->topLevelItemCount(), 2);
        const QTreeWidgetItem* taken = p->List()->topLevelItem(0);
        QCOMPARE(taken->text(0), QStringLiteral("1"));
        QCOMPARE(taken->text(2), QStringLiteral("New, Fitted"));
        QVERIFY(taken->text(3).contains(QStringLiteral("name \"Hill, north\"")));
        const QTreeWidgetItem* skipped = p->List()->topLevelItem(1);
        QCOMPARE(skipped->text(1), QStringLiteral("3"));
        QVERIFY(skipped->text(3).startsWith(QStringLiteral("mode \"AM\"")));
        QVERIFY(p->findChild<QLabel*>("lblRepairs")->text().contains(QStringLiteral("byte order mark")));
        QTest::keyClick(p->List(), Qt::Key_Return);  // Enter is OK
    });
    w.Dispatch("miImportChannels");
    QVERIFY(f.boxes.shown.empty());
    CodeplugImage expected = Module1().Image;
    CommonCsvImport report;
    std::string error;
    QVERIFY(ImportCommonCsv(kList, expected, report, error));
    QVERIFY(f.state.Image == expected);
    QVERIFY(f.state.ImageModified());

    // The program's own layout, into the empty channels: channel 1 stays.
    Put(csv, "Channel,RxFreq,Name\r\n7,438.5,RPT\r\n");
    f.files.openAnswers.push_back(csv.toStdString());
    ShellFixture::OnModal([](QWidget* d) {
        auto* p = qobject_cast<gui::frmImport*>(d);
        QTest::mouseClick(p->OptMode(ImportMode::Append), Qt::LeftButton, {}, QPoint(4, 4));
        QCOMPARE(p->List()->topLevelItem(0)->text(0), QStringLiteral("2"));
        p->Buttons()->button(QDialogButtonBox::Ok)->click();
    });
    w.Dispatch("miImportChannels");
    QVERIFY(f.state.Image[ChannelOffset(1)] != 0xFF);
    QCOMPARE(ChannelAt(f.state.Image, 2).name, std::string("RPT"));
    QVERIFY(f.state.Image[ChannelOffset(7)] == 0xFF);
}

void TestChannelFiles::importCancelOrBadFileChangesNothing() {
    ShellFixture f;
    auto& w = f.Start();
    const CodeplugImage before = f.state.Image;
    const QString csv = f.dir.filePath("list.csv");
    Put(csv, kList);
    f.files.openAnswers.push_back(csv.toStdString());
    ShellFixture::OnModal([](QWidget* d) { QTest::keyClick(d, Qt::Key_Escape); });
    w.Dispatch("miImportChannels");
    QVERIFY(f.boxes.shown.empty());
    QVERIFY(f.state.Image == before);

    // A cancelled file dialog ends the command silently.
    w.Dispatch("miImportChannels");
    QVERIFY(f.boxes.shown.empty());

    // Malformed and unknown files: one error box each, nothing changed.
    for (const char* bad : {"Location,Frequency\r\n1,\"146.7\r\n", "a,b\r\n1,2\r\n"}) {
        Put(csv, bad);
        f.files.openAnswers.push_back(csv.toStdString());
        f.boxes.Clear();
        w.Dispatch("miImportChannels");
        QCOMPARE(f.boxes.shown.size(), std::size_t(1));
        QCOMPARE(f.boxes.shown[0].title, std::string("Error"));
        QCOMPARE(f.boxes.shown[0].icon, MsgIcon::Critical);
        QVERIFY(f.state.Image == before);
    }
    f.files.openAnswers.push_back(f.dir.filePath("missing.csv").toStdString());
    f.boxes.Clear();
    w.Dispatch("miImportChannels");
    QCOMPARE(f.boxes.shown.size(), std::size_t(1));
    QVERIFY(f.state.Image == before);
}

void TestChannelFiles::exportWritesTheChosenLayout() {
    ShellFixture f;
    auto& w = f.Start();
    std::string error;
    QVERIFY(
        ImportChannelsCsv("Channel,RxFreq,TxFreq,Decode,Encode,Name\r\n"
                          "3,145.5,145.5,88.5,88.5,CALL\r\n",
                          f.state.Image, error));
    // The grid owns the channels: show them there, or the export's store
    // would write the empty grid back.
    w.RefreshChannel();
    const QString common = f.dir.filePath("common.csv"), own = f.dir.filePath("own.csv");
    f.boxes.Answer(MsgAnswer::Yes);
    f.files.saveAnswers.push_back(common.toStdString());
    w.Dispatch("miExportChannels");
    QCOMPARE(Slurp(common), ExportCommonCsv(f.state.Image));
    QVERIFY(Slurp(common).find("\r\n3,CALL,145.500000,,0.000000,TSQL,88.5,88.5,") != std::string::npos);

    f.boxes.Answer(MsgAnswer::No);
    f.files.saveAnswers.push_back(own.toStdString());
    w.Dispatch("miExportChannels");
    QCOMPARE(Slurp(own), ExportChannelsCsv(f.state.Image));

    // Cancel in the question: no file dialog, no file.
    const QString none = f.dir.filePath("none.csv");
    f.boxes.Answer(MsgAnswer::Cancel);
    f.files.saveAnswers.push_back(none.toStdString());
    w.Dispatch("miExportChannels");
    QVERIFY(!QFile::exists(none));
    QCOMPARE(f.files.saveAnswers.size(), std::size_t(1));

    // A folder that does not exist: an error box, no file.
    f.files.saveAnswers.clear();
    f.boxes.Clear();
    f.boxes.Answer(MsgAnswer::Yes);
    f.files.saveAnswers.push_back(f.dir.filePath("no/such/dir.csv").toStdString());
    w.Dispatch("miExportChannels");
    QCOMPARE(f.boxes.shown.size(), std::size_t(2));
    QCOMPARE(f.boxes.shown[1].title, std::string("Error"));

    // A read-only file: asked first (No keeps it), replaced on Yes, still read-only.
    Put(own, "kept");
    QVERIFY(QFile::setPermissions(own, QFileDevice::ReadOwner));
    for (MsgAnswer answer : {MsgAnswer::No, MsgAnswer::Yes}) {
        f.boxes.Clear();
        f.boxes.Answer(MsgAnswer::No);  // own layout
        f.boxes.Answer(answer);
        f.files.saveAnswers.push_back(own.toStdString());
        w.Dispatch("miExportChannels");
        QCOMPARE(f.boxes.shown.size(), std::size_t(2));
        QCOMPARE(f.boxes.shown[1].text, own.toStdString() + "\n" + LoadText(0, 3600));
        QCOMPARE(f.boxes.shown[1].buttons, MsgButtons::YesNo);
        if (answer == MsgAnswer::No) QCOMPARE(Slurp(own), std::string("kept"));
    }
    QCOMPARE(Slurp(own), ExportChannelsCsv(f.state.Image));
    const auto writable = QFileDevice::WriteOwner | QFileDevice::WriteGroup | QFileDevice::WriteOther;
    QVERIFY(!(QFile::permissions(own) & writable));
}

void TestChannelFiles::importSpeaksTheInterfacesLanguage() {
    ShellFixture f;
    auto& w = f.Start();
    w.Dispatch("miChinese");
    const QString csv = f.dir.filePath("list.csv");
    Put(csv, "Location,Name,Frequency,Mode\r\n1,LONGNAME,146.7,FM\r\n2,AIR,128.25,AM\r\n");
    f.files.openAnswers.push_back(csv.toStdString());
    ShellFixture::OnModal([](QWidget* d) {
        auto* p = qobject_cast<gui::frmImport*>(d);
        QCOMPARE(p->windowTitle(), QStringLiteral("导入信道"));
        QString said;
        for (int i = 0; i < p->List()->topLevelItemCount(); ++i)
            said += p->List()->topLevelItem(i)->text(2) + p->List()->topLevelItem(i)->text(3) + '\n';
        QVERIFY2(said.contains(QStringLiteral("跳过模式“AM”不是 FM 或 NFM：已跳过")) &&
                     !said.contains(QRegularExpression("[a-z]")),
                 qPrintable(said));
        QTest::keyClick(d, Qt::Key_Escape);
    });
    w.Dispatch("miImportChannels");
    QString said;
    Put(csv, "Channel,RxFreq\r\n1,\"146.7\r\n");
    f.files.openAnswers.push_back(csv.toStdString());
    w.Dispatch("miImportChannels");
    said = QString::fromStdString(f.boxes.Last()->text);
    QVERIFY2(said.endsWith(QStringLiteral("第 2 行：引号内的字段没有结束")), qPrintable(said));
    QCOMPARE(f.boxes.Last()->title, std::string("错误"));
}

QTEST_MAIN(TestChannelFiles)
#include "tst_channelfiles.moc"
