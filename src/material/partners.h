#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <vector>

namespace pictavo {

// Where a colour map's partners stand in a list of names.
struct MaterialPartners {
    std::optional<std::size_t> normal;
    std::optional<std::size_t> specular;
};

// The material's own part of an image name: lower case, without folders, archive mark,
// extension, the leading `~` of a merged image and the colour suffix (`_col`, `_c`, `_clr`,
// `_crl`). "wall_col.iwi [iw_07.iwd]" and "wall.iwi" both give "wall".
std::string MaterialStem(const std::string& name);

// The partners of the colour map `colour` among `names` (list texts, archive marks allowed):
// the normal map `<stem>_nml`, `<stem>_n`, either with Call of Duty 2's `-gggr`; the specular
// map `<stem>_spc`, `<stem>_spec`, or a merged one, `~<stem>_spec-rgb&<stem>_cos-l~<hash>`,
// whose name the games cut short, so its leading part is matched. Of names alike, the later
// wins, as the games' later archives do.
MaterialPartners FindPartners(const std::string& colour, const std::vector<std::string>& names);

// FindPartners over one list many times: each name is made bare once, when the list is
// given, so that a selection in a game's 20,000 names looks only at strings.
class PartnerIndex {
public:
    PartnerIndex() = default;
    explicit PartnerIndex(const std::vector<std::string>& names);
    MaterialPartners Find(const std::string& colour) const;

private:
    std::vector<std::string> bare_;
};

} // namespace pictavo
