#include "settings/app_settings.h"

#include "platform/current_directory.h"
#include "platform/key_store.h"

#include <memory>
#include <optional>

AppSettings theSettings;

namespace {

constexpr char kKeyName[] = "Software\\Varnel\\Pictavo";

// A missing text, or one too long for the buffer, reads as empty.
std::string ReadText(const RegistryKey& key, const std::string& name) {
    std::optional<std::string> text = key.QueryText(name);
    if (!text || text->size() >= kTextBufferSize)
        return {};
    return std::move(*text);
}

// A missing value leaves the field as it is.
void ReadDword(const RegistryKey& key, const std::string& name, std::uint32_t& field) {
    if (const std::optional<std::uint32_t> value = key.QueryDword(name))
        field = *value;
}

void ReadDword(const RegistryKey& key, const std::string& name, std::int32_t& field) {
    if (const std::optional<std::uint32_t> value = key.QueryDword(name))
        field = static_cast<std::int32_t>(*value);
}

// Flags live in the low byte; the other three are ignored.
void ReadFlag(const RegistryKey& key, const std::string& name, bool& field) {
    if (const std::optional<std::uint32_t> value = key.QueryDword(name))
        field = (*value & 0xFFu) != 0;
}

} // namespace

void AppSettings::Load() {
    StartDirectory = CurrentDirectory();

    KeyStore& store = KeyStore::Current();
    store.CreateKey(kKeyName);
    const std::unique_ptr<RegistryKey> key = store.OpenKey(kKeyName);
    if (!key)
        return;
    openKey_ = key.get();
    LoadFrom(*key);
    openKey_ = nullptr;
}

void AppSettings::LoadFrom(RegistryKey& key) {
    UpdateServer = ReadText(key, "UpdateServer");

    if (key.QueryDword("Init_Settings").value_or(0) == 0) {
        key.SetDword("Init_Settings", 1);
        key.SetText("Version", kPictavoVersion);
        Save(true);
        return;
    }

    Cod4Path = ReadText(key, "Cod4Path");
    Cod5Path = ReadText(key, "Cod5Path");
    BOPath = ReadText(key, "BOPath");
    MW2Path = ReadText(key, "MW2Path");
    ReadDword(key, "ActiveGame", ActiveGame);

    if (ReadText(key, "Version") != kPictavoVersion) {
        // Settings of another version: keep the folders and the game, store defaults for the rest.
        key.SetText("Version", kPictavoVersion);
        Save(true);
        return;
    }

    ReadDword(key, "CubeView", CubeView);
    ReadDword(key, "StrecImage", StrecImage);
    ReadDword(key, "EnableZoom", EnableZoom);
    ReadFlag(key, "MergeBUMP", MergeBUMP);
    ReadFlag(key, "new_3DCubeView", new_3DCubeView);
    ReadFlag(key, "Vsync", Vsync);
    ReadDword(key, "color_background", color_background);
    ReadDword(key, "color_text", color_text);

    if (MW2Path.empty()) {
        MW2Path = kPathNotSet;
        key.SetText("MW2Path", MW2Path);
    }
    MW3Path = ReadText(key, "MW3Path");
}

void AppSettings::Save(bool keyAlreadyOpen) {
    if (keyAlreadyOpen) {
        if (openKey_)
            WriteTo(*openKey_);
        return;
    }
    if (const std::unique_ptr<RegistryKey> key = KeyStore::Current().OpenKey(kKeyName))
        WriteTo(*key);
}

void AppSettings::WriteTo(RegistryKey& key) const {
    key.SetText("Cod4Path", Cod4Path);
    key.SetText("Cod5Path", Cod5Path);
    key.SetText("BOPath", BOPath);
    key.SetText("MW2Path", MW2Path);
    key.SetText("MW3Path", MW3Path);
    // -1 goes out as 0xFFFFFFFF.
    key.SetDword("ActiveGame", static_cast<std::uint32_t>(ActiveGame));
    key.SetDword("CubeView", static_cast<std::uint32_t>(CubeView));
    key.SetDword("StrecImage", static_cast<std::uint32_t>(StrecImage));
    key.SetDword("EnableZoom", static_cast<std::uint32_t>(EnableZoom));
    key.SetDword("MergeBUMP", MergeBUMP ? 1 : 0);
    key.SetDword("new_3DCubeView", new_3DCubeView ? 1 : 0);
    key.SetDword("Vsync", Vsync ? 1 : 0);
    key.SetDword("color_background", color_background);
    key.SetDword("color_text", color_text);
}

bool AppSettings::IsGameSet() const {
    return ActiveGame != static_cast<std::int32_t>(GameId::None);
}

std::string* AppSettings::GamePath(std::int32_t game) {
    switch (static_cast<GameId>(game)) {
    case GameId::Cod4:
        return &Cod4Path;
    case GameId::Cod5:
        return &Cod5Path;
    case GameId::CodBO:
        return &BOPath;
    case GameId::MW2:
        return &MW2Path;
    case GameId::MW3:
        return &MW3Path;
    case GameId::None:
        break;
    }
    return nullptr;
}

const std::string* AppSettings::GamePath(std::int32_t game) const {
    return const_cast<AppSettings*>(this)->GamePath(game);
}
