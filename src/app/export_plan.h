#pragma once

#include "archive/image_location.h"
#include "convert/output_plan.h"

#include <cstddef>
#include <string>
#include <vector>

struct ExportPlan {
    std::vector<PlannedFile> files;   // one per image, in their order
    std::vector<std::size_t> renamed; // images whose output name has their origin added
};

// Where each listed image is exported into `folder`: its name with `extension` (".png").
// An image whose output name an earlier one already has, whatever the case of its letters,
// gets its origin added, the archive's or the folder's name: "wall (iw_07).png", so that a
// file and an archive entry of the same name both arrive.
ExportPlan PlanExport(const std::vector<pictavo::ImageLocation>& images, const std::string& folder,
                      const char* extension);

// "wall.iwi", or "wall.iwi in iw_07.iwd" for an archive entry.
std::string DisplayName(const pictavo::ImageLocation& image);
