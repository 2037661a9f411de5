#include "io/RegKeys.h"

#include <QDir>
#include <QFileInfo>
#include <QRegularExpression>
#include <QSettings>
#include <QStandardPaths>
#include <QString>
#include <QStringList>

#include <memory>

namespace rm427 {
namespace {

// "SoftWare\\RM-427" -> "SoftWare/RM-427": one separator per run of
// backslashes or slashes, none at either end.
QString GroupOf(const std::string& keyPath) {
    static const QRegularExpression separators(QStringLiteral(R"([\\/]+)"));
    return QString::fromStdString(keyPath).split(separators, Qt::SkipEmptyParts).join('/');
}

std::unique_ptr<QSettings> OpenStore(RegRoot) {
#ifdef Q_OS_WIN
    return std::make_unique<QSettings>(QStringLiteral("HKEY_LOCAL_MACHINE"), QSettings::NativeFormat);
#else
    return std::make_unique<QSettings>(QString::fromStdString(SettingsLocation()), QSettings::IniFormat);
#endif
}

// The stored name that equals valueName without regard to case, or an empty
// text when there is none.
QString FindValueName(QSettings& store, const QString& valueName) {
    const QStringList keys = store.childKeys();
    for (const QString& k : keys)
        if (k.compare(valueName, Qt::CaseInsensitive) == 0) return k;
    return {};
}

}  // namespace

std::string SettingsLocation() {
#ifdef Q_OS_WIN
    return "HKEY_LOCAL_MACHINE\\" + GroupOf(kProgramKeyPath).replace('/', '\\').toStdString();
#else
    const QByteArray env = qgetenv(kSettingsFileVariable);
    if (!env.isEmpty()) return QString::fromLocal8Bit(env).toStdString();
    QString dir = QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation);
    if (dir.isEmpty()) dir = QDir::homePath() + "/.config";
    return (dir + "/rm427/rm427.ini").toStdString();
#endif
}

std::string GetKeyValue(RegRoot root, const std::string& keyPath, const std::string& valueName) {
    const QString group = GroupOf(keyPath);
    const QString name = QString::fromStdString(valueName);
    if (group.isEmpty() || name.isEmpty()) return {};
    auto store = OpenStore(root);
    if (store->status() != QSettings::NoError) return {};
    store->beginGroup(group);
    const QString stored = FindValueName(*store, name);
    if (stored.isEmpty()) return {};
    const QVariant v = store->value(stored);
    // Only plain texts count; the program never stores anything else.
    if (v.typeId() != QMetaType::QString && v.typeId() != QMetaType::QByteArray) return {};
    QByteArray bytes = v.toString().toUtf8();
    const qsizetype nul = bytes.indexOf('\0');
    if (nul >= 0) bytes.truncate(nul);
    if (bytes.size() > 1023) return {};
    return bytes.toStdString();
}

bool SetKeyValue(RegRoot root, const std::string& keyPath, const std::string& valueName,
                 const std::string& text) {
    return SetKeyValues(root, keyPath, {{valueName, text}});
}

bool SetKeyValues(RegRoot root, const std::string& keyPath,
                  const std::vector<std::pair<std::string, std::string>>& values) {
    const QString group = GroupOf(keyPath);
    if (group.isEmpty()) return false;
    for (const auto& v : values)
        if (v.first.empty()) return false;
#ifndef Q_OS_WIN
    // The folder may not exist yet on a fresh machine.
    const QFileInfo file(QString::fromStdString(SettingsLocation()));
    if (!QDir().mkpath(file.absolutePath())) return false;
#endif
    auto store = OpenStore(root);
    store->beginGroup(group);
    for (const auto& [valueName, text] : values) {
        const QString name = QString::fromStdString(valueName);
        // "Language" and "language" are one value: keep the name it already has.
        QString stored = FindValueName(*store, name);
        if (stored.isEmpty()) stored = name;
        store->setValue(stored, QString::fromStdString(text));
    }
    store->endGroup();
    store->sync();
    return store->status() == QSettings::NoError;
}

}  // namespace rm427
