// A pseudo-terminal whose port another program holds: a child process keeps
// its slave open from Hold() until Release(). POSIX only.
#pragma once

#ifndef _WIN32
#include <csignal>
#include <string>

#include <fcntl.h>
#include <pty.h>
#include <sys/wait.h>
#include <unistd.h>

namespace rm427::test {

struct HeldPty {
    HeldPty() {
        int slave = -1;
        char name[256] = {0};
        if (::openpty(&master, &slave, name, nullptr, nullptr) != 0) return;
        ::close(slave);
        path = name;
    }
    ~HeldPty() {
        Release();
        if (master >= 0) ::close(master);
    }
    // True once the child has the slave open.
    bool Hold() {
        int ready[2];
        if (path.empty() || ::pipe(ready) != 0) return false;
        child = ::fork();
        if (child == 0) {
            ::close(master);  // only the slave: a program taking the port
            const char b = ::open(path.c_str(), O_RDWR | O_NOCTTY) >= 0 ? 1 : 0;
            (void)!::write(ready[1], &b, 1);
            ::sleep(20);
            ::_exit(0);
        }
        char b = 0;
        const bool held = child > 0 && ::read(ready[0], &b, 1) == 1 && b == 1;
        ::close(ready[0]);
        ::close(ready[1]);
        return held;
    }
    void Release() {
        if (child <= 0) return;
        ::kill(child, SIGTERM);
        ::waitpid(child, nullptr, 0);
        child = -1;
    }

    int master = -1;
    pid_t child = -1;
    std::string path;
};

}  // namespace rm427::test
#endif
