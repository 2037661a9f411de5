#include "channels/GridAccessible.h"

#include <QAccessible>
#include <QAccessibleObject>
#include <QHash>
#include <QHeaderView>
#include <QPersistentModelIndex>
#include <QPointer>
#include <QTableView>

namespace rm427::gui {
namespace {

constexpr const char* kMark = "rm427GridAccessible";

// A place in the table: a cell, a header cell, or the corner.
class GridPart : public QAccessibleInterface {
public:
    GridPart(QTableView* view, int child) : view_(view), child_(child) {}
    bool isValid() const override { return view_ && view_->model(); }
    QObject* object() const override { return nullptr; }
    QAccessibleInterface* parent() const override {
        return QAccessible::queryAccessibleInterface(view_);
    }
    QAccessibleInterface* child(int) const override { return nullptr; }
    int childCount() const override { return 0; }
    int indexOfChild(const QAccessibleInterface*) const override { return -1; }
    QAccessibleInterface* childAt(int, int) const override { return nullptr; }
    void setText(QAccessible::Text, const QString&) override {}
    int Child() const { return child_; }

protected:
    QPointer<QTableView> view_;
    int child_;
};

class Corner : public GridPart {
public:
    using GridPart::GridPart;
    QString text(QAccessible::Text t) const override {
        return t == QAccessible::Name && view_ ? view_->accessibleName() : QString();
    }
    QRect rect() const override { return {}; }
    QAccessible::Role role() const override { return QAccessible::Pane; }
    QAccessible::State state() const override {
        QAccessible::State s;
        s.invisible = true;
        return s;
    }
};

class HeaderCell : public GridPart {
public:
    HeaderCell(QTableView* view, int child, Qt::Orientation o, int section)
        : GridPart(view, child), o_(o), section_(section) {}
    QString text(QAccessible::Text t) const override {
        if (t != QAccessible::Name || !isValid()) return {};
        const QAbstractItemModel* m = view_->model();
        const QString name = m->headerData(section_, o_, Qt::AccessibleTextRole).toString();
        return name.isEmpty() ? m->headerData(section_, o_, Qt::DisplayRole).toString() : name;
    }
    QRect rect() const override {
        const QHeaderView* h = Header();
        if (!h || h->isHidden()) return {};
        const int at = h->sectionViewportPosition(section_), size = h->sectionSize(section_);
        const QRect r =
            o_ == Qt::Horizontal ? QRect(at, 0, size, h->height()) : QRect(0, at, h->width(), size);
        return r.translated(h->viewport()->mapToGlobal(QPoint(0, 0)));
    }
    QAccessible::Role role() const override {
        return o_ == Qt::Horizontal ? QAccessible::ColumnHeader : QAccessible::RowHeader;
    }
    QAccessible::State state() const override {
        QAccessible::State s;
        const QHeaderView* h = Header();
        s.invisible = !h || h->isHidden() || h->isSectionHidden(section_);
        return s;
    }

private:
    QHeaderView* Header() const {
        if (!view_) return nullptr;
        return o_ == Qt::Horizontal ? view_->horizontalHeader() : view_->verticalHeader();
    }
    Qt::Orientation o_;
    int section_;
};

class Cell : public GridPart, public QAccessibleTableCellInterface {
public:
    Cell(QTableView* view, int child, const QModelIndex& index) : GridPart(view, child), index_(index) {}
    bool isValid() const override { return GridPart::isValid() && index_.isValid(); }
    void* interface_cast(QAccessible::InterfaceType t) override {
        return t == QAccessible::TableCellInterface ? static_cast<QAccessibleTableCellInterface*>(this)
                                                    : nullptr;
    }
    QString text(QAccessible::Text t) const override {
        if (!isValid()) return {};
        if (t == QAccessible::Description) return index_.data(Qt::AccessibleDescriptionRole).toString();
        if (t != QAccessible::Name) return {};
        const QString name = index_.data(Qt::AccessibleTextRole).toString();
        return name.isEmpty() ? index_.data(Qt::DisplayRole).toString() : name;
    }
    QRect rect() const override {
        if (!isValid()) return {};
        const QRect r = view_->visualRect(index_);
        return r.translated(view_->viewport()->mapToGlobal(QPoint(0, 0)));
    }
    QAccessible::Role role() const override { return QAccessible::Cell; }
    QAccessible::State state() const override {
        QAccessible::State s;
        if (!isValid()) return s;
        const QRect shown(view_->viewport()->mapToGlobal(QPoint(0, 0)), view_->viewport()->size());
        s.invisible = !shown.intersects(rect());
        s.selectable = s.focusable = (index_.flags() & Qt::ItemIsSelectable) != 0;
        s.selected = isSelected();
        s.focused = view_->currentIndex() == QModelIndex(index_) && view_->hasFocus();
        return s;
    }
    // The table cell's side.
    bool isSelected() const override {
        return isValid() && view_->selectionModel() && view_->selectionModel()->isSelected(index_);
    }
    QList<QAccessibleInterface*> columnHeaderCells() const override;
    QList<QAccessibleInterface*> rowHeaderCells() const override;
    int columnIndex() const override { return index_.column(); }
    int rowIndex() const override { return index_.row(); }
    int columnExtent() const override { return 1; }
    int rowExtent() const override { return 1; }
    QAccessibleInterface* table() const override { return parent(); }

private:
    QPersistentModelIndex index_;
};

class GridTable : public QAccessibleObject, public QAccessibleTableInterface {
public:
    explicit GridTable(QTableView* view) : QAccessibleObject(view) {}
    ~GridTable() override { Forget(); }

