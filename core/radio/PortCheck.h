// Why a port does not open, in words a user can act on, and the port
// window's "Test": the access word at the clone settings, the band the radio
// reports, then "DONE".
#pragma once

#include <functional>
#include <memory>
#include <string>

#include "radio/CloneProtocol.h"
#include "radio/SerialPort.h"
#include "radio/Timers.h"

namespace rm427 {

enum class PortProblem { None, NoDevice, InUse, PermissionDenied, NotSerial, Other };

// What came back from a line that gave no answer: nothing, the very bytes
// that were sent (a cable that echoes, with no radio behind it), or bytes
// of another kind (another device, or one at another line speed).
enum class LineReply { Silence, Echo, Garbage };
LineReply ClassifyReply(const Bytes& sent, const Bytes& received);

// The problem behind the system error of opening a device (errno values).
PortProblem PortProblemFromErrno(int error);

// Who may open a device, as the system says (nothing known on Windows).
struct DeviceAccess {
    std::string owner;  // the owning user's name ("" if unknown)
    std::string group;  // the owning group's name ("" if unknown)
    unsigned mode = 0;  // permission bits, e.g. 0660
};

// One explanation, in the given language, e.g.
//   /dev/ttyUSB0: permission denied. The device belongs to the group "dialout":
//   add yourself with  sudo usermod -aG dialout $USER  and log in again.
// Joining the group is advised only when the group may read and write the
// device; a device only its owner may open (root:root 0600) is explained
// with how the system grants access instead. detail: the system's own text,
// used for Other.
std::string PortProblemText(int language, PortProblem problem, const std::string& device,
                            const DeviceAccess& access, const std::string& detail);

// The port window's test: opens the port at "2400,N,8,2", sends the access
// word, takes the 18-byte identification (same polling as the clone
// exchange), always sends "DONE" and closes the port after the closing wait.
class PortTest {
public:
    struct Result {
        bool opened = false;
        bool answered = false;
        int low = 0, high = 0;                 // 0.1 MHz
        std::string error;                     // the port's description when it did not open
        LineReply reply = LineReply::Silence;  // when it did not answer
        Bytes identification;                  // the 14 bytes before the band limits
    };
    PortTest(SerialPort& port, TimerFactory& timers, int comPort,
             std::function<void(const Result&)> done, CloneTiming timing = {});
    ~PortTest();
    PortTest(const PortTest&) = delete;
    PortTest& operator=(const PortTest&) = delete;

    // False (and done() already called) when the port does not open.
    bool Start();
    bool Running() const { return running_; }

private:
    void OnEvent(CommEvent e);
    void OnPoll();
    void Finish(bool answered);
    void OnClosed();

    SerialPort& port_;
    int comPort_;
    std::function<void(const Result&)> done_;
    CloneTiming timing_;
    std::unique_ptr<Timer> timeout_, poll_, close_;
    Result result_;
    bool running_ = false, collecting_ = false;
    int polls_ = 0, last_ = 0;
    Bytes sent_;
};

// "Radio answered: 136.0 - 174.0 MHz" or "Nothing answered on COM3 (/dev/ttyUSB2)."
// followed by what came back instead and what to try next; "DONE" was sent
// either way.
std::string PortTestText(int language, const PortTest::Result& r, const std::string& portName);

}  // namespace rm427
