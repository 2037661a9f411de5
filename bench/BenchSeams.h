// Seams for the window benchmarks: every box answers OK, no file is chosen.
#pragma once

#include <string>

#include "image/Dialogs.h"

namespace rm427::bench {

class SilentBoxes : public MessageBoxes {
public:
    MsgAnswer Show(const MessageRequest&) override { return MsgAnswer::Ok; }
};

class NoFiles : public FileDialogs {
public:
    std::string GetOpenFileName(const std::string&) override { return {}; }
    std::string GetSaveFileName(const std::string&, const std::string&) override { return {}; }
};

}  // namespace rm427::bench
