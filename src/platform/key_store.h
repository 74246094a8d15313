#pragma once

#include "platform/replaceable.h"

#include <cstdint>
#include <memory>
#include <optional>
#include <string>

// An open settings key holding named text and 32-bit values. Destroying it closes the key
// and commits what was set.
class RegistryKey {
public:
    virtual ~RegistryKey() = default;
    // None when the value is missing.
    virtual std::optional<std::string> QueryText(const std::string& name) const = 0;
    // None when the value is missing or holds no 32-bit number.
    virtual std::optional<std::uint32_t> QueryDword(const std::string& name) const = 0;
    virtual void SetText(const std::string& name, const std::string& text) = 0;
    virtual void SetDword(const std::string& name, std::uint32_t value) = 0;
};

// Per-user settings keys named like "Software\Maker\Program".
class KeyStore : public pictavo::Replaceable<KeyStore> {
public:
    virtual ~KeyStore() = default;
    // Makes the key when it does not exist yet. False when it cannot be made or used.
    virtual bool CreateKey(const std::string& keyName) = 0;
    // Opens the key for reading and writing; nullptr when that is not possible (a missing key,
    // where the store tells missing from empty, or one that is unreadable, corrupt or read-only).
    virtual std::unique_ptr<RegistryKey> OpenKey(const std::string& keyName) = 0;

    static KeyStore& Default();
};
