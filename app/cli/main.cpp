#include <cstdio>
#include <cerrno>
#include <cstring>
#include <iostream>
#include <map>

#include <unistd.h>

#ifdef _WIN32
#ifndef NOMINMAX
#define NOMINMAX
#endif
#define WIN32_LEAN_AND_MEAN
#include <windows.h>

#include <cwchar>

#include <shellapi.h>
#endif

#include <CLI/CLI.hpp>

#include "Cli.h"
#include "file/FileIo.h"

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

int PrintHelp(const std::string& command) {
    for (const auto& c : Commands())
        if (c.name == command) {
            std::cout << "usage: rm427-cli " << c.usage << "\n\n" << c.summary << "\n";
            return 0;
        }
    return Fail("unknown command '" + command + "'");
}

bool FlushOutput(const std::string& command) {
    static bool reported = false;
    errno = 0;
    std::cout.flush();
    const bool streamOk = static_cast<bool>(std::cout);
    const bool flushed = std::fflush(stdout) == 0;
    const int err = errno;
    if (streamOk && flushed && !std::ferror(stdout)) return true;
    if (!reported) {
        reported = true;
        Fail(command + ": cannot write the output: " + std::strerror(err ? err : EIO));
    }
    return false;
}

bool ReadFile(const std::string& path, std::vector<unsigned char>& data, std::string& error,
              std::size_t limit) {
    if (ReadWholeFile(path, data, error, limit)) return true;
    error = "cannot read " + path + ": " + error;
    return false;
}

bool WriteOutputFile(const std::string& path, const std::vector<unsigned char>& data, std::string& error,
                     const KeepPrevious& keepPrevious) {
    if (SaveFile(path, data, error, false, keepPrevious) == SaveResult::Saved) return true;
    error = "cannot write " + path + ": " + error;
    return false;
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

// The arguments after the program name, as UTF-8 texts. Windows hands main()
// its arguments in the ANSI code page, where a Chinese file name turns into
// question marks, so there they are taken from the wide command line; the
// console is switched to UTF-8 output for the program's run.
static Args ArgumentsOf(int argc, char** argv) {
#ifdef _WIN32
    static const UINT consoleCodePage = ::GetConsoleOutputCP();
    if (consoleCodePage && ::SetConsoleOutputCP(CP_UTF8))
        std::atexit([] { ::SetConsoleOutputCP(consoleCodePage); });
    int count = 0;
    if (LPWSTR* wide = ::CommandLineToArgvW(::GetCommandLineW(), &count)) {
        Args args;
        for (int i = 1; i < count; ++i) {
            // WideCharToMultiByte, unlike a path conversion, takes a lone
            // surrogate (a broken name) without throwing.
            const int len = static_cast<int>(std::wcslen(wide[i]));
            const int n = ::WideCharToMultiByte(CP_UTF8, 0, wide[i], len, nullptr, 0, nullptr, nullptr);
            std::string arg(static_cast<std::size_t>(n), '\0');
            ::WideCharToMultiByte(CP_UTF8, 0, wide[i], len, arg.data(), n, nullptr, nullptr);
            args.push_back(std::move(arg));
        }
        ::LocalFree(wide);
        return args;
    }
#endif
    return Args(argv + 1, argv + argc);
}

int main(int argc, char** argv) {
    // Output to a file or pipe is held until the end, so a failed write is
    // seen (with its reason) when it is flushed, not lost in the middle.
    static char outBuffer[1 << 20];
    if (!::isatty(1)) std::setvbuf(stdout, outBuffer, _IOFBF, sizeof outBuffer);
    const Args args = ArgumentsOf(argc, argv);

    // The program's own options come before the command; the command and
    // everything after it are left over for the command to parse.
    CLI::App app("", "rm427-cli");
    app.set_help_flag("-h,--help");
    bool version = false;
    app.add_flag("--version", version);
    app.prefix_command();
    Args reversed(args.rbegin(), args.rend());  // CLI11 takes them last first
    // Whatever was printed must have arrived (a full disk, a closed pipe).
    auto printed = [](const std::string& what, int rc) { return FlushOutput(what) || rc != 0 ? rc : 1; };
    try {
        app.parse(reversed);
    } catch (const CLI::CallForHelp&) {
        PrintOverview();
        return printed("--help", 0);
    } catch (const CLI::ParseError& e) {
        return Fail(e.what());
    }
    if (version) {
        std::cout << "rm427-cli " RM427_VERSION "\n";
        return printed("--version", 0);
    }
    const Args rest = app.remaining();
    if (rest.empty() || rest[0] == "help") {
        if (rest.size() >= 2) return printed("help", PrintHelp(rest[1]));
        PrintOverview();
        return printed("help", rest.empty() ? 2 : 0);
    }
    const std::string& name = rest[0];
    for (const auto& c : Commands())
        if (c.name == name) return printed(name, c.run(Args(rest.begin() + 1, rest.end())));
    return Fail("unknown command '" + name + "' (rm427-cli --help lists the commands)");
}
