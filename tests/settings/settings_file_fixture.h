#pragma once

#include "platform/settings_key_store.h"

#include <QByteArray>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <variant>

using Stored = std::variant<std::string, std::uint32_t>;

struct StoredValue {
    std::string name;
    Stored value;
};

inline constexpr char kSettingsKey[] = "Software\\Varnel\\Pictavo";

// The fourteen persisted values as a first run stores them.
std::vector<StoredValue> DefaultValues();
// A complete store of this version, every value different from its default.
std::vector<StoredValue> CustomisedValues();
// `values` with the ones named in `replacements` replaced or, when absent, added.
std::vector<StoredValue> With(std::vector<StoredValue> values,
                              const std::vector<StoredValue>& replacements);
std::vector<StoredValue> Without(std::vector<StoredValue> values, const std::string& name);

// Runs the settings against a temporary settings file.
class SettingsFileTest : public testing::Test {
protected:
    SettingsFileTest();
    void SetUp() override { ASSERT_TRUE(dir_.isValid()); }

    void Seed(const std::vector<StoredValue>& values);
    // Each value as stored, read with the type it is expected to have.
    void ExpectStored(const std::vector<StoredValue>& values);
    std::optional<std::string> StoredText(const std::string& name);
    QByteArray FileBytes() const;
    void WriteFile(const QByteArray& bytes) const;

    QTemporaryDir dir_;
    SettingsKeyStore store_;

private:
    pictavo::ScopedReplacement<KeyStore> useStore_;
};
