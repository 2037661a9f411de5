// The printout of miPrint and miPrintPreview: the programmed channels with
// every column of the channel editor, then the function settings, in the
// current language.
#pragma once

#include <QString>

#include "image/Module1.h"

class QPrinter;

namespace rm427::gui {

// The printout as HTML (what PrintChannelList lays out on the pages).
QString ChannelListHtml(const Module1& state);
void PrintChannelList(const Module1& state, QPrinter& printer);

}  // namespace rm427::gui
