// The system's serial line on a Windows build without Qt SerialPort: the
// Win32 serial calls on "\\.\COMn", overlapped, watched by a 5 ms poll on the
// user-interface thread (the radio's frames are a few dozen bytes at 2400
// baud, about 4.6 ms a byte).
#include "io/SerialLine.h"

#if defined(_WIN32) && !defined(RM427_HAVE_QT_SERIALPORT)

#include <QTimer>

#include <algorithm>
#include <deque>
#include <windows.h>

namespace rm427 {

namespace {

std::string SystemMessage(DWORD code) {
    wchar_t* text = nullptr;
    const DWORD n = FormatMessageW(
        FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
        nullptr, code, 0, reinterpret_cast<wchar_t*>(&text), 0, nullptr);
    QString s =
        n ? QString::fromWCharArray(text, int(n)).trimmed() : QStringLiteral("error %1").arg(code);
    if (text) LocalFree(text);
    return s.toStdString();
}

PortProblem ProblemOf(DWORD code) {
    switch (code) {
    case ERROR_FILE_NOT_FOUND:
    case ERROR_PATH_NOT_FOUND: return PortProblem::NoDevice;
    // A COM port is opened by one program at a time: "access denied" means
    // another one has it.
    case ERROR_ACCESS_DENIED:
    case ERROR_SHARING_VIOLATION: return PortProblem::InUse;
    default: return PortProblem::Other;
    }
}

class WinComLine : public SerialLine {
public:
    WinComLine() {
        poll_.setInterval(5);
        QObject::connect(&poll_, &QTimer::timeout, [this] { Poll(); });
    }
    ~WinComLine() override { Close(); }

    bool Open(const std::string& path, const LineSettings& ls, Failure& failure) override {
        QString name = QString::fromStdString(path);
        if (!name.startsWith(QLatin1String("\\\\.\\"))) name.prepend(QLatin1String("\\\\.\\"));
        handle_ =
            CreateFileW(reinterpret_cast<const wchar_t*>(name.utf16()), GENERIC_READ | GENERIC_WRITE, 0,
                        nullptr, OPEN_EXISTING, FILE_FLAG_OVERLAPPED, nullptr);
        if (handle_ == INVALID_HANDLE_VALUE) return Fail(failure);
        DCB dcb{};
        dcb.DCBlength = sizeof dcb;
        if (!GetCommState(handle_, &dcb)) return Fail(failure);
        dcb.BaudRate = DWORD(ls.baud);
        dcb.ByteSize = BYTE(ls.dataBits);
        dcb.Parity = ls.parity == 'E'   ? EVENPARITY
                     : ls.parity == 'O' ? ODDPARITY
                     : ls.parity == 'M' ? MARKPARITY
                     : ls.parity == 'S' ? SPACEPARITY
                                        : NOPARITY;
        dcb.fParity = dcb.Parity != NOPARITY;
        dcb.StopBits = ls.stopBits == 2 ? TWOSTOPBITS : ls.stopBits == 3 ? ONE5STOPBITS : ONESTOPBIT;
        dcb.fBinary = TRUE;
        dcb.fOutxCtsFlow = dcb.fOutxDsrFlow = dcb.fDsrSensitivity = FALSE;
        dcb.fOutX = dcb.fInX = dcb.fErrorChar = dcb.fNull = dcb.fAbortOnError = FALSE;
        // Programming cables commonly draw their power from DTR and RTS.
        dcb.fDtrControl = DTR_CONTROL_ENABLE;
        dcb.fRtsControl = RTS_CONTROL_ENABLE;
        if (!SetCommState(handle_, &dcb)) return Fail(failure);
        // Reads return at once with what has arrived.
        COMMTIMEOUTS timeouts{};
        timeouts.ReadIntervalTimeout = MAXDWORD;
        if (!SetCommTimeouts(handle_, &timeouts)) return Fail(failure);
        PurgeComm(handle_, PURGE_RXCLEAR | PURGE_TXCLEAR);
        in_.clear();
        poll_.start();
        return true;
    }

