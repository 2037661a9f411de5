// Runs the built rm427-cli in a folder of its own per test, as a user would
// from a shell, and collects its exit code and output.
#pragma once

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

#include <sys/wait.h>
#include <unistd.h>

namespace rm427::test {

namespace fs = std::filesystem;

struct Result {
    int code = -1;
    std::string out, err;
};

inline std::string Slurp(const fs::path& p) {
    std::ifstream in(p, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

class CliFixture : public ::testing::Test {
protected:
    void SetUp() override {
        dir = fs::temp_directory_path() /
              ("rm427-cli-" + std::to_string(::getpid()) + "-" +
               ::testing::UnitTest::GetInstance()->current_test_info()->test_suite_name() + "-" +
               ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::remove_all(dir);
        fs::remove_all(dir.string() + ".data");
        fs::create_directories(dir);
    }
    void TearDown() override {
        fs::remove_all(dir);
        fs::remove_all(dir.string() + ".data");
    }

    // Runs rm427-cli in the test's folder. Arguments are plain names without
    // quotes or spaces.
    Result Run(const std::string& args) {
        // The history goes to a folder beside the test's (DIR.data/rm427/history).
        const std::string cmd = "cd '" + dir.string() + "' && XDG_DATA_HOME='" + dir.string() +
                                ".data' '" RM427_CLI "' " + args + " >.out 2>.err";
        const int status = std::system(cmd.c_str());
        Result r{WIFEXITED(status) ? WEXITSTATUS(status) : -1, Slurp(dir / ".out"), Slurp(dir / ".err")};
        fs::remove(dir / ".out");
        fs::remove(dir / ".err");
        return r;
    }
    void Write(const std::string& name, const std::string& bytes) {
        std::ofstream(dir / name, std::ios::binary) << bytes;
    }

    fs::path dir;
};

}  // namespace rm427::test
