// Names for screen readers. Qt names a field by the text of the label whose
// buddy it is, read at the moment the screen reader asks, so a name set this
// way follows every language switch without further work.
#pragma once

class QWidget;

namespace rm427::gui {

// Gives every field of the window that has no name of its own (text boxes,
// lists, spin boxes, sliders, progress bars, buttons without a caption) the
// caption that stands before it in its layout: to its left in a grid row or
// form row, else above it, else before it in a row or column of widgets.
// A label caption becomes the field's buddy (and its access key moves the
// focus there); an option button or check box caption names the field by
// its text, read again by each later run (the language switch runs it). A
// list, table or tree with no caption carries its window's title. Run when
// a window is shown; running it again names nothing twice.
void LinkCaptions(QWidget* window);

}  // namespace rm427::gui
