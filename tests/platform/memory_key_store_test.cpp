#include "platform/testing/memory_key_store.h"

#include <gtest/gtest.h>

namespace {

TEST(MemoryKeyStoreTest, KeysMustBeCreatedBeforeTheyOpen) {
    MemoryKeyStore store;
    EXPECT_EQ(store.OpenKey("Software\\Varnel\\Pictavo"), nullptr);
    EXPECT_TRUE(store.CreateKey("Software\\Varnel\\Pictavo"));
    EXPECT_NE(store.OpenKey("Software\\Varnel\\Pictavo"), nullptr);
    store.refuseOpen = true;
    EXPECT_EQ(store.OpenKey("Software\\Varnel\\Pictavo"), nullptr);
}

TEST(MemoryKeyStoreTest, ValuesKeepTheirTypeAndWritesAreLogged) {
    MemoryKeyStore store;
    store.CreateKey("K");
    {
        const auto key = store.OpenKey("K");
        EXPECT_EQ(store.openKeys, 1);
        key->SetText("text", "1");
        key->SetDword("number", 7);
        EXPECT_EQ(key->QueryText("text"), "1");
        EXPECT_EQ(key->QueryDword("text"), std::nullopt);
        EXPECT_EQ(key->QueryText("number"), std::nullopt);
        EXPECT_EQ(key->QueryDword("number"), 7u);
    }
    EXPECT_EQ(store.openKeys, 0);
    ASSERT_EQ(store.writes.size(), 2u);
    EXPECT_EQ(store.writes[0].valueName, "text");
    EXPECT_EQ(store.writes[1].value, MemoryKeyStore::Value(std::uint32_t{7}));
}

} // namespace
