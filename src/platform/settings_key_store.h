#pragma once

#include "platform/key_store.h"

#include <QString>

// Keys kept by QSettings. The default store maps "Software\Maker\Program" to the per-user
// native settings of organisation Maker, application Program: the registry key itself on
// Windows, Maker/Program.conf in the user's configuration folder elsewhere.
// A file store keeps its key in one INI file instead (the native format off Windows), which
// lets tests run on a temporary file.
class SettingsKeyStore final : public KeyStore {
public:
    SettingsKeyStore() = default;
    explicit SettingsKeyStore(QString filePath);

    bool CreateKey(const std::string& keyName) override;
    std::unique_ptr<RegistryKey> OpenKey(const std::string& keyName) override;

private:
    QString filePath_; // empty: the per-user native settings
};
