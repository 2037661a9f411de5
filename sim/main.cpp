// rm427-sim: a simulated RM-427 on a pseudo-terminal.
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <iostream>
#include <string>
#include <thread>

#include <unistd.h>

#include "PtyRadio.h"
#include "SimFiles.h"

using namespace rm427::sim;

namespace {
volatile std::sig_atomic_t g_stop = 0;
void OnSignal(int) { g_stop = 1; }

void Usage(std::ostream& os) {
    os << "usage: rm427-sim [options]\n\n"
          "Serves a simulated RM-427 on a pseudo-terminal and prints its path.\n"
          "Point a port at it in the settings store (section Ports, e.g. COM1=/dev/pts/5)\n"
          "or use rm427-cli read --port /dev/pts/5 OUT.dat.\n\n"
          "  --load FILE      memory from a data file (.dat) or a raw 4096-byte image\n"
          "  --save FILE      save the memory after every completed write (.dat or raw)\n"
          "  --low N --high N band limits in 0.1 MHz (default 1360 and 1740)\n"
          "  --paced          send and take bytes at 2400 baud 8N2 (4.58 ms a byte)\n"
          "  --echo           echo every frame before its answer\n"
          "  --fault FAULT    KIND[@STEP][*TIMES][:MS], KIND = noanswer, nak, short,\n"
          "                   garbage, delay, hangup, flip (a write stored with one\n"
          "                   bit changed, yet acknowledged), noise (stray bytes\n"
          "                   instead of the answer); may be repeated\n"
          "  --link PATH      also make PATH a symbolic link to the pseudo-terminal\n"
          "  --new-radio      a new radio per session: once a write has been read\n"
          "                   back, the next access word meets the next radio (its\n"
          "                   number in the identification, the memory as at the\n"
          "                   start); --save FILE then saves radio N as FILE-N\n";
}

bool Num(const char* s, int& v) {
    char* end = nullptr;
    const long l = std::strtol(s, &end, 10);
    if (!*s || *end || l < 0 || l > 65535) return false;
    v = static_cast<int>(l);
    return true;
}
}  // namespace

int main(int argc, char** argv) {
    PtyRadio radio;
    std::string save, link, error;
    for (int i = 1; i < argc; ++i) {
        const std::string a = argv[i];
        auto value = [&]() -> const char* {
            if (i + 1 >= argc) {
                std::cerr << "rm427-sim: " << a << " needs a value\n";
                std::exit(2);
            }
            return argv[++i];
        };
        int n = 0;
        if (a == "-h" || a == "--help") {
            Usage(std::cout);
            return 0;
        } else if (a == "--load") {
            const std::string path = value();
            if (!radio.With([&](RadioModel& m) { return LoadMemory(path, m, error); })) {
                std::cerr << "rm427-sim: " << error << "\n";
                return 1;
            }
        } else if (a == "--save") {
            save = value();
        } else if (a == "--low" || a == "--high") {
            if (!Num(value(), n)) {
                std::cerr << "rm427-sim: " << a << " takes a number 0..65535\n";
                return 2;
            }
            radio.With([&](RadioModel& m) {
                (a == "--low" ? m.bandLow : m.bandHigh) = static_cast<std::uint16_t>(n);
            });
        } else if (a == "--paced") {
            radio.SetByteTime(kByteTimeMs2400);
        } else if (a == "--echo") {
            radio.With([](RadioModel& m) { m.echo = true; });
        } else if (a == "--fault") {
            Fault f;
            if (!ParseFault(value(), f, error)) {
                std::cerr << "rm427-sim: " << error << "\n";
                return 2;
            }
            radio.With([&](RadioModel& m) { m.faults.push_back(f); });
        } else if (a == "--new-radio") {
            radio.With([](RadioModel& m) {
                m.newRadioEachSession = true;
                m.onNewRadio = [](int number) { std::cout << "radio " << number << std::endl; };
            });
        } else if (a == "--link") {
            link = value();
        } else {
            std::cerr << "rm427-sim: unknown option '" << a << "'\n";
            Usage(std::cerr);
            return 2;
        }
    }
    if (!save.empty())
        radio.With([&](RadioModel& m) {
            m.onWriteFinished = [&m, save] {
                std::string err;
                const std::string path =
                    m.newRadioEachSession ? RadioSavePath(save, m.radioNumber) : save;
                if (SaveMemory(path, m, err)) std::cout << "saved " << path << std::endl;
                else std::cerr << "rm427-sim: " << err << std::endl;
            };
        });
    if (!radio.Start(error)) {
        std::cerr << "rm427-sim: " << error << "\n";
        return 1;
    }
    if (!link.empty()) {
        ::unlink(link.c_str());
        if (::symlink(radio.SlavePath().c_str(), link.c_str()) != 0) {
            std::cerr << "rm427-sim: cannot create link " << link << "\n";
            return 1;
        }
    }
    std::cout << radio.SlavePath() << std::endl;
    std::signal(SIGINT, OnSignal);
    std::signal(SIGTERM, OnSignal);
    while (!g_stop && !radio.HungUp()) std::this_thread::sleep_for(std::chrono::milliseconds(100));
    radio.Stop();
    if (!link.empty()) ::unlink(link.c_str());
    return 0;
}