    QTableView* View() const { return static_cast<QTableView*>(object()); }
    QAbstractItemModel* Model() const { return View() ? View()->model() : nullptr; }
    int Columns() const { return Model() ? Model()->columnCount() : 0; }

    void* interface_cast(QAccessible::InterfaceType t) override {
        return t == QAccessible::TableInterface ? static_cast<QAccessibleTableInterface*>(this)
                                                : nullptr;
    }
    QAccessible::Role role() const override { return QAccessible::Table; }
    QAccessible::State state() const override { return {}; }
    QString text(QAccessible::Text t) const override {
        if (!View()) return {};
        return t == QAccessible::Description ? View()->accessibleDescription()
                                             : View()->accessibleName();
    }
    QRect rect() const override {
        if (!View() || !View()->isVisible()) return {};
        return QRect(View()->mapToGlobal(QPoint(0, 0)), View()->size());
    }
    QAccessibleInterface* parent() const override {
        return View() ? QAccessible::queryAccessibleInterface(View()->parent()) : nullptr;
    }
    int childCount() const override { return Model() ? (Model()->rowCount() + 1) * (Columns() + 1) : 0; }
    QAccessibleInterface* child(int i) const override {
        if (i < 0 || i >= childCount()) return nullptr;
        if (const auto id = ids_.constFind(i); id != ids_.constEnd())
            return QAccessible::accessibleInterface(*id);
        const int row = i / (Columns() + 1) - 1, col = i % (Columns() + 1) - 1;
        QAccessibleInterface* made = nullptr;
        if (row < 0 && col < 0) made = new Corner(View(), i);
        else if (row < 0) made = new HeaderCell(View(), i, Qt::Horizontal, col);
        else if (col < 0) made = new HeaderCell(View(), i, Qt::Vertical, row);
        else made = new Cell(View(), i, Model()->index(row, col));
        ids_.insert(i, QAccessible::registerAccessibleInterface(made));
        return made;
    }
    int indexOfChild(const QAccessibleInterface* child) const override {
        const auto* part = dynamic_cast<const GridPart*>(child);
        return part && child->parent() == this ? part->Child() : -1;
    }
    QAccessibleInterface* childAt(int x, int y) const override {
        if (!View()) return nullptr;
        const QModelIndex at = View()->indexAt(View()->viewport()->mapFromGlobal(QPoint(x, y)));
        return at.isValid() ? cellAt(at.row(), at.column()) : nullptr;
    }
    QAccessibleInterface* focusChild() const override {
        if (!View() || !View()->hasFocus() || !View()->currentIndex().isValid()) return nullptr;
        return cellAt(View()->currentIndex().row(), View()->currentIndex().column());
    }

