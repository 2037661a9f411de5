#include <cstdio>
#include <cerrno>
#include <cstring>
#include <exception>
#include <fstream>
#include <iostream>
#include <map>

#include <unistd.h>

#include "Cli.h"

namespace rm427::cli {

namespace {
std::vector<CommandInfo>& Registry() {
    static std::vector<CommandInfo> r;
    return r;
}
}  // namespace

CliCommand::CliCommand(const char* name, const char* summary, const char* usage,
                       std::function<int(const Args&)> run) {
    Registry().push_back({name, summary, usage, std::move(run)});
}

const std::vector<CommandInfo>& Commands() { return Registry(); }

int Fail(const std::string& message) {
    std::cerr << "rm427-cli: " << message << "\n";
    return 1;
}

bool WantsHelp(const Args& args) {
    for (const auto& a : args)
        if (a == "-h" || a == "--help") return true;
    return false;
}

int PrintHelp(const std::string& command) {
    for (const auto& c : Commands())
        if (c.name == command) {
            std::cout << "usage: rm427-cli " << c.usage << "\n\n" << c.summary << "\n";
            return 0;
        }
    return Fail("unknown command '" + command + "'");
}

bool ReadFile(const std::string& path, std::vector<unsigned char>& data, std::string& error) {
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        error = "cannot open " + path + ": " + std::strerror(errno);
        return false;
    }
    // Reading a directory throws from inside the stream buffer on Linux.
    try {
        data.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    } catch (const std::exception&) {
        error = "cannot read " + path + ": " + std::strerror(errno);
        return false;
    }
    if (in.bad()) {
        error = "cannot read " + path;
        return false;
    }
    return true;
}

bool WriteFileAtomic(const std::string& path, const std::vector<unsigned char>& data,
                     std::string& error) {
    const std::string tmp = path + ".tmp-" + std::to_string(::getpid());
    {
        std::ofstream out(tmp, std::ios::binary | std::ios::trunc);
        if (!out) {
            error = "cannot write " + path + ": " + std::strerror(errno);
            return false;
        }
        out.write(reinterpret_cast<const char*>(data.data()),
                  static_cast<std::streamsize>(data.size()));
        out.flush();
        if (!out) {
            error = "cannot write " + path;
            out.close();
            std::remove(tmp.c_str());
            return false;
        }
    }
    if (std::rename(tmp.c_str(), path.c_str()) != 0) {
        error = "cannot write " + path + ": " + std::strerror(errno);
        std::remove(tmp.c_str());
        return false;
    }
    return true;
}

}  // namespace rm427::cli

using namespace rm427::cli;

static void PrintOverview() {
    std::cout << "usage: rm427-cli COMMAND [options] ARGS\n\n"
                 "Scripted work on RM-427 codeplugs and data files.\n\nCommands:\n";
    std::map<std::string, std::string> sorted;
    for (const auto& c : Commands()) sorted[c.name] = c.summary;
    for (const auto& [name, summary] : sorted) {
        std::string first = summary.substr(0, summary.find('\n'));
        std::printf("  %-14s %s\n", name.c_str(), first.c_str());
    }
    std::cout << "\nrm427-cli COMMAND --help shows the details of a command.\n";
}

int main(int argc, char** argv) {
    Args args(argv + 1, argv + argc);
    if (args.empty() || args[0] == "-h" || args[0] == "--help" || args[0] == "help") {
        if (args.size() >= 2 && args[0] == "help") return PrintHelp(args[1]);
        PrintOverview();
        return args.empty() ? 2 : 0;
    }
    if (args[0] == "--version") {
        std::cout << "rm427-cli 1.0\n";
        return 0;
    }
    const std::string name = args[0];
    Args rest(args.begin() + 1, args.end());
    for (const auto& c : Commands())
        if (c.name == name) {
            if (WantsHelp(rest)) return PrintHelp(name);
            return c.run(rest);
        }
    return Fail("unknown command '" + name + "' (rm427-cli --help lists the commands)");
}
