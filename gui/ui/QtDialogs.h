// The real message boxes and file dialogs behind the core's seams
// (core/image/Dialogs.h): QMessageBox and QFileDialog, owned by a window.
#pragma once

#include <QPointer>
#include <QWidget>

#include <functional>

#include "image/Dialogs.h"

namespace rm427::gui {

class QtMessageBoxes : public MessageBoxes {
public:
    explicit QtMessageBoxes(QWidget* owner = nullptr) : owner_(owner) {}
    void SetOwner(QWidget* owner) { owner_ = owner; }
    MsgAnswer Show(const MessageRequest& request) override;

private:
    QPointer<QWidget> owner_;
};

class QtFileDialogs : public FileDialogs {
public:
    explicit QtFileDialogs(QWidget* owner = nullptr) : owner_(owner) {}
    void SetOwner(QWidget* owner) { owner_ = owner; }
    // The folder the dialogs start in, asked each time one opens.
    void SetStartFolder(std::function<QString()> folder) { folder_ = std::move(folder); }
    std::string GetOpenFileName(const std::string& filter) override;
    std::string GetSaveFileName(const std::string& filter, const std::string& proposedName) override;

private:
    QString StartFolder() const { return folder_ ? folder_() : QString(); }
    QPointer<QWidget> owner_;
    std::function<QString()> folder_;
};

// "DOV Data Files (*.dat)|*.dat" or "DOV Data Files (*.dat)" -> the Qt form.
QString QtFilterText(const std::string& filter);

}  // namespace rm427::gui