    // The table's side.
    QAccessibleInterface* cellAt(int row, int column) const override {
        if (!Model() || row < 0 || column < 0 || row >= Model()->rowCount() || column >= Columns())
            return nullptr;
        return child((row + 1) * (Columns() + 1) + column + 1);
    }
    QAccessibleInterface* caption() const override { return nullptr; }
    QAccessibleInterface* summary() const override { return nullptr; }
    QString columnDescription(int column) const override {
        return Model() ? Model()->headerData(column, Qt::Horizontal).toString() : QString();
    }
    QString rowDescription(int row) const override {
        return Model() ? Model()->headerData(row, Qt::Vertical).toString() : QString();
    }
    int columnCount() const override { return Columns(); }
    int rowCount() const override { return Model() ? Model()->rowCount() : 0; }
    int selectedCellCount() const override { return int(Selected().size()); }
    QList<QAccessibleInterface*> selectedCells() const override {
        QList<QAccessibleInterface*> out;
        for (const QModelIndex& i : Selected()) out << cellAt(i.row(), i.column());
        return out;
    }
    int selectedColumnCount() const override { return int(selectedColumns().size()); }
    int selectedRowCount() const override { return int(selectedRows().size()); }
    QList<int> selectedColumns() const override {
        QList<int> out;
        if (Selection())
            for (const QModelIndex& i : Selection()->selectedColumns()) out << i.column();
        return out;
    }
    QList<int> selectedRows() const override {
        QList<int> out;
        if (Selection())
            for (const QModelIndex& i : Selection()->selectedRows()) out << i.row();
        return out;
    }
    bool isColumnSelected(int column) const override {
        return Selection() && Selection()->isColumnSelected(column, QModelIndex());
    }
    bool isRowSelected(int row) const override {
        return Selection() && Selection()->isRowSelected(row, QModelIndex());
    }
    // The grid selects cells, one or a block of them, never whole rows or
    // columns for a screen reader.
    bool selectRow(int) override { return false; }
    bool selectColumn(int) override { return false; }
    bool unselectRow(int) override { return false; }
    bool unselectColumn(int) override { return false; }
    void modelChange(QAccessibleTableModelChangeEvent*) override { Forget(); }

private:
    QItemSelectionModel* Selection() const { return View() ? View()->selectionModel() : nullptr; }
    QModelIndexList Selected() const {
        return Selection() ? Selection()->selectedIndexes() : QModelIndexList();
    }
    // Rows come and go as the channel count changes: the parts made so far
    // are made again when asked for.
    void Forget() {
        for (QAccessible::Id id : std::as_const(ids_)) QAccessible::deleteAccessibleInterface(id);
        ids_.clear();
    }

    mutable QHash<int, QAccessible::Id> ids_;
};

QList<QAccessibleInterface*> Cell::columnHeaderCells() const {
    const auto* t = dynamic_cast<const GridTable*>(parent());
    if (!t || !isValid()) return {};
    return {t->child(index_.column() + 1)};
}

QList<QAccessibleInterface*> Cell::rowHeaderCells() const {
    const auto* t = dynamic_cast<const GridTable*>(parent());
    if (!t || !isValid()) return {};
    return {t->child((index_.row() + 1) * (t->Columns() + 1))};
}

QAccessibleInterface* Factory(const QString&, QObject* object) {
    auto* view = qobject_cast<QTableView*>(object);
    return view && view->property(kMark).toBool() ? new GridTable(view) : nullptr;
}

}  // namespace

void UseGridAccessible(QTableView* grid) {
    static const bool installed = [] {
        QAccessible::installFactory(Factory);
        return true;
    }();
    (void)installed;
    grid->setProperty(kMark, true);
}

}  // namespace rm427::gui
