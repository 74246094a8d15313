#include "settings_file_fixture.h"

#include <QFile>
#include <algorithm>

std::vector<StoredValue> DefaultValues() {
    return {
        {"Cod4Path", "Set Path"},
        {"Cod5Path", "Set Path"},
        {"BOPath", "Set Path"},
        {"MW2Path", "Set Path"},
        {"MW3Path", "Set Path"},
        {"ActiveGame", 0xFFFFFFFFu},
        {"CubeView", 0u},
        {"StrecImage", 1u},
        {"EnableZoom", 1u},
        {"MergeBUMP", 0u},
        {"new_3DCubeView", 0u},
        {"Vsync", 0u},
        {"color_background", 0x00A4A0A0u},
        {"color_text", 0x00FF0000u},
    };
}

std::vector<StoredValue> CustomisedValues() {
    return {
        {"Init_Settings", 1u},
        {"Version", "1.3.3"},
        {"Cod4Path", "/games/Call of Duty 4"},
        {"Cod5Path", "/games/cod5"},
        {"BOPath", "/games/black ops"},
        {"MW2Path", "/images/mw2"},
        {"MW3Path", "/images/mw3"},
        {"ActiveGame", 4u},
        {"CubeView", 1u},
        {"StrecImage", 0u},
        {"EnableZoom", 0u},
        {"MergeBUMP", 1u},
        {"new_3DCubeView", 1u},
        {"Vsync", 1u},
        {"color_background", 0x00112233u},
        {"color_text", 0x00445566u},
    };
}

std::vector<StoredValue> With(std::vector<StoredValue> values,
                              const std::vector<StoredValue>& replacements) {
    for (const StoredValue& replacement : replacements) {
        const auto found = std::find_if(values.begin(), values.end(), [&](const StoredValue& v) {
            return v.name == replacement.name;
        });
        if (found == values.end())
            values.push_back(replacement);
        else
            found->value = replacement.value;
    }
    return values;
}

std::vector<StoredValue> Without(std::vector<StoredValue> values, const std::string& name) {
    std::erase_if(values, [&](const StoredValue& v) { return v.name == name; });
    return values;
}

SettingsFileTest::SettingsFileTest() : store_(dir_.filePath("Pictavo.conf")), useStore_(store_) {}

void SettingsFileTest::Seed(const std::vector<StoredValue>& values) {
    const std::unique_ptr<RegistryKey> key = store_.OpenKey(kSettingsKey);
    ASSERT_NE(key, nullptr);
    for (const StoredValue& v : values) {
        if (const auto* text = std::get_if<std::string>(&v.value))
            key->SetText(v.name, *text);
        else
            key->SetDword(v.name, std::get<std::uint32_t>(v.value));
    }
}

void SettingsFileTest::ExpectStored(const std::vector<StoredValue>& values) {
    const std::unique_ptr<RegistryKey> key = store_.OpenKey(kSettingsKey);
    ASSERT_NE(key, nullptr);
    for (const StoredValue& v : values) {
        if (const auto* text = std::get_if<std::string>(&v.value))
            EXPECT_EQ(key->QueryText(v.name), *text) << v.name;
        else
            EXPECT_EQ(key->QueryDword(v.name), std::get<std::uint32_t>(v.value)) << v.name;
    }
}

std::optional<std::string> SettingsFileTest::StoredText(const std::string& name) {
    const std::unique_ptr<RegistryKey> key = store_.OpenKey(kSettingsKey);
    return key ? key->QueryText(name) : std::nullopt;
}

QByteArray SettingsFileTest::FileBytes() const {
    QFile file(dir_.filePath("Pictavo.conf"));
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

void SettingsFileTest::WriteFile(const QByteArray& bytes) const {
    QFile file(dir_.filePath("Pictavo.conf"));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(bytes);
}
