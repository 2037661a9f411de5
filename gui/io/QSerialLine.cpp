// The system's serial line through Qt SerialPort.
#include "io/SerialLine.h"

#ifdef RM427_HAVE_QT_SERIALPORT

#include <QSerialPort>

#ifndef _WIN32
#include <cerrno>
#include <grp.h>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace rm427 {

namespace {

// Why a device did not open: what the system says of the path itself (no
// such file, no read/write permission, with who may open it), else what
// the serial port reported.
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

class QSerialLine : public SerialLine {
public:
    QSerialLine() {
        QObject::connect(&port_, &QSerialPort::readyRead, [this] {
            if (events_.readyRead) events_.readyRead();
        });
        QObject::connect(&port_, &QSerialPort::errorOccurred,
                         [this](QSerialPort::SerialPortError e) { OnError(e); });
    }

    bool Open(const std::string& path, const LineSettings& ls, Failure& failure) override {
        port_.setPortName(QString::fromStdString(path));
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
            failure.problem = DiagnosePort(path, port_.error(), failure.access);
            failure.message = port_.errorString().toStdString();
            port_.clearError();
            return false;
        }
        // Programming cables commonly draw their power from DTR and RTS; a
        // pseudo-terminal refuses both, which does no harm.
        port_.setDataTerminalReady(true);
        port_.setRequestToSend(true);
        port_.clearError();
        return true;
    }

    void Close() override {
        if (!port_.isOpen()) return;
        port_.flush();
        port_.close();
    }
    bool IsOpen() const override { return port_.isOpen(); }
    void SetReadBufferSize(int bytes) override { port_.setReadBufferSize(bytes); }
    void Discard(bool output) override {
        port_.clear(output ? QSerialPort::AllDirections : QSerialPort::Input);
    }
    bool Write(const Bytes& data) override {
        const qint64 n =
            port_.write(reinterpret_cast<const char*>(data.data()), static_cast<qint64>(data.size()));
        return n == static_cast<qint64>(data.size());
    }
    int BytesAvailable() const override { return static_cast<int>(port_.bytesAvailable()); }
    Bytes Read(int maxBytes) override {
        const QByteArray b = port_.read(maxBytes);
        return Bytes(b.begin(), b.end());
    }

private:
    void OnError(QSerialPort::SerialPortError e) {
        switch (e) {
        case QSerialPort::NoError:
        case QSerialPort::UnsupportedOperationError:  // DTR/RTS on a pseudo-terminal
        case QSerialPort::TimeoutError: return;
        case QSerialPort::ResourceError: {
            // The device went away (cable pulled, far end closed). QSerialPort
            // keeps reporting the port open; close it so the next Open starts clean.
            const std::string message = port_.errorString().toStdString();
            if (port_.isOpen()) port_.close();
            port_.clearError();
            if (events_.failed) events_.failed(CommEvent::HangUp, message);
            return;
        }
        default: {
            if (!port_.isOpen()) return;  // open failures are reported by Open
            const std::string message = port_.errorString().toStdString();
            port_.clearError();
            if (events_.failed) events_.failed(CommEvent::IoError, message);
            return;
        }
        }
    }

    QSerialPort port_;
};

}  // namespace

std::unique_ptr<SerialLine> MakeSystemLine() { return std::make_unique<QSerialLine>(); }

}  // namespace rm427

#endif
