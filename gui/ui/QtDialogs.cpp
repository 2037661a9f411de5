#include "ui/QtDialogs.h"

#include <QDir>
#include <QFileDialog>
#include <QMessageBox>
#include <QPushButton>
#include <QTextEdit>

#include <vector>

namespace rm427::gui {
namespace {

struct ButtonDef {
    QMessageBox::StandardButton button;
    MsgAnswer answer;
};

std::vector<ButtonDef> ButtonsOf(MsgButtons b) {
    using B = QMessageBox;
    switch (b) {
    case MsgButtons::Ok: return {{B::Ok, MsgAnswer::Ok}};
    case MsgButtons::OkCancel: return {{B::Ok, MsgAnswer::Ok}, {B::Cancel, MsgAnswer::Cancel}};
    case MsgButtons::AbortRetryIgnore:
        return {
            {B::Abort, MsgAnswer::Abort}, {B::Retry, MsgAnswer::Retry}, {B::Ignore, MsgAnswer::Ignore}};
    case MsgButtons::YesNoCancel:
        return {{B::Yes, MsgAnswer::Yes}, {B::No, MsgAnswer::No}, {B::Cancel, MsgAnswer::Cancel}};
    case MsgButtons::YesNo: return {{B::Yes, MsgAnswer::Yes}, {B::No, MsgAnswer::No}};
    case MsgButtons::RetryCancel: return {{B::Retry, MsgAnswer::Retry}, {B::Cancel, MsgAnswer::Cancel}};
    }
    return {{B::Ok, MsgAnswer::Ok}};
}

QMessageBox::Icon IconOf(MsgIcon icon) {
    switch (icon) {
    case MsgIcon::None: return QMessageBox::NoIcon;
    case MsgIcon::Critical: return QMessageBox::Critical;
    case MsgIcon::Question: return QMessageBox::Question;
    case MsgIcon::Exclamation: return QMessageBox::Warning;
    case MsgIcon::Information: return QMessageBox::Information;
    }
    return QMessageBox::NoIcon;
}

// What closing the box without a button means: Cancel when there is one,
// otherwise the last button (No, Ignore) or OK.
MsgAnswer EscapeAnswer(const std::vector<ButtonDef>& defs) {
    for (const auto& d : defs)
        if (d.answer == MsgAnswer::Cancel) return d.answer;
    return defs.back().answer;
}

}  // namespace

MsgAnswer QtMessageBoxes::Show(const MessageRequest& request) {
    QMessageBox box(owner_);
    box.setWindowTitle(QString::fromStdString(request.title));
    box.setText(QString::fromStdString(request.text));
    box.setIcon(IconOf(request.icon));
    // Qt names the box by its title and gives its text as the value; the
    // description carries the text too, for readers that read only names and
    // descriptions.
    box.setAccessibleDescription(box.text());
    if (!request.details.empty()) {
        box.setDetailedText(QString::fromStdString(request.details));
        // The details field is named like the button that shows it.
        const QList<QAbstractButton*> answers = box.buttons();
        for (QPushButton* b : box.findChildren<QPushButton*>())
            if (!answers.contains(b))
                if (auto* details = box.findChild<QTextEdit*>())
                    details->setAccessibleName(
                        b->text().remove(QLatin1Char('&')).remove(QLatin1String("...")));
    }
    const auto defs = ButtonsOf(request.buttons);
    std::vector<QAbstractButton*> buttons;
    for (const auto& d : defs) buttons.push_back(box.addButton(d.button));
    for (std::size_t i = 0; i < buttons.size() && i < request.buttonTexts.size(); ++i)
        buttons[i]->setText(QString::fromStdString(request.buttonTexts[i]));
    const int def = request.defaultButton >= 0 && request.defaultButton < int(defs.size())
                        ? request.defaultButton
                        : 0;
    box.setDefaultButton(static_cast<QPushButton*>(buttons[def]));
    box.exec();
    QAbstractButton* clicked = box.clickedButton();
    for (std::size_t i = 0; i < buttons.size(); ++i)
        if (buttons[i] == clicked) return defs[i].answer;
    return EscapeAnswer(defs);
}

QString QtFilterText(const std::string& filter) {
    QString f = QString::fromStdString(filter);
    const qsizetype bar = f.indexOf('|');
    if (bar >= 0) f.truncate(bar);
    return f;
}

std::string QtFileDialogs::GetOpenFileName(const std::string& filter) {
    // QFileDialog::getOpenFileName only accepts files that exist.
    return QFileDialog::getOpenFileName(owner_, QString(), StartFolder(), QtFilterText(filter))
        .toStdString();
}

std::string QtFileDialogs::GetSaveFileName(const std::string& filter, const std::string& proposedName) {
    // Asks before replacing an existing file (Qt's default).
    // A proposed name without a folder ("Untitled.dat") goes into the start folder.
    QString proposed = QString::fromStdString(proposedName);
    const QString folder = StartFolder();
    if (!folder.isEmpty() && !QDir::isAbsolutePath(proposed)) proposed = QDir(folder).filePath(proposed);
    return QFileDialog::getSaveFileName(owner_, QString(), proposed, QtFilterText(filter)).toStdString();
}

}  // namespace rm427::gui
