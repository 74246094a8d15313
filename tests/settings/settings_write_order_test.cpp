#include "platform/testing/memory_key_store.h"
#include "settings/app_settings.h"

#include <gtest/gtest.h>

namespace {

using pictavo::ScopedReplacement;

constexpr char kKey[] = "Software\\Varnel\\Pictavo";

struct Expected {
    std::string name;
    bool isText;
};

const std::vector<Expected> kFourteen = {
    {"Cod4Path", true},          {"Cod5Path", true},        {"BOPath", true},
    {"MW2Path", true},           {"MW3Path", true},         {"ActiveGame", false},
    {"CubeView", false},         {"StrecImage", false},     {"EnableZoom", false},
    {"MergeBUMP", false},        {"new_3DCubeView", false}, {"Vsync", false},
    {"color_background", false}, {"color_text", false},
};

std::vector<Expected> Then(std::vector<Expected> first, const std::vector<Expected>& rest) {
    first.insert(first.end(), rest.begin(), rest.end());
    return first;
}

void ExpectWrites(const MemoryKeyStore& store, const std::vector<Expected>& expected) {
    ASSERT_EQ(store.writes.size(), expected.size());
    for (std::size_t i = 0; i < expected.size(); ++i) {
        EXPECT_EQ(store.writes[i].keyName, kKey);
        EXPECT_EQ(store.writes[i].valueName, expected[i].name) << i;
        EXPECT_EQ(std::holds_alternative<std::string>(store.writes[i].value), expected[i].isText)
            << expected[i].name;
    }
}

class WriteOrderTest : public testing::Test {
protected:
    MemoryKeyStore store_;
    ScopedReplacement<KeyStore> useStore_{store_};
};

TEST_F(WriteOrderTest, SaveWritesTextsThenNumbersInTheirOrder) {
    store_.CreateKey(kKey);
    AppSettings s;
    s.Save(false);
    ExpectWrites(store_, kFourteen);
    EXPECT_EQ(store_.openKeys, 0);
}

TEST_F(WriteOrderTest, FirstRunMarksTheStoreThenSavesEverything) {
    AppSettings s;
    s.Load();
    ASSERT_TRUE(store_.keys.contains(kKey));
    ExpectWrites(store_, Then({{"Init_Settings", false}, {"Version", true}}, kFourteen));
    EXPECT_EQ(store_.keys[kKey]["Init_Settings"], MemoryKeyStore::Value(std::uint32_t{1}));
    EXPECT_EQ(store_.keys[kKey]["Version"], MemoryKeyStore::Value(std::string("1.3.3")));
    EXPECT_EQ(store_.openKeys, 0);
}

TEST_F(WriteOrderTest, OtherVersionRewritesVersionThenEverything) {
    store_.keys[kKey] = {{"Init_Settings", std::uint32_t{1}}, {"Version", std::string("1.0")}};
    AppSettings s;
    s.Load();
    ExpectWrites(store_, Then({{"Version", true}}, kFourteen));
}

TEST_F(WriteOrderTest, ThisVersionWritesOnlyAnEmptyMW2Path) {
    store_.keys[kKey] = {{"Init_Settings", std::uint32_t{1}},
                         {"Version", std::string("1.3.3")},
                         {"MW2Path", std::string()}};
    AppSettings s;
    s.Load();
    ExpectWrites(store_, {{"MW2Path", true}});
}

TEST_F(WriteOrderTest, SaveWritesNothingWhenTheKeyCannotBeOpened) {
    store_.CreateKey(kKey);
    store_.refuseOpen = true;
    AppSettings s;
    s.Cod4Path = "/games/cod4";
    s.Save(false);
    EXPECT_TRUE(store_.writes.empty());
    EXPECT_EQ(s.Cod4Path, "/games/cod4");
}

TEST_F(WriteOrderTest, LoadWritesNothingWhenTheKeyCannotBeOpened) {
    store_.refuseOpen = true;
    AppSettings s;
    s.Load();
    EXPECT_TRUE(store_.writes.empty());
    EXPECT_FALSE(s.IsGameSet());
}

TEST_F(WriteOrderTest, SaveThroughAnOpenKeyOutsideLoadWritesNothing) {
    store_.CreateKey(kKey);
    AppSettings s;
    s.Save(true);
    EXPECT_TRUE(store_.writes.empty());
}

TEST_F(WriteOrderTest, KeyThatCannotBeCreatedButExistsIsStillRead) {
    store_.keys[kKey] = {{"Init_Settings", std::uint32_t{1}},
                         {"Version", std::string("1.3.3")},
                         {"ActiveGame", std::uint32_t{2}}};
    store_.refuseCreate = true;
    AppSettings s;
    s.Load();
    EXPECT_EQ(s.ActiveGame, 2);
}

} // namespace
