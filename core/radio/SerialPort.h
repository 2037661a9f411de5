// The serial port as the radio exchanges see it.
//
// One object stands for one port of one window (the clone window, the port
// window and the test-mode window each own theirs). Everything is called on
// the user-interface thread, and the receive event is delivered there too.
// The real implementation wraps QSerialPort (gui/io/QtSerialPort.h); tests use
// the same one over a pseudo-terminal, or a scripted fake for unit tests.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace rm427 {

using Bytes = std::vector<std::uint8_t>;

// Kinds of port event, numbered as the classic serial control numbers them.
enum class CommEvent : int {
    None = 0,
    Send = 1,        // transmit buffer has room again (not raised by our ports)
    Receive = 2,     // bytes are waiting, at least the receive threshold
    HangUp = 1010,   // the far end went away; the port has been closed
    IoError = 1011,  // any other failure of the line
};

// Line settings from a text such as "2400,N,8,2": baud, parity (N, E, O, M or
// S), data bits (5..8), stop bits (1, 1.5 or 2). Returns false for anything
// else and leaves the fields untouched.
struct LineSettings {
    int baud = 9600;
    char parity = 'N';
    int dataBits = 8;
    int stopBits = 1;  // 1, 2, or 3 for 1.5
};
bool ParseLineSettings(const std::string& text, LineSettings& out);

class SerialPort {
public:
    virtual ~SerialPort() = default;

    // Opens port number `port` (1..20) with the settings text. On failure
    // returns false and ErrorDescription() tells why, in words the program
    // shows unchanged.
    virtual bool Open(int port, const std::string& settings) = 0;
    virtual void Close() = 0;
    virtual bool IsOpen() const = 0;

    // Receive and transmit buffer sizes, in bytes. Set before Open.
    virtual void SetBufferSizes(int inBytes, int outBytes) = 0;
    // Drops what is waiting in the receive buffer and what is still queued
    // for sending.
    virtual void DiscardBuffers() = 0;
    // Drops only what is waiting in the receive buffer; queued output still goes.
    virtual void DiscardInput() = 0;

    // Queues the bytes for sending. False when the port is closed or broken.
    virtual bool Write(const Bytes& data) = 0;
    // Number of received bytes waiting to be read.
    virtual int BytesWaiting() = 0;
    // Takes up to `maxBytes` waiting bytes, as bytes.
    virtual Bytes Read(int maxBytes) = 0;

    // Receive event: with threshold n > 0 the handler is called (on the UI
    // thread) whenever bytes arrive and at least n are waiting; 0 stops the
    // events. Line failures are reported through the same handler.
    virtual void SetReceiveThreshold(int n) = 0;
    virtual void SetEventHandler(std::function<void(CommEvent)> handler) = 0;
    // Kind of the last event raised.
    virtual CommEvent LastEvent() const = 0;

    virtual std::string ErrorDescription() const = 0;
};

}  // namespace rm427
