#include "platform/testing/memory_key_store.h"

namespace {

class MemoryKey final : public RegistryKey {
public:
    MemoryKey(MemoryKeyStore& store, std::string keyName)
        : store_(store), keyName_(std::move(keyName)) {
        ++store_.openKeys;
    }
    ~MemoryKey() override { --store_.openKeys; }

    std::optional<std::string> QueryText(const std::string& name) const override {
        return Query<std::string>(name);
    }
    std::optional<std::uint32_t> QueryDword(const std::string& name) const override {
        return Query<std::uint32_t>(name);
    }
    void SetText(const std::string& name, const std::string& text) override { Set(name, text); }
    void SetDword(const std::string& name, std::uint32_t value) override { Set(name, value); }

private:
    template <class T> std::optional<T> Query(const std::string& name) const {
        const MemoryKeyStore::Values& values = store_.keys.at(keyName_);
        const auto found = values.find(name);
        if (found == values.end() || !std::holds_alternative<T>(found->second))
            return std::nullopt;
        return std::get<T>(found->second);
    }

    void Set(const std::string& name, MemoryKeyStore::Value value) {
        store_.keys.at(keyName_)[name] = value;
        store_.writes.push_back({keyName_, name, std::move(value)});
    }

    MemoryKeyStore& store_;
    std::string keyName_;
};

} // namespace

bool MemoryKeyStore::CreateKey(const std::string& keyName) {
    if (refuseCreate)
        return false;
    keys.try_emplace(keyName);
    return true;
}

std::unique_ptr<RegistryKey> MemoryKeyStore::OpenKey(const std::string& keyName) {
    if (refuseOpen || !keys.contains(keyName))
        return nullptr;
    return std::make_unique<MemoryKey>(*this, keyName);
}
