#include "platform/settings_key_store.h"

#include <QFile>
#include <QFileInfo>
#include <QSettings>
#include <QStringList>
#include <QTemporaryFile>
#include <QVariant>
#include <limits>
#include <utility>

namespace {

// Far beyond any file this program writes; a larger one is not read into memory.
constexpr qint64 kLargestSettingsFile = 1 << 20;

struct KeyLocation {
    QString organisation;
    QString application;
};

std::optional<KeyLocation> ParseKeyName(const std::string& keyName) {
    const QStringList parts = QString::fromStdString(keyName).split(QLatin1Char('\\'));
    if (parts.size() != 3 ||
        parts[0].compare(QLatin1String("Software"), Qt::CaseInsensitive) != 0 ||
        parts[1].isEmpty() || parts[2].isEmpty())
        return std::nullopt;
    return KeyLocation{parts[1], parts[2]};
}

// Qt caches a parsed settings file by path and reports a parse error only the first time it
// reads the file, so each check parses a fresh copy beside it.
bool ParsesAsSettings(const QByteArray& content, const QString& folder) {
    QTemporaryFile copy(folder + QLatin1String("/.settings-check-XXXXXX"));
    if (!copy.open() || copy.write(content) != content.size())
        return false;
    copy.close();
    return QSettings(copy.fileName(), QSettings::IniFormat).status() == QSettings::NoError;
}

// Settings that can be read without error and written; nullptr otherwise.
std::unique_ptr<QSettings> OpenUsable(const QString& filePath) {
    const QFileInfo info(filePath);
    if (info.exists()) {
        QFile file(filePath);
        if (!info.isFile() || !file.open(QIODevice::ReadOnly))
            return nullptr;
        const QByteArray content = file.read(kLargestSettingsFile + 1);
        if (content.size() > kLargestSettingsFile ||
            !ParsesAsSettings(content, info.absolutePath()))
            return nullptr;
    }
    auto settings = std::make_unique<QSettings>(filePath, QSettings::IniFormat);
    if (settings->status() != QSettings::NoError || !settings->isWritable())
        return nullptr;
    return settings;
}

std::unique_ptr<QSettings> OpenUsable(const QString& storeFile, const KeyLocation& location) {
    if (!storeFile.isEmpty())
        return OpenUsable(storeFile);
#ifdef Q_OS_WIN
    auto settings = std::make_unique<QSettings>(QSettings::NativeFormat, QSettings::UserScope,
                                                location.organisation, location.application);
    settings->setFallbacksEnabled(false);
    if (settings->status() != QSettings::NoError || !settings->isWritable())
        return nullptr;
    return settings;
#else
    // The file QSettings keeps native user settings in, as Qt itself finds it.
    return OpenUsable(QSettings(QSettings::NativeFormat, QSettings::UserScope,
                                location.organisation, location.application)
                          .fileName());
#endif
}

class SettingsKey final : public RegistryKey {
public:
    explicit SettingsKey(std::unique_ptr<QSettings> settings) : settings_(std::move(settings)) {}

    std::optional<std::string> QueryText(const std::string& name) const override {
        const QVariant value = settings_->value(QString::fromStdString(name));
        if (!value.isValid())
            return std::nullopt;
        // An unquoted comma in a hand-edited file makes QSettings split the text.
        if (value.typeId() == QMetaType::QStringList)
            return value.toStringList().join(QLatin1String(", ")).toStdString();
        return value.toString().toStdString();
    }

    std::optional<std::uint32_t> QueryDword(const std::string& name) const override {
        const QVariant value = settings_->value(QString::fromStdString(name));
        bool isNumber = false;
        const qlonglong number = value.toLongLong(&isNumber);
        // The registry hands a DWORD back as a signed int, a file as unsigned text.
        if (!isNumber || number < std::numeric_limits<std::int32_t>::min() ||
            number > std::numeric_limits<std::uint32_t>::max())
            return std::nullopt;
        return static_cast<std::uint32_t>(number);
    }

    void SetText(const std::string& name, const std::string& text) override {
        settings_->setValue(QString::fromStdString(name), QString::fromStdString(text));
    }

    void SetDword(const std::string& name, std::uint32_t value) override {
        settings_->setValue(QString::fromStdString(name), value);
    }

private:
    std::unique_ptr<QSettings> settings_; // syncs when destroyed, through a temporary file
};

} // namespace

SettingsKeyStore::SettingsKeyStore(QString filePath) : filePath_(std::move(filePath)) {}

bool SettingsKeyStore::CreateKey(const std::string& keyName) {
    // QSettings brings a key into being with its first value; here it only has to be usable.
    const std::optional<KeyLocation> location = ParseKeyName(keyName);
    return location && OpenUsable(filePath_, *location) != nullptr;
}

std::unique_ptr<RegistryKey> SettingsKeyStore::OpenKey(const std::string& keyName) {
    const std::optional<KeyLocation> location = ParseKeyName(keyName);
    if (!location)
        return nullptr;
    std::unique_ptr<QSettings> settings = OpenUsable(filePath_, *location);
    if (!settings)
        return nullptr;
    return std::make_unique<SettingsKey>(std::move(settings));
}

KeyStore& KeyStore::Default() {
    static SettingsKeyStore nativeStore;
    return nativeStore;
}
