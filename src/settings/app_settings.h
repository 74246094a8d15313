#pragma once

// kPictavoVersion: the settings version this program writes; the update check compares
// against it too.
#include "version/pictavo_version.h"

#include <cstddef>
#include <cstdint>
#include <string>

class RegistryKey;

// A game folder the user has not chosen yet.
inline constexpr char kPathNotSet[] = "Set Path";
// Texts, game folders among them, are kept in buffers of this size, terminating NUL
// included; a longer stored text reads back as empty.
inline constexpr std::size_t kTextBufferSize = 260;

// The active game; stored as a signed 32-bit value in AppSettings::ActiveGame.
enum class GameId : std::int32_t { None = -1, Cod4 = 0, Cod5 = 1, CodBO = 2, MW2 = 3, MW3 = 4 };

// Every user option and the run-time display flags, read and written directly by the program.
// Colours are COLORREFs: 0x00BBGGRR.
class AppSettings {
public:
    std::string StartDirectory;
    std::string Cod4Path = kPathNotSet;
    std::string Cod5Path = kPathNotSet;
    std::string BOPath = kPathNotSet;
    std::string MW2Path = kPathNotSet;
    std::string MW3Path = kPathNotSet;
    std::int32_t ActiveGame = static_cast<std::int32_t>(GameId::None);
    std::int32_t CubeView = 0;
    std::int32_t StrecImage = 1;
    std::int32_t EnableZoom = 1;
    std::uint32_t color_background = 0x00A4A0A0;
    std::uint32_t color_text = 0x00FF0000;
    bool dialogMinimized = false;
    bool MergeBUMP = false;
    bool normalMapLoaded = false;
    bool embossOn = false;
    bool new_3DCubeView = false;
    bool Vsync = false;
    bool defaultImageShown = true;
    // Replaces the update dialog's built-in server address when not empty; read, never written.
    std::string UpdateServer;

    // Reads the key "Software\Varnel\Pictavo", initialising it on a first run or a new version.
    void Load();
    // keyAlreadyOpen: write through the key Load holds open (only Load does that).
    void Save(bool keyAlreadyOpen);
    bool IsGameSet() const;

    // The folder field of a game (Cod4Path ... MW3Path), or nullptr for any other value.
    std::string* GamePath(std::int32_t game);
    const std::string* GamePath(std::int32_t game) const;

private:
    void LoadFrom(RegistryKey& key);
    void WriteTo(RegistryKey& key) const;

    // Only set while Load runs.
    RegistryKey* openKey_ = nullptr;
};

extern AppSettings theSettings;
