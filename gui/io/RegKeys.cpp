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

// The file named by the environment, if any (tests, the demo's own run).
QString OverrideFile() { return qEnvironmentVariable(kSettingsFileVariable); }

std::unique_ptr<QSettings> OpenFile(const QString& file) {
    return std::make_unique<QSettings>(file, QSettings::IniFormat);
}

#ifdef Q_OS_WIN
// The registry: values are read and written under HKEY_LOCAL_MACHINE, but
// only an administrator may write there, so a write that fails goes to
// HKEY_CURRENT_USER instead, and a value found there wins when reading (it
// is there only because the machine's own could not be changed).
std::unique_ptr<QSettings> OpenRegistry(bool user) {
    return std::make_unique<QSettings>(
        user ? QStringLiteral("HKEY_CURRENT_USER") : QStringLiteral("HKEY_LOCAL_MACHINE"),
        QSettings::NativeFormat);
}
#endif

std::unique_ptr<QSettings> OpenStore(RegRoot) {
    const QString file = OverrideFile();
    if (!file.isEmpty()) return OpenFile(file);
#ifdef Q_OS_WIN
    return OpenRegistry(false);
#else
    return OpenFile(QString::fromStdString(SettingsLocation()));
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
    const QString file = OverrideFile();
    if (!file.isEmpty()) return file.toStdString();
#ifdef Q_OS_WIN
    return "HKEY_LOCAL_MACHINE\\" + GroupOf(kProgramKeyPath).replace('/', '\\').toStdString();
#else
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
    QString stored = FindValueName(*store, name);
#ifdef Q_OS_WIN
    if (OverrideFile().isEmpty()) {
        auto user = OpenRegistry(true);
        user->beginGroup(group);
        const QString mine = FindValueName(*user, name);
        if (!mine.isEmpty()) {
            store = std::move(user);
            stored = mine;
        }
    }
#endif
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
#ifdef Q_OS_WIN
    const bool registry = OverrideFile().isEmpty();
#else
    const bool registry = false;
#endif
    if (!registry) {
        // The folder may not exist yet on a fresh machine.
        const QFileInfo file(QString::fromStdString(SettingsLocation()));
        if (!QDir().mkpath(file.absolutePath())) return false;
    }
    const auto write = [&](QSettings& store) {
        store.beginGroup(group);
        for (const auto& [valueName, text] : values) {
            const QString name = QString::fromStdString(valueName);
            // "Language" and "language" are one value: keep the name it already has.
            QString stored = FindValueName(store, name);
            if (stored.isEmpty()) stored = name;
            store.setValue(stored, QString::fromStdString(text));
        }
        store.endGroup();
        store.sync();
        return store.status() == QSettings::NoError;
    };
    auto store = OpenStore(root);
    if (write(*store)) return true;
#ifdef Q_OS_WIN
    if (registry) {
        auto user = OpenRegistry(true);
        return write(*user);
    }
#endif
    return false;
}

bool CopySettingsTo(const std::string& file) {
    auto from = OpenStore(RegRoot::LocalMachine);
    const QString top = GroupOf(kProgramKeyPath);
    QSettings to(QString::fromStdString(file), QSettings::IniFormat);
    to.clear();
    const auto copy = [&](QSettings& store) {
        store.beginGroup(top);
        to.beginGroup(top);
        for (const QString& key : store.allKeys()) to.setValue(key, store.value(key));
        to.endGroup();
        store.endGroup();
    };
    copy(*from);
#ifdef Q_OS_WIN
    if (OverrideFile().isEmpty()) copy(*OpenRegistry(true));  // the user's values win
#endif
    to.sync();
    return to.status() == QSettings::NoError;
}

}  // namespace rm427
