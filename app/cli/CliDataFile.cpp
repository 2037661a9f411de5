#include "CliDataFile.h"

#include "CliOptions.h"

#include <iostream>

#include "file/DataFile.h"
#include "file/FileIo.h"
#include "file/History.h"
#ifdef RM427_WITH_QT
#include "io/HistoryFolder.h"
#endif

namespace rm427::cli {

bool CountArguments(const std::string& command, const Args& files, std::size_t count, int& exitCode) {
    if (files.size() == count) return true;
    exitCode =
        Fail(command + ": expected " + std::to_string(count) + " argument" + (count == 1 ? "" : "s") +
             ", got " + std::to_string(files.size()) + " (see rm427-cli " + command + " --help)");
    return false;
}

bool TakePositional(const std::string& command, const Args& args, std::size_t count, int& exitCode) {
    CommandOptions options(command);
    Args files;
    return options.Parse(args, files, exitCode) && CountArguments(command, files, count, exitCode);
}

bool LoadDataFile(const std::string& path, CodeplugImage& image) {
    std::vector<unsigned char> bytes;
    std::string error;
    if (!ReadFile(path, bytes, error, kDataFileLimit)) {
        Fail(error);
        return false;
    }
    if (!DecodeDataFile(bytes, image)) {
        Fail(path + ": not an RM-427 data file (Incorrect File Type.)");
        return false;
    }
    return true;
}

bool DifferentFiles(const std::string& command, const std::string& in, const std::string& out,
                    int& exitCode) {
    if (!SameFile(in, out)) return true;
    exitCode = Fail(command + ": " + in + " and " + out + " are the same file; nothing written");
    return false;
}

bool StoreDataFile(const std::string& path, const CodeplugImage& image, bool keepCopy) {
    std::vector<unsigned char> bytes;
    std::string error;
#ifdef RM427_WITH_QT
    // A copy of every save, as the program keeps one; and of the file's
    // previous content when the save has to write into the file itself.
    HistoryRecorder history(HistoryFolder());
    auto keep = [&](const CodeplugImage& copy) {
        const std::string warning = history.Record(0, HistoryKind::Save, path, copy);
        if (!warning.empty()) std::cerr << "rm427-cli: warning: " << warning << "\n";
    };
    const KeepPrevious previous = [&](const std::vector<std::uint8_t>& old) {
        CodeplugImage before{};
        if (DecodeDataFile(old, before)) keep(before);
    };
#else
    auto keep = [](const CodeplugImage&) {};
    const KeepPrevious previous;
#endif
    if (!EncodeDataFile(image, bytes, error) || !WriteOutputFile(path, bytes, error, previous)) {
        Fail(error);
        return false;
    }
    if (keepCopy) keep(image);
    return true;
}

}  // namespace rm427::cli
