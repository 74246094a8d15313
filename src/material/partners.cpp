#include "material/partners.h"

#include "archive/marked_name.h"
#include "texture/ascii_case.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <string_view>

namespace pictavo {
namespace {

// The games keep a merged image's name to this many characters before its `~<hash>`.
constexpr std::size_t kMergedNameLimit = 29;
constexpr std::size_t kHashDigits = 8;

constexpr std::array<std::string_view, 4> kColourSuffixes{"_col", "_clr", "_crl", "_c"};
constexpr std::array<std::string_view, 5> kNormalSuffixes{"_nml", "_n", "-gggr", "_nml-gggr",
                                                          "_n-gggr"};
constexpr std::array<std::string_view, 2> kSpecularSuffixes{"_spec", "_spc"};

// The name lower case, without mark, folders and extension; leading `~`s stay.
std::string BareName(const std::string& name) {
    std::string bare = AsciiLower(FileNameOf(UnmarkedName(name)));
    if (const std::size_t dot = bare.rfind('.'); dot != std::string::npos && dot > 0) {
        bare.erase(dot);
    }
    return bare;
}

std::string_view WithoutTildes(std::string_view text) {
    text.remove_prefix(std::min(text.find_first_not_of('~'), text.size()));
    return text;
}

bool IsHash(std::string_view text) {
    return text.size() == kHashDigits && std::all_of(text.begin(), text.end(), [](char c) {
               return std::isxdigit(static_cast<unsigned char>(c)) != 0;
           });
}

// A merged image's name as the games wrote it: its sources, and whether they were cut short.
struct MergedName {
    std::string_view sources;
    bool cut = false;
};

MergedName SplitMerged(std::string_view bare) {
    MergedName merged{bare, false};
    const std::size_t tilde = bare.rfind('~');
    if (tilde != std::string_view::npos && tilde > 0 && IsHash(bare.substr(tilde + 1))) {
        merged.sources = bare.substr(0, tilde);
        merged.cut = merged.sources.size() >= kMergedNameLimit;
    }
    merged.sources = WithoutTildes(merged.sources);
    return merged;
}

// Whether `text` is `stem + suffix`, followed by nothing or, in a merged name, by the next
// part of the recipe (`-rgb&...`).
bool NamesSuffix(std::string_view text, std::string_view stem, std::string_view suffix,
                 bool merged) {
    if (!text.starts_with(stem) || !text.substr(stem.size()).starts_with(suffix)) {
        return false;
    }
    const std::string_view rest = text.substr(stem.size() + suffix.size());
    return rest.empty() || (merged && (rest.front() == '-' || rest.front() == '&'));
}

bool IsNormalOf(std::string_view bare, std::string_view stem) {
    const std::string_view sources = SplitMerged(bare).sources;
    return std::any_of(kNormalSuffixes.begin(), kNormalSuffixes.end(),
                       [&](std::string_view suffix) {
                           return NamesSuffix(sources, stem, suffix, /*merged=*/false);
                       });
}

bool IsSpecularOf(std::string_view bare, std::string_view stem) {
    const MergedName merged = SplitMerged(bare);
    const bool isMerged = bare.starts_with('~');
    for (const std::string_view suffix : kSpecularSuffixes) {
        if (NamesSuffix(merged.sources, stem, suffix, isMerged)) {
            return true;
        }
        // Cut short: all that is left of the name leads the one it would have had.
        const std::string whole = std::string(stem) + std::string(suffix);
        if (merged.cut && std::string_view(whole).starts_with(merged.sources)) {
            return true;
        }
    }
    return false;
}

} // namespace

std::string MaterialStem(const std::string& name) {
    std::string stem(WithoutTildes(BareName(name)));
    for (const std::string_view suffix : kColourSuffixes) {
        if (stem.size() > suffix.size() && stem.ends_with(suffix)) {
            stem.erase(stem.size() - suffix.size());
            break;
        }
    }
    return stem;
}

MaterialPartners FindPartners(const std::string& colour, const std::vector<std::string>& names) {
    return PartnerIndex(names).Find(colour);
}

PartnerIndex::PartnerIndex(const std::vector<std::string>& names) {
    bare_.reserve(names.size());
    for (const std::string& name : names) {
        bare_.push_back(BareName(name));
    }
}

MaterialPartners PartnerIndex::Find(const std::string& colour) const {
    MaterialPartners partners;
    const std::string stem = MaterialStem(colour);
    if (stem.empty()) {
        return partners;
    }
    for (std::size_t i = 0; i < bare_.size(); ++i) {
        const std::string_view bare = WithoutTildes(bare_[i]);
        // Every partner's name, even one cut short, begins as the stem does.
        if (bare.empty() || bare.front() != stem.front()) {
            continue;
        }
        if (IsNormalOf(bare_[i], stem)) {
            partners.normal = i;
        } else if (IsSpecularOf(bare_[i], stem)) {
            partners.specular = i;
        }
    }
    return partners;
}

} // namespace pictavo
