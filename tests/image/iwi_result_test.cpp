#include "image/iwi.h"
#include "image/iwi_result.h"

#include <gtest/gtest.h>
#include <set>
#include <string>

namespace {

using pictavo::TextureError;

// Every reason the library gives, up to the last: a code of its own unless it is one of the
// reasons the image object reports as a failure to open (so the code tells the reason), a
// sentence of its own, and the same sentence from GetErrorString wherever the code's text is
// the library's. The codes of the readers' reasons are held by the readers' tables.
TEST(ResultFor, GivesEveryReasonItsCodeAndSentence) {
    std::set<std::string> sentences;
    std::set<int> codes;
    const auto last = static_cast<int>(pictavo::kLastTextureError);
    for (int value = 0; value <= last; ++value) {
        const auto error = static_cast<TextureError>(value);
        const int code = ResultFor(error);
        EXPECT_EQ(code == IWI_OK, error == TextureError::kNone) << value;
        if (code != IWI_ERR_OPEN) {
            EXPECT_TRUE(codes.insert(code).second) << value << " shares the code " << code;
        }
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
