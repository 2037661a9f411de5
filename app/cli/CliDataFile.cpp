#include "CliDataFile.h"

#include "CliOptions.h"

#include "file/DataFile.h"
#include "file/FileIo.h"

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

bool StoreDataFile(const std::string& path, const CodeplugImage& image) {
    std::vector<unsigned char> bytes;
    std::string error;
    if (!EncodeDataFile(image, bytes, error) || !WriteOutputFile(path, bytes, error)) {
        Fail(error);
        return false;
    }
    return true;
}

}  // namespace rm427::cli
