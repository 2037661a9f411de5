// miPrint / miPrintPreview: the printout's document and its PDF rendering.
#include <QPrinter>
#include <QTextDocument>
#include <QtTest>

#include "channels/ChannelCsv.h"
#include "helpers/ShellFixture.h"
#include "settings/SettingsRow.h"
#include "shell/ChannelPrint.h"
#include "text/TextTable.h"

using namespace rm427;

class TestPrint : public QObject {
    Q_OBJECT
private slots:
    void printoutHoldsTheChannelsAndSettings();
};

void TestPrint::printoutHoldsTheChannelsAndSettings() {
    Module1 s;
    std::string error;
    QVERIFY(
        ImportChannelsCsv("Channel,RxFreq,TxFreq,Decode,Encode,Power,Name\r\n"
                          "2,146.70000,146.10000,88.5,D023N,Low,RPT\r\n"
                          "9,438.50000,433.50000,None,None,High,QRZ\r\n",
                          s.Image, error));
    SettingsSelections sel = ShowSettings(s.Image);
    sel.list[setSquelch] = 7;
    sel.message = "HELLO";
    StoreSettings(s.Image, sel);

    // The printer prints this document (PrintChannelList).
    QTextDocument doc;
    doc.setHtml(gui::ChannelListHtml(s));
    const QString text = doc.toPlainText();
    for (const char* want : {"Rx Freq", "Tx Freq", "146.70000", "146.10000", "D023N", "RPT", "438.50000",
                             "433.50000", "QRZ", "SQ Level", "HELLO", "Optional Features"})
        QVERIFY2(text.contains(QString::fromLatin1(want)), want);
    // Only programmed channels: channel 3 is empty and has no row.
    const QString html = gui::ChannelListHtml(s);
    QCOMPARE(html.count(QStringLiteral("<tr><td>")) - 14, 2);  // 14 settings rows

    QTemporaryDir dir;
    const QString path = dir.filePath("list.pdf");
    QPrinter printer(QPrinter::HighResolution);
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(path);
    gui::PrintChannelList(s, printer);
    QFile f(path);
    QVERIFY(f.open(QIODevice::ReadOnly));
    const QByteArray pdf = f.readAll();
    QVERIFY(pdf.startsWith("%PDF"));
    QVERIFY(pdf.contains("/Type /Page") || pdf.contains("/Type/Page"));

    // Chinese: titles and settings labels from the Chinese table.
    s.Language = 1;
    const QString zh = gui::ChannelListHtml(s);
    QVERIFY(zh.contains(QString::fromStdString(LoadText(1, 1121))));
    QVERIFY(zh.contains(QString::fromStdString(LoadText(1, 1161))));
    QVERIFY(!zh.contains(QStringLiteral("Rx Freq")));
}

QTEST_MAIN(TestPrint)
#include "tst_print.moc"
