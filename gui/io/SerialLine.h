// The device under QtSerialPort: one serial line, opened by its path.
//
// The system's serial port is driven through Qt SerialPort where the build
// has it, else through the Win32 serial calls (a Windows build without Qt
// SerialPort). Lines inside the program (the demonstration radio) are
// registered under a path of their own; a port mapped to that path opens one.
// Everything runs on the user-interface thread; the events are queued, never
// raised from inside the call that caused them.
#pragma once

#include <functional>
#include <memory>
#include <string>

#include "radio/PortCheck.h"
#include "radio/SerialPort.h"

namespace rm427 {

class SerialLine {
public:
    struct Events {
        std::function<void()> readyRead;
        // The line failed: HangUp (the line has closed itself) or IoError,
        // with the system's words.
        std::function<void(CommEvent, const std::string&)> failed;
    };

    // Why a device did not open: the problem, who may open it (where the
    // system says), and the system's own words.
    struct Failure {
        PortProblem problem = PortProblem::None;
        DeviceAccess access;
        std::string message;
    };

    virtual ~SerialLine() = default;
    virtual bool Open(const std::string& path, const LineSettings& settings, Failure& failure) = 0;
    // Sends what is queued, then closes.
    virtual void Close() = 0;
    virtual bool IsOpen() const = 0;
    // The receive buffer's size in bytes (0 = no limit).
    virtual void SetReadBufferSize(int bytes) = 0;
    // Drops the received bytes, and the unsent ones too when `output`.
    virtual void Discard(bool output) = 0;
    virtual bool Write(const Bytes& data) = 0;
    virtual int BytesAvailable() const = 0;
    virtual Bytes Read(int maxBytes) = 0;

    void SetEvents(Events events) { events_ = std::move(events); }

protected:
    Events events_;
};

// The system's serial line.
std::unique_ptr<SerialLine> MakeSystemLine();

// Lines inside the program: opening `path` gets a new line from the factory.
// An empty factory takes the path back.
using LineFactory = std::function<std::unique_ptr<SerialLine>()>;
void RegisterInProcessLine(const std::string& path, LineFactory factory);
// The line for a path: an in-process one if registered, else the system's.
std::unique_ptr<SerialLine> MakeLine(const std::string& path);

}  // namespace rm427
