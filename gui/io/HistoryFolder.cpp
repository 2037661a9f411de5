#include "io/HistoryFolder.h"

#include <QCoreApplication>
#include <QStandardPaths>

namespace rm427 {

std::string HistoryFolder() {
    // rm427-cli shares the program's folder, whatever its own name.
    const QString own = QCoreApplication::applicationName();
    QCoreApplication::setApplicationName(QStringLiteral("rm427"));
    const QString base = QStandardPaths::writableLocation(QStandardPaths::AppDataLocation);
    QCoreApplication::setApplicationName(own);
    if (base.isEmpty()) return {};
    return (base + QStringLiteral("/history")).toStdString();
}

}  // namespace rm427
