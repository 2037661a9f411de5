// miPrint / miPrintPreview: the printout rendered to a PDF, read back.
#include <QPrinter>
#include <QRegularExpression>
#include <QtTest>

#include <map>

#include "channels/ChannelCsv.h"
#include "helpers/ShellFixture.h"
#include "settings/SettingsRow.h"
#include "shell/ChannelPrint.h"
#include "text/TextTable.h"

using namespace rm427;

namespace {

// The text of a PDF as Qt writes it: zlib content streams that show glyphs
// as hex strings, and ToUnicode maps (bfchar / bfrange) from glyphs to
// characters, one per font. Good enough for Qt's own output.
QString PdfText(const QByteArray& pdf) {
    QList<QByteArray> streams;
    for (qsizetype at = 0; (at = pdf.indexOf("stream", at)) >= 0;) {
        qsizetype begin = at + 6;
        if (pdf.mid(at - 3, 3) == "end") {
            at = begin;
            continue;
        }
        if (pdf.mid(begin, 2) == "\r\n") begin += 2;
        else if (pdf.at(begin) == '\n') ++begin;
        const qsizetype end = pdf.indexOf("endstream", begin);
        if (end < 0) break;
        QByteArray raw = pdf.mid(begin, end - begin);
        QByteArray sized(4, '\0');
        const quint32 guess = 64u << 20;
        sized[0] = char(guess >> 24);
        sized[1] = char(guess >> 16);
        sized[2] = char(guess >> 8);
        sized[3] = char(guess);
        const QByteArray plain = qUncompress(sized + raw);
        streams << (plain.isEmpty() ? raw : plain);
        at = end + 9;
    }
    // Glyph -> text, from every ToUnicode map (a later font may reuse a glyph number).
    std::map<int, QString> glyphs;
    QRegularExpression bfchar(QStringLiteral("<([0-9A-Fa-f]+)>\\s*<([0-9A-Fa-f]+)>"));
    QRegularExpression bfrange(
        QStringLiteral("<([0-9A-Fa-f]+)>\\s*<([0-9A-Fa-f]+)>\\s*(\\[[^\\]]*\\]|<[0-9A-Fa-f]+>)"));
    QRegularExpression hex(QStringLiteral("<([0-9A-Fa-f]+)>"));
    QString text;
    for (const QByteArray& s : streams) {
        const QString str = QString::fromLatin1(s);
        if (!str.contains(QStringLiteral("begincmap"))) continue;
        for (const QString& block : str.split(QStringLiteral("beginbf")).mid(1)) {
            const bool range = block.startsWith(QStringLiteral("range"));
            const QString body = block.section(QStringLiteral("endbf"), 0, 0);
            auto it = (range ? bfrange : bfchar).globalMatch(body);
            while (it.hasNext()) {
                auto m = it.next();
                const int lo = m.captured(1).toInt(nullptr, 16);
                if (!range) {
                    glyphs[lo] = QChar(m.captured(2).toInt(nullptr, 16));
                    continue;
                }
                const int hi = m.captured(2).toInt(nullptr, 16);
                const QString target = m.captured(3);
                if (target.startsWith('[')) {
                    auto u = hex.globalMatch(target);
                    for (int g = lo; g <= hi && u.hasNext(); ++g)
                        glyphs[g] = QChar(u.next().captured(1).toInt(nullptr, 16));
                } else {
                    const int u = target.mid(1, target.size() - 2).toInt(nullptr, 16);
                    for (int g = lo; g <= hi; ++g) glyphs[g] = QChar(u + g - lo);
                }
            }
        }
    }
    QRegularExpression shown(QStringLiteral("<([0-9A-Fa-f]+)>"));
    for (const QByteArray& s : streams) {
        const QString str = QString::fromLatin1(s);
        if (str.contains(QStringLiteral("begincmap")) || !str.contains(QStringLiteral("Tj"))) continue;
        auto it = shown.globalMatch(str);
        while (it.hasNext()) {
            const QString codes = it.next().captured(1);
            for (int i = 0; i + 4 <= codes.size(); i += 4)
                text += glyphs[codes.mid(i, 4).toInt(nullptr, 16)];
            text += ' ';
        }
    }
    return text;
}

}  // namespace

class TestPrint : public QObject {
    Q_OBJECT
private slots:
    void pdfHoldsTheChannelsAndSettings();
};

void TestPrint::pdfHoldsTheChannelsAndSettings() {
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

    QTemporaryDir dir;
    const QString path = dir.filePath("list.pdf");
    QPrinter printer(QPrinter::HighResolution);
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(path);
    gui::PrintChannelList(s, printer);
    if (qEnvironmentVariableIsSet("KEEP_PDF")) QFile::copy(path, qEnvironmentVariable("KEEP_PDF"));
    QFile f(path);
    QVERIFY(f.open(QIODevice::ReadOnly));
    const QByteArray pdf = f.readAll();
    QVERIFY(pdf.startsWith("%PDF"));
    const QString text = PdfText(pdf).simplified();
    QString packed = text;
    packed.remove(' ');
    QVERIFY2(!text.isEmpty(), "no text found in the PDF");
    for (const char* want : {"Rx Freq", "Tx Freq", "146.70000", "146.10000", "D023N", "RPT", "438.50000",
                             "433.50000", "QRZ", "SQ Level", "HELLO", "Optional Features"})
        QVERIFY2(packed.contains(QString::fromLatin1(want).remove(' ')),
                 qPrintable(QStringLiteral("missing %1 in: %2").arg(want, text.left(400))));
    // Only programmed channels: channel 3 is empty and has no row.
    const QString html = gui::ChannelListHtml(s);
    QCOMPARE(html.count(QStringLiteral("<tr><td>")) - 14, 2);  // 14 settings rows

    // Chinese: titles and settings labels from the Chinese table.
    s.Language = 1;
    const QString zh = gui::ChannelListHtml(s);
    QVERIFY(zh.contains(QString::fromStdString(LoadText(1, 1121))));
    QVERIFY(zh.contains(QString::fromStdString(LoadText(1, 1161))));
    QVERIFY(!zh.contains(QStringLiteral("Rx Freq")));
}

QTEST_MAIN(TestPrint)
#include "tst_print.moc"
