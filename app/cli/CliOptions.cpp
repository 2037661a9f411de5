#include "CliOptions.h"

#include <algorithm>
#include <set>

#include <CLI/CLI.hpp>

namespace rm427::cli {

CommandOptions::CommandOptions(std::string command, bool plainUnknown)
    : command_(std::move(command)),
      plainUnknown_(plainUnknown),
      app_(std::make_unique<CLI::App>("", command_)) {
    app_->set_help_flag("-h,--help");
    // Unknown options are collected and reported in the program's words.
    app_->allow_extras();
}

CommandOptions::~CommandOptions() = default;

void CommandOptions::Flag(const std::string& name, bool& set) {
    app_->add_flag(name, set)->multi_option_policy(CLI::MultiOptionPolicy::TakeLast);
}

void CommandOptions::Value(const std::string& name, std::string& value, std::string missing) {
    // Zero values are accepted here so that a missing one gets its message.
    CLI::Option* option = app_->add_option(name, value)
                              ->expected(0, 1)
                              ->multi_option_policy(CLI::MultiOptionPolicy::TakeLast);
    values_.push_back({option, &value, std::move(missing)});
}

bool CommandOptions::Parse(const Args& args, Args& files, int& exitCode) {
    files.clear();
    app_->add_option("files", files);
    Args reversed(args.rbegin(), args.rend());  // CLI11 takes them last first
    try {
        app_->parse(reversed);
    } catch (const CLI::CallForHelp&) {
        exitCode = PrintHelp(command_);
        return false;
    } catch (const CLI::ParseError& e) {
        exitCode = Fail(command_ + ": " + e.what());
        return false;
    }

    // The first unknown option in the order given.
    const std::vector<std::string> extras = app_->remaining();
    const std::set<std::string> unknown(extras.begin(), extras.end());
    for (const std::string& a : args) {
        const bool dashed = a.size() > 1 && a[0] == '-';
        if (unknown.count(a) || (dashed && std::find(files.begin(), files.end(), a) != files.end())) {
            exitCode = Fail(command_ + ": unknown option '" + a + "'" +
                            (plainUnknown_ ? "" : " (see rm427-cli " + command_ + " --help)"));
            return false;
        }
    }
    for (const ValueOption& v : values_)
        if (v.option->count() > 0 && v.value->empty()) {
            exitCode = Fail(command_ + ": " + v.missing);
            return false;
        }
    return true;
}

}  // namespace rm427::cli
