// What a screen reader finds in the channel grid: the table, its column and
// row headers and its cells, numbered as the view numbers them in its own
// focus and selection news (the corner first, then the column headers, then
// each row's header and cells). Qt's own table reports the corner over the
// row headers as a panel without a name; here it carries the grid's name and
// is reported as not shown (the grid hides its row headers, so there is no
// corner on the screen).
#pragma once

class QTableView;

namespace rm427::gui {

// The grid's accessible table is this one from now on.
void UseGridAccessible(QTableView* grid);

}  // namespace rm427::gui
