// File > History...: the copies kept at every read, write and save, newest
// first, with time, kind, data file, band and programmed channels. Open
// loads the chosen copy as an unsaved codeplug; Compare lists how it differs
// from the current image (the comparison of rm427-cli diff) in a window.
// The logs of Program Many Radios are listed too (radios and how many were
// verified); Open shows such a log.
#pragma once

#include <QDialog>

#include <functional>
#include <vector>

#include "file/History.h"
#include "image/Module1.h"

class QPushButton;
class QTreeWidget;

namespace rm427::gui {

class frmHistory : public QDialog {
    Q_OBJECT
public:
    // open: loads a copy into the program (the main window asks about unsaved
    // changes first; false = it did not).
    frmHistory(Module1& state, const std::string& folder, std::function<bool(const CodeplugImage&)> open,
               QWidget* parent = nullptr);

    QTreeWidget* List() const { return list_; }
    QPushButton* CmdOpen() const { return cmdOpen_; }
    QPushButton* CmdCompare() const { return cmdCompare_; }
    // The last comparison window (null before the first Compare).
    QDialog* Comparison() const { return comparison_; }

private:
    void Fill();
    bool Selected(CodeplugImage& image, HistoryEntry& entry);
    void Open();
    void Compare();
    // A read-only text in a window of its own (the comparison, a fleet log).
    void ShowText(const QString& name, const QString& title, const QString& body);

    Module1& state_;
    std::string folder_;
    std::function<bool(const CodeplugImage&)> open_;
    std::vector<HistoryEntry> entries_;
    QTreeWidget* list_ = nullptr;
    QPushButton* cmdOpen_ = nullptr;
    QPushButton* cmdCompare_ = nullptr;
    QDialog* comparison_ = nullptr;
};

}  // namespace rm427::gui
