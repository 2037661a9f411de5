#include "io/QtSerialPort.h"

#include <map>
#include <mutex>

namespace rm427 {

namespace {

std::mutex g_linesMutex;
std::map<std::string, LineFactory>& InProcessLines() {
    static std::map<std::string, LineFactory> lines;
    return lines;
}

}  // namespace

void RegisterInProcessLine(const std::string& path, LineFactory factory) {
    std::lock_guard<std::mutex> lock(g_linesMutex);
    if (factory) InProcessLines()[path] = std::move(factory);
    else InProcessLines().erase(path);
}

std::unique_ptr<SerialLine> MakeLine(const std::string& path) {
    {
        std::lock_guard<std::mutex> lock(g_linesMutex);
        const auto it = InProcessLines().find(path);
        if (it != InProcessLines().end()) return it->second();
    }
    return MakeSystemLine();
}

QtSerialPort::QtSerialPort(PortPathLookup lookup, QObject* parent)
    : QObject(parent), lookup_(std::move(lookup)) {}

QtSerialPort::~QtSerialPort() {
    handler_ = nullptr;
    Close();
}

bool QtSerialPort::Open(int port, const std::string& settings) {
    const std::string path = ResolvePortPath(port, lookup_);
    if (path.empty()) {
        error_ = "Invalid port number " + std::to_string(port);
        problem_ = PortProblem::NoDevice;
        return false;
    }
    return OpenPath(path, settings);
}

bool QtSerialPort::OpenPath(const std::string& path, const std::string& settings) {
    LineSettings ls;
    if (!ParseLineSettings(settings, ls)) {
        error_ = "Invalid port settings \"" + settings + "\"";
        return false;
    }
    if (IsOpen()) Close();
    path_ = path;
    line_ = MakeLine(path);
    line_->SetReadBufferSize(inSize_);
    // Events from a line this port has since let go of are not its own.
    SerialLine* line = line_.get();
    line_->SetEvents({[this, line] {
                          if (line == line_.get()) OnReadyRead();
                      },
                      [this, line](CommEvent e, const std::string& message) {
                          if (line == line_.get()) OnFailed(e, message);
                      }});
    SerialLine::Failure failure;
    if (!line_->Open(path, ls, failure)) {
        problem_ = failure.problem;
        error_ = PortProblemText(language_, problem_, path, failure.access, failure.message);
        line_.reset();
        return false;
    }
    problem_ = PortProblem::None;
    lastEvent_ = CommEvent::None;
    error_.clear();
    return true;
}

void QtSerialPort::Close() {
    if (line_) line_->Close();
}

bool QtSerialPort::IsOpen() const { return line_ && line_->IsOpen(); }

void QtSerialPort::SetBufferSizes(int inBytes, int /*outBytes*/) {
    // What is written is queued without limit; only the receive side has a
    // buffer size.
    inSize_ = inBytes > 0 ? inBytes : 0;
    if (line_) line_->SetReadBufferSize(inSize_);
}

void QtSerialPort::DiscardBuffers() {
    if (IsOpen()) line_->Discard(true);
}

void QtSerialPort::DiscardInput() {
    if (IsOpen()) line_->Discard(false);
}

bool QtSerialPort::Write(const Bytes& data) { return IsOpen() && line_->Write(data); }

int QtSerialPort::BytesWaiting() { return IsOpen() ? line_->BytesAvailable() : 0; }

Bytes QtSerialPort::Read(int maxBytes) {
    if (!IsOpen() || maxBytes <= 0) return {};
    return line_->Read(maxBytes);
}

void QtSerialPort::SetReceiveThreshold(int n) { threshold_ = n > 0 ? n : 0; }

void QtSerialPort::SetEventHandler(std::function<void(CommEvent)> handler) {
    handler_ = std::move(handler);
}

void QtSerialPort::Raise(CommEvent e) {
    lastEvent_ = e;
    if (handler_) {
        auto h = handler_;  // the handler may replace itself
        h(e);
    }
}

void QtSerialPort::OnReadyRead() {
    if (threshold_ > 0 && IsOpen() && line_->BytesAvailable() >= threshold_) Raise(CommEvent::Receive);
}

void QtSerialPort::OnFailed(CommEvent e, const std::string& message) {
    error_ = path_ + ": " + message;
    Raise(e);
}

}  // namespace rm427
