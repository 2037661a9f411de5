#include "io/QtSerialPort.h"

#ifndef _WIN32
#include <cerrno>
#include <grp.h>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace rm427 {

PortProblem DiagnosePort(const std::string& path, QSerialPort::SerialPortError error,
                         DeviceAccess& access) {
    access = DeviceAccess();
#ifndef _WIN32
    struct stat st {};
    if (::stat(path.c_str(), &st) != 0) return PortProblemFromErrno(errno);
    if (::access(path.c_str(), R_OK | W_OK) != 0) {
        const int e = errno;
        if (const struct passwd* u = ::getpwuid(st.st_uid)) access.owner = u->pw_name;
        if (const struct group* g = ::getgrgid(st.st_gid)) access.group = g->gr_name;
        access.mode = st.st_mode & 0777u;
        return PortProblemFromErrno(e);
    }
    // A file or folder named as the port ("Inappropriate ioctl for device").
    if (!S_ISCHR(st.st_mode)) return PortProblem::NotSerial;
#endif
    switch (error) {
    case QSerialPort::DeviceNotFoundError: return PortProblem::NoDevice;
    // The device itself may be opened: someone else holds it (lock file,
    // exclusive mode; on Windows "access denied").
    case QSerialPort::PermissionError: return PortProblem::InUse;
    default: return PortProblem::Other;
    }
}

QtSerialPort::QtSerialPort(PortPathLookup lookup, QObject* parent)
    : QObject(parent), lookup_(std::move(lookup)) {
    connect(&port_, &QSerialPort::readyRead, this, &QtSerialPort::OnReadyRead);
    connect(&port_, &QSerialPort::errorOccurred, this, &QtSerialPort::OnError);
}

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
    if (port_.isOpen()) Close();
    path_ = path;
    port_.setPortName(QString::fromStdString(path));
    port_.setReadBufferSize(inSize_);
    port_.setBaudRate(ls.baud);
    port_.setDataBits(static_cast<QSerialPort::DataBits>(ls.dataBits));
    switch (ls.parity) {
    case 'E': port_.setParity(QSerialPort::EvenParity); break;
    case 'O': port_.setParity(QSerialPort::OddParity); break;
    case 'M': port_.setParity(QSerialPort::MarkParity); break;
    case 'S': port_.setParity(QSerialPort::SpaceParity); break;
    default: port_.setParity(QSerialPort::NoParity); break;
    }
    port_.setStopBits(ls.stopBits == 2   ? QSerialPort::TwoStop
                      : ls.stopBits == 3 ? QSerialPort::OneAndHalfStop
                                         : QSerialPort::OneStop);
    port_.setFlowControl(QSerialPort::NoFlowControl);
    if (!port_.open(QIODevice::ReadWrite)) {
        DeviceAccess access;
        problem_ = DiagnosePort(path, port_.error(), access);
        error_ = PortProblemText(language_, problem_, path, access, port_.errorString().toStdString());
        port_.clearError();
        return false;
    }
    problem_ = PortProblem::None;
    // Programming cables commonly draw their power from DTR and RTS; a
    // pseudo-terminal refuses both, which does no harm.
    port_.setDataTerminalReady(true);
    port_.setRequestToSend(true);
    port_.clearError();
    lastEvent_ = CommEvent::None;
    error_.clear();
    return true;
}

void QtSerialPort::Close() {
    if (!port_.isOpen()) return;
    port_.flush();
    port_.close();
}

bool QtSerialPort::IsOpen() const { return port_.isOpen(); }

void QtSerialPort::SetBufferSizes(int inBytes, int /*outBytes*/) {
    // QSerialPort queues what is written without limit; only the receive
    // side has a buffer size.
    inSize_ = inBytes > 0 ? inBytes : 0;
    port_.setReadBufferSize(inSize_);
}

void QtSerialPort::DiscardBuffers() {
    if (port_.isOpen()) port_.clear(QSerialPort::AllDirections);
}

void QtSerialPort::DiscardInput() {
    if (port_.isOpen()) port_.clear(QSerialPort::Input);
}

bool QtSerialPort::Write(const Bytes& data) {
    if (!port_.isOpen()) return false;
    const qint64 n =
        port_.write(reinterpret_cast<const char*>(data.data()), static_cast<qint64>(data.size()));
    return n == static_cast<qint64>(data.size());
}

int QtSerialPort::BytesWaiting() {
    if (!port_.isOpen()) return 0;
    return static_cast<int>(port_.bytesAvailable());
}

Bytes QtSerialPort::Read(int maxBytes) {
    if (!port_.isOpen() || maxBytes <= 0) return {};
    const QByteArray b = port_.read(maxBytes);
    return Bytes(b.begin(), b.end());
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
    if (threshold_ > 0 && port_.bytesAvailable() >= threshold_) Raise(CommEvent::Receive);
}

void QtSerialPort::OnError(QSerialPort::SerialPortError e) {
    switch (e) {
    case QSerialPort::NoError:
    case QSerialPort::UnsupportedOperationError:  // DTR/RTS on a pseudo-terminal
    case QSerialPort::TimeoutError: return;
    case QSerialPort::ResourceError:
        // The device went away (cable pulled, far end closed). QSerialPort
        // keeps reporting the port open; close it so the next Open starts clean.
        error_ = path_ + ": " + port_.errorString().toStdString();
        if (port_.isOpen()) port_.close();
        port_.clearError();
        Raise(CommEvent::HangUp);
        return;
    default:
        if (!port_.isOpen()) return;  // open failures are reported by Open
        error_ = path_ + ": " + port_.errorString().toStdString();
        port_.clearError();
        Raise(CommEvent::IoError);
        return;
    }
}

}  // namespace rm427
