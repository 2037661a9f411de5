#include "SimFiles.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <vector>

#include "file/DataFile.h"
#include "file/FileIo.h"

namespace rm427::sim {

namespace {
bool EndsWith(const std::string& s, const std::string& tail) {
    if (s.size() < tail.size()) return false;
    std::string t = s.substr(s.size() - tail.size());
    for (auto& c : t) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return t == tail;
}

bool ParseInt(const std::string& s, int& v) {
    if (s.empty()) return false;
    char* end = nullptr;
    errno = 0;
    const long l = std::strtol(s.c_str(), &end, 10);
    if (*end || errno || l < -1 || l > 1000000) return false;
    v = static_cast<int>(l);
    return true;
}
}  // namespace

bool LoadMemory(const std::string& path, RadioModel& radio, std::string& error) {
    std::vector<std::uint8_t> data;
    if (!ReadWholeFile(path, data, error, kDataFileLimit)) {
        error = "cannot open " + path + ": " + error;
        return false;
    }
    if (data.size() == static_cast<std::size_t>(kMemorySize) && !EndsWith(path, ".dat")) {
        std::copy(data.begin(), data.end(), radio.memory.begin());
        return true;
    }
    CodeplugImage image;
    if (!DecodeDataFile(data, image)) {
        error = path + " is neither a data file nor a 4096-byte image";
        return false;
    }
    std::copy(image.begin(), image.end(), radio.memory.begin());
    return true;
}

bool SaveMemory(const std::string& path, const RadioModel& radio, std::string& error) {
    std::vector<std::uint8_t> out(radio.memory.begin(), radio.memory.end());
    if (EndsWith(path, ".dat")) {
        CodeplugImage image;
        std::copy(radio.memory.begin(), radio.memory.end(), image.begin());
        if (!EncodeDataFile(image, out, error)) return false;
    }
    if (SaveFile(path, out, error) == SaveResult::Saved) return true;
    error = "cannot write " + path + ": " + error;
    return false;
}

bool ParseFault(const std::string& text, Fault& fault, std::string& error) {
    std::string kind = text, step, times, ms;
    auto cut = [&](char sep, std::string& part) {
        const auto p = kind.find(sep);
        if (p == std::string::npos) return;
        part = kind.substr(p + 1);
        kind.erase(p);
    };
    cut(':', ms);
    cut('*', times);
    cut('@', step);
    Fault f;
    if (kind == "none") f.kind = FaultKind::None;
    else if (kind == "noanswer") f.kind = FaultKind::NoAnswer;
    else if (kind == "nak") f.kind = FaultKind::Nak;
    else if (kind == "short") f.kind = FaultKind::ShortAnswer;
    else if (kind == "garbage") f.kind = FaultKind::Garbage;
    else if (kind == "delay") f.kind = FaultKind::Delay;
    else if (kind == "hangup") f.kind = FaultKind::HangUp;
    else if (kind == "flip") f.kind = FaultKind::Flip;
    else if (kind == "noise") f.kind = FaultKind::Noise;
    else {
        error = "unknown fault '" + kind + "'";
        return false;
    }
    if ((!step.empty() && !ParseInt(step, f.step)) || (!times.empty() && !ParseInt(times, f.times)) ||
        (!ms.empty() && (!ParseInt(ms, f.delayMs) || f.delayMs < 0))) {
        error = "bad fault '" + text + "' (KIND[@STEP][*TIMES][:MS])";
        return false;
    }
    fault = f;
    return true;
}

std::string RadioSavePath(const std::string& path, int n) {
    const auto slash = path.find_last_of('/');
    auto dot = path.find_last_of('.');
    if (dot == std::string::npos || (slash != std::string::npos && dot < slash)) dot = path.size();
    return path.substr(0, dot) + "-" + std::to_string(n) + path.substr(dot);
}

}  // namespace rm427::sim
