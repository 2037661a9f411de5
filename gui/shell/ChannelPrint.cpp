#include "shell/ChannelPrint.h"

#include <QPrinter>
#include <QTextDocument>

#include "channels/Channel.h"
#include "settings/SettingsNames.h"
#include "text/TextTable.h"

namespace rm427::gui {
namespace {

QString Esc(const std::string& s) { return QString::fromStdString(s).toHtmlEscaped(); }

}  // namespace

// One weight of one face throughout (headings by size and shading, not
// bold), so the PDF carries a single embedded font.
QString ChannelListHtml(const Module1& state) {
    const int lang = state.Language;
    ChannelRows rows = MakeChannelRows(state);
    RenderChannels(ImageChannels(state.Image), lang, rows);
    Module1 title = state;  // TitleText trims the file name; the caller's state stays

    QString html = QStringLiteral("<html><body><p style=\"font-size:12pt\">") + Esc(title.TitleText()) +
                   QStringLiteral("</p>");
    html +=
        QStringLiteral("<table border=\"1\" cellspacing=\"0\" cellpadding=\"2\" width=\"100%\"><tr>");
    for (int c = 0; c < kChannelColumns; ++c)
        html += QStringLiteral("<th style=\"font-weight:normal\" bgcolor=\"#dddddd\">") +
                Esc(rows[0][c]) + QStringLiteral("</th>");
    html += QStringLiteral("</tr>");
    int programmed = 0;
    for (std::size_t n = 1; n < rows.size(); ++n) {
        if (rows[n][colRxFreq].empty()) continue;
        ++programmed;
        html += QStringLiteral("<tr>");
        for (int c = 0; c < kChannelColumns; ++c)
            html += QStringLiteral("<td>") + Esc(rows[n][c]) + QStringLiteral("</td>");
        html += QStringLiteral("</tr>");
    }
    html += QStringLiteral("</table>");
    if (programmed == 0) html += QStringLiteral("<p>-</p>");

    html += QStringLiteral("<p style=\"font-size:12pt\">") + Esc(LoadText(lang, 1371)) +
            QStringLiteral("</p><table cellpadding=\"2\">");
    for (const auto& [label, value] : SettingsListing(state.Image, lang))
        html += QStringLiteral("<tr><td>") + Esc(label) + QStringLiteral("</td><td>") + Esc(value) +
                QStringLiteral("</td></tr>");
    html += QStringLiteral("</table></body></html>");
    return html;
}

void PrintChannelList(const Module1& state, QPrinter& printer) {
    QTextDocument doc;
    QFont font = doc.defaultFont();
    font.setPointSize(8);
    doc.setDefaultFont(font);
    doc.setHtml(ChannelListHtml(state));
    printer.setPageOrientation(QPageLayout::Landscape);
    doc.print(&printer);
}

}  // namespace rm427::gui
