#include "texture/result.h"

#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace {

using pictavo::Failure;
using pictavo::Result;
using pictavo::Status;
using pictavo::TextureError;

// A failure carries its code's own sentence unless it is given one that says more, and
// keeps its code when it is told what it is about.
TEST(Result, HoldsAValueOrAFailureWithItsSentence) {
    const Result<std::vector<int>> made = std::vector<int>{1, 2};
    ASSERT_TRUE(made.has_value());
    EXPECT_EQ(made.value(), (std::vector<int>{1, 2}));

    const Result<std::vector<int>> refused = TextureError::kTruncated;
    ASSERT_FALSE(refused);
    EXPECT_EQ(refused.error().code, TextureError::kTruncated);
    EXPECT_EQ(refused.error().text, pictavo::ErrorText(TextureError::kTruncated));

    const Status done;
    EXPECT_TRUE(done);
    const Status named = pictavo::Prefixed("a.iwd", Failure(TextureError::kNoEntry, "x: gone"));
    ASSERT_FALSE(named.has_value());
    EXPECT_EQ(named.error().code, TextureError::kNoEntry);
    EXPECT_EQ(named.error().text, "a.iwd: x: gone");
}

} // namespace