    void Close() override {
        if (handle_ == INVALID_HANDLE_VALUE) return;
        poll_.stop();
        for (Pending& w : writes_) {  // what was queued still goes out
            DWORD n = 0;
            GetOverlappedResult(handle_, &w.overlapped, &n, TRUE);
        }
        writes_.clear();
        CloseHandle(handle_);
        handle_ = INVALID_HANDLE_VALUE;
    }
    bool IsOpen() const override { return handle_ != INVALID_HANDLE_VALUE; }
    void SetReadBufferSize(int bytes) override { limit_ = bytes; }
    void Discard(bool output) override {
        in_.clear();
        if (!IsOpen()) return;
        DWORD what = PURGE_RXCLEAR;
        if (output) what |= PURGE_TXCLEAR | PURGE_TXABORT;
        PurgeComm(handle_, what);
        if (output) Reap(true);
    }
    bool Write(const Bytes& data) override {
        if (!IsOpen()) return false;
        if (data.empty()) return true;
        writes_.emplace_back();
        Pending& w = writes_.back();
        w.bytes = data;
        if (WriteFile(handle_, w.bytes.data(), DWORD(w.bytes.size()), nullptr, &w.overlapped))
            return true;
        if (GetLastError() == ERROR_IO_PENDING) return true;
        writes_.pop_back();
        return false;
    }
    int BytesAvailable() const override { return int(in_.size()); }
    Bytes Read(int maxBytes) override {
        const size_t n = std::min(in_.size(), size_t(maxBytes));
        Bytes out(in_.begin(), in_.begin() + std::ptrdiff_t(n));
        in_.erase(in_.begin(), in_.begin() + std::ptrdiff_t(n));
        return out;
    }

private:
    struct Pending {
        OVERLAPPED overlapped{};
        Bytes bytes;
    };

    bool Fail(Failure& failure) {
        const DWORD code = GetLastError();
        failure.problem = ProblemOf(code);
        failure.message = SystemMessage(code);
        if (handle_ != INVALID_HANDLE_VALUE) CloseHandle(handle_);
        handle_ = INVALID_HANDLE_VALUE;
        return false;
    }

    // Forgets the writes that have finished (all of them, when cancelled).
    void Reap(bool all) {
        while (!writes_.empty()) {
            DWORD n = 0;
            if (!GetOverlappedResult(handle_, &writes_.front().overlapped, &n, all ? TRUE : FALSE) &&
                GetLastError() == ERROR_IO_INCOMPLETE)
                return;
            writes_.pop_front();
        }
    }

    void Poll() {
        Reap(false);
        DWORD errors = 0;
        COMSTAT status{};
        if (!ClearCommError(handle_, &errors, &status)) {
            // The device went away (a USB cable pulled out).
            const std::string message = SystemMessage(GetLastError());
            Close();
            if (events_.failed) events_.failed(CommEvent::HangUp, message);
            return;
        }
        if (status.cbInQue == 0) return;
        DWORD room = status.cbInQue;
        if (limit_ > 0) {
            const size_t free = in_.size() < size_t(limit_) ? size_t(limit_) - in_.size() : 0;
            room = std::min<DWORD>(room, DWORD(free));
        }
        if (room == 0) return;
        Bytes chunk(room);
        OVERLAPPED overlapped{};
        DWORD got = 0;
        if (!ReadFile(handle_, chunk.data(), room, nullptr, &overlapped) &&
            GetLastError() != ERROR_IO_PENDING) {
            const std::string message = SystemMessage(GetLastError());
            if (events_.failed) events_.failed(CommEvent::IoError, message);
            return;
        }
        GetOverlappedResult(handle_, &overlapped, &got, TRUE);  // the bytes are there already
        if (got == 0) return;
        in_.insert(in_.end(), chunk.begin(), chunk.begin() + got);
        if (events_.readyRead) events_.readyRead();
    }

    HANDLE handle_ = INVALID_HANDLE_VALUE;
    QTimer poll_;
    std::deque<Pending> writes_;
    Bytes in_;
    int limit_ = 0;
};

}  // namespace

std::unique_ptr<SerialLine> MakeSystemLine() { return std::make_unique<WinComLine>(); }

}  // namespace rm427

#endif
