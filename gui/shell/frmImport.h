// The import preview: every channel an import touches (new, changed with
// old -> new per field, unchanged, emptied, skipped with the reason, fitted,
// duplicates), where the channels go (replace all, into empty channels only,
// from channel N) and "Compact after import". The plan is the core's; OK
// leaves it in Plan() for the caller to store, Cancel changes nothing.
#pragma once

#include <QDialog>

#include <vector>

#include "channels/ImportPlan.h"

class QCheckBox;
class QDialogButtonBox;
class QLabel;
class QRadioButton;
class QSpinBox;
class QTreeWidget;

namespace rm427::gui {

class frmImport : public QDialog {
    Q_OBJECT
public:
    // title: text number of the window's caption (Import Channels, Paste
    // Channels); current and incoming as PlanImport takes them.
    frmImport(int language, int title, std::vector<Channel> current, std::vector<Channel> incoming,
              CsvReport report, const ImportOptions& options, QWidget* parent = nullptr);

    const ImportPlan& Plan() const { return plan_; }
    QTreeWidget* List() const { return list_; }
    QRadioButton* OptMode(ImportMode mode) const { return mode_[static_cast<int>(mode)]; }
    QSpinBox* AtChannel() const { return at_; }
    QCheckBox* SkipDuplicates() const { return skip_; }
    QCheckBox* Compact() const { return compact_; }
    QDialogButtonBox* Buttons() const { return buttons_; }

private:
    void Replan();

    int language_;
    std::vector<Channel> current_, incoming_;
    CsvReport report_;
    ImportPlan plan_;
    QRadioButton* mode_[3] = {};
    QSpinBox* at_ = nullptr;
    QCheckBox* skip_ = nullptr;
    QCheckBox* compact_ = nullptr;
    QTreeWidget* list_ = nullptr;
    QLabel* counts_ = nullptr;
    QDialogButtonBox* buttons_ = nullptr;
};

}  // namespace rm427::gui
