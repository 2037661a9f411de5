#include "shell/frmPreview.h"

#include <QRegularExpression>

#include "text/TextTable.h"

namespace rm427::gui {

frmPreview::frmPreview(const Module1& state, QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("frmPreview"));
    // "Print Preview" without its access key ("打印预览(&V)" loses "(&V)").
    QString title = QString::fromStdString(LoadText(state.Language, 1007));
    title.remove(QRegularExpression(QStringLiteral(R"(\(&.\))"))).remove('&');
    setWindowTitle(title);
    resize(640, 480);
}

}  // namespace rm427::gui
