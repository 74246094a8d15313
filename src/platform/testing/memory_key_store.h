#pragma once

#include "platform/key_store.h"

#include <map>
#include <variant>
#include <vector>

// Keys held in memory, typed as the registry types them, with a log of every write.
class MemoryKeyStore final : public KeyStore {
public:
    using Value = std::variant<std::string, std::uint32_t>;
    using Values = std::map<std::string, Value>;

    struct Write {
        std::string keyName;
        std::string valueName;
        Value value;
    };

    bool CreateKey(const std::string& keyName) override;
    std::unique_ptr<RegistryKey> OpenKey(const std::string& keyName) override;

    std::map<std::string, Values> keys;
    std::vector<Write> writes;
    bool refuseCreate = false;
    bool refuseOpen = false;
    int openKeys = 0; // keys opened and not yet closed
};
