#include "io/SerialDeviceList.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#ifdef RM427_HAVE_QT_SERIALPORT
#include <QSerialPortInfo>
#elif defined(_WIN32)
#include <windows.h>
#endif

namespace rm427 {

namespace {

QString ReadLine(const QString& path) {
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly)) return {};
    return QString::fromLatin1(f.readLine()).trimmed();
}

// What /sys/class/tty/NAME tells: the driver, and from the USB device
// above it the release (bcdDevice, hex) and the USB version (" 1.10").
[[maybe_unused]] void AddSysfsFacts(SerialDevice& d) {
    const QString name = QFileInfo(QString::fromStdString(d.path)).fileName();
    const QString dev = QStringLiteral("/sys/class/tty/%1/device").arg(name);
    if (!QFileInfo::exists(dev)) return;
    const QString driver = QFileInfo(dev + QStringLiteral("/driver")).symLinkTarget();
    if (!driver.isEmpty()) d.driver = QFileInfo(driver).fileName().toStdString();
    QDir dir(QFileInfo(dev).canonicalFilePath());
    for (int up = 0; up < 4 && !dir.exists(QStringLiteral("idVendor")); ++up)
        if (!dir.cdUp()) return;
    if (!dir.exists(QStringLiteral("idVendor"))) return;
    bool ok = false;
    const int release = ReadLine(dir.filePath(QStringLiteral("bcdDevice"))).toInt(&ok, 16);
    if (ok) d.release = release;
    const QStringList version =
        ReadLine(dir.filePath(QStringLiteral("version"))).split(QLatin1Char('.'));
    if (version.size() == 2) {
        const int major = version[0].toInt(), minor = version[1].left(2).toInt(&ok, 16);
        if (ok) d.usbVersion = major << 8 | minor << (version[1].size() == 1 ? 4 : 0);
    }
}

}  // namespace

std::vector<SerialDevice> ListSerialDevices() {
    std::vector<SerialDevice> list;
#ifdef RM427_HAVE_QT_SERIALPORT
    for (const QSerialPortInfo& info : QSerialPortInfo::availablePorts()) {
        SerialDevice d;
        d.path = info.systemLocation().toStdString();
        if (info.hasVendorIdentifier()) d.vendorId = info.vendorIdentifier();
        if (info.hasProductIdentifier()) d.productId = info.productIdentifier();
        d.description = info.description().toStdString();
        d.manufacturer = info.manufacturer().toStdString();
        AddSysfsFacts(d);
        list.push_back(d);
    }
#elif defined(_WIN32)
    // The COM ports Windows knows of: the values of HARDWARE\DEVICEMAP\SERIALCOMM
    // ("\Device\Serial0" = "COM1"), with the driver's device as description.
    HKEY key = nullptr;
    if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, L"HARDWARE\\DEVICEMAP\\SERIALCOMM", 0, KEY_READ, &key) ==
        ERROR_SUCCESS) {
        for (DWORD i = 0;; ++i) {
            wchar_t name[256], data[256];
            DWORD nameSize = 256, dataSize = sizeof data, type = 0;
            if (RegEnumValueW(key, i, name, &nameSize, nullptr, &type, reinterpret_cast<BYTE*>(data),
                              &dataSize) != ERROR_SUCCESS)
                break;
            if (type != REG_SZ) continue;
            SerialDevice d;
            d.path = QString::fromWCharArray(data, int(wcsnlen(data, dataSize / sizeof(wchar_t))))
                         .toStdString();
            d.description = QString::fromWCharArray(name, int(nameSize)).toStdString();
            list.push_back(d);
        }
        RegCloseKey(key);
    }
#endif
#ifdef Q_OS_LINUX
    const QDir dev(QStringLiteral("/dev"));
    for (const QString& name : dev.entryList({QStringLiteral("ttyUSB*"), QStringLiteral("ttyACM*")},
                                             QDir::System | QDir::Files, QDir::Name)) {
        const std::string path = dev.filePath(name).toStdString();
        if (FindDevice(list, path) || !QFileInfo::exists(dev.filePath(name))) continue;
        SerialDevice d;
        d.path = path;
        list.push_back(d);
    }
    const QDir byId(QStringLiteral("/dev/serial/by-id"));
    for (const QFileInfo& link : byId.entryInfoList(QDir::System | QDir::Files | QDir::NoDotAndDotDot))
        for (SerialDevice& d : list)
            if (QFileInfo(QString::fromStdString(d.path)).canonicalFilePath() ==
                link.canonicalFilePath())
                d.stablePath = link.absoluteFilePath().toStdString();
#endif
    return list;
}

}  // namespace rm427
