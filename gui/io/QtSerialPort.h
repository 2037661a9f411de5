// The serial port seam for the windows and the command line: port numbers,
// line settings, receive threshold and events over one SerialLine (the
// system's serial port, or a line inside the program; see SerialLine.h).
#pragma once

#include <QObject>

#include <memory>

#include "io/SerialLine.h"
#include "radio/PortCheck.h"
#include "radio/PortPaths.h"
#include "radio/SerialPort.h"

namespace rm427 {

class QtSerialPort : public QObject, public SerialPort {
    Q_OBJECT
public:
    // lookup gives the settings store's override of a port's device path
    // (see PortPaths.h); an empty lookup uses the built-in table only.
    explicit QtSerialPort(PortPathLookup lookup = {}, QObject* parent = nullptr);
    ~QtSerialPort() override;

    bool Open(int port, const std::string& settings) override;
    // Opens a device by its path, bypassing the port numbers.
    bool OpenPath(const std::string& path, const std::string& settings);
    void Close() override;
    bool IsOpen() const override;
    void SetBufferSizes(int inBytes, int outBytes) override;
    void DiscardBuffers() override;
    void DiscardInput() override;
    bool Write(const Bytes& data) override;
    int BytesWaiting() override;
    Bytes Read(int maxBytes) override;
    void SetReceiveThreshold(int n) override;
    void SetEventHandler(std::function<void(CommEvent)> handler) override;
    CommEvent LastEvent() const override { return lastEvent_; }
    std::string ErrorDescription() const override { return error_; }

    // The device path of the last Open.
    std::string DevicePath() const { return path_; }
    // Why the last Open failed (None after a success), and the language of
    // the explanation that ErrorDescription gives then.
    PortProblem Problem() const { return problem_; }
    void SetLanguage(int language) { language_ = language; }

private:
    void OnReadyRead();
    void OnFailed(CommEvent e, const std::string& message);
    void Raise(CommEvent e);

    std::unique_ptr<SerialLine> line_;
    PortPathLookup lookup_;
    std::function<void(CommEvent)> handler_;
    CommEvent lastEvent_ = CommEvent::None;
    std::string error_;
    std::string path_;
    int threshold_ = 0;
    int inSize_ = 1024;
    PortProblem problem_ = PortProblem::None;
    int language_ = 0;
};

}  // namespace rm427
