#include "image/iwi.h"
#include "image/iwi_result.h"

#include <gtest/gtest.h>
#include <set>
#include <string>

namespace {

using pictavo::TextureError;

int ExpectedResult(TextureError error) {
    switch (error) {
    case TextureError::kNone:
        return IWI_OK;
    case TextureError::kPermission:
        return IWI_ERR_PERMISSION;
    case TextureError::kNotATexture:
        return IWI_ERR_MAGIC;
    case TextureError::kIwiVersion:
        return IWI_ERR_VERSION;
    case TextureError::kUnknownFormat:
        return IWI_ERR_IMAGE_FORMAT;
    case TextureError::kVariableFormat:
        return IWI_ERR_VARIABLE_FORMAT;
    case TextureError::kTruncated:
        return IWI_ERR_TRUNCATED;
    case TextureError::kBadSize:
        return IWI_ERR_BAD_SIZE;
    case TextureError::kNoLayout:
        return IWI_ERR_LAYOUT;
    case TextureError::kDdsHeader:
        return IWI_ERR_DDS_HEADER;
    case TextureError::kDdsFormat:
        return IWI_ERR_FORMAT;
    case TextureError::kDdsVolume:
        return IWI_ERR_DDS_VOLUME;
    case TextureError::kNotWritable:
        return IWI_ERR_LEVELS;
    case TextureError::kNoIwiFormat:
        return IWI_ERR_NO_IWI_FORMAT;
    case TextureError::kExists:
        return IWI_ERR_EXISTS;
    default:
        return IWI_ERR_OPEN;
    }
}

// Every reason the library gives, up to the last: its code, a sentence of its own, and the
// same sentence from GetErrorString wherever the code's text is the library's.
TEST(ResultFor, GivesEveryReasonItsCodeAndSentence) {
    std::set<std::string> sentences;
    const auto last = static_cast<int>(pictavo::kLastTextureError);
    for (int value = 0; value <= last; ++value) {
        const auto error = static_cast<TextureError>(value);
        EXPECT_EQ(ResultFor(error), ExpectedResult(error)) << value;
        const std::string sentence = pictavo::ErrorText(error);
        EXPECT_FALSE(sentence.empty()) << value;
        EXPECT_NE(sentence, "Unknown error") << value;
        EXPECT_TRUE(sentences.insert(sentence).second) << value << " repeats " << sentence;
        if (const std::optional<TextureError> reason = ReasonExplaining(ResultFor(error))) {
            EXPECT_EQ(IWI::GetErrorString(ResultFor(error)), pictavo::ErrorText(*reason)) << value;
        }
    }
    EXPECT_EQ(pictavo::ErrorText(static_cast<TextureError>(last + 1)),
              std::string("Unknown error"));
}

// The codes whose text is the library's sentence, and only those.
TEST(ReasonExplaining, NamesTheReasonOfTheCodesAddedForThem) {
    const std::set<int> explained = {IWI_ERR_IMAGE_FORMAT,    IWI_ERR_TRUNCATED, IWI_ERR_BAD_SIZE,
                                     IWI_ERR_VARIABLE_FORMAT, IWI_ERR_LAYOUT,    IWI_ERR_DDS_VOLUME,
                                     IWI_ERR_NO_IWI_FORMAT};
    for (int code = -1; code <= IWI_ERR_NO_IWI_FORMAT + 1; ++code) {
        const std::optional<TextureError> reason = ReasonExplaining(code);
        EXPECT_EQ(reason.has_value(), explained.count(code) == 1) << code;
        if (reason) {
            EXPECT_EQ(ResultFor(*reason), code);
        }
    }
}

} // namespace
