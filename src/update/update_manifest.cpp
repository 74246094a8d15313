#include "update/update_manifest.h"

#include "settings/app_settings.h"
#include "texture/utf8_path.h"
#include "update/plain_file_name.h"
#include "update/start_directory_file.h"

#include <cstdint>
#include <cstring>
#include <fstream>
#include <iterator>
#include <tinyxml2.h>

namespace pictavo {

namespace {

std::optional<std::string> ReadSmallFile(const std::string& path) {
    std::ifstream file(PathOf(path), std::ios::binary | std::ios::ate);
    if (!file)
        return std::nullopt;
    const std::streamoff size = file.tellg();
    if (size < 0 || static_cast<std::uint64_t>(size) > kMaxManifestSize)
        return std::nullopt;
    file.seekg(0);
    std::string content(static_cast<std::size_t>(size), '\0');
    if (!file.read(content.data(), size))
        return std::nullopt;
    return content;
}

ReleaseNotes ReadNotes(const tinyxml2::XMLElement& entry) {
    ReleaseNotesBuilder builder;
    for (const tinyxml2::XMLElement* line = entry.FirstChildElement(); line != nullptr;
         line = line->NextSiblingElement())
        builder.AddLine(line->GetText(), line->Attribute("color"));
    return builder.Finish();
}

bool Is(const char* kind, const char* expected) {
    return std::strcmp(kind, expected) == 0;
}

} // namespace

std::optional<UpdateManifest> ReadUpdateManifest(const std::string& path) {
    const std::optional<std::string> content = ReadSmallFile(path);
    if (!content)
        return std::nullopt;
    tinyxml2::XMLDocument document;
    if (document.Parse(content->data(), content->size()) != tinyxml2::XML_SUCCESS)
        return std::nullopt;

    UpdateManifest manifest;
    const tinyxml2::XMLElement* root = document.FirstChildElement();
    for (const tinyxml2::XMLElement* entry = root ? root->FirstChildElement() : nullptr;
         entry != nullptr; entry = entry->NextSiblingElement()) {
        const char* kind = entry->Attribute("data");
        const char* text = entry->GetText();
        if (kind == nullptr)
            continue;
        if (Is(kind, "notes")) {
            manifest.notes = ReadNotes(*entry);
        } else if (text == nullptr) {
            continue; // the other kinds say nothing without text
        } else if (Is(kind, "version")) {
            manifest.version = text;
            if (*manifest.version == kPictavoVersion) {
                manifest.upToDate = true;
                break;
            }
        } else if (Is(kind, "DownloadLink")) {
            manifest.downloadLink = text;
        } else if (Is(kind, "fileName") && IsPlainFileName(text)) {
            manifest.fileName = text;
        }
    }
    return manifest;
}

} // namespace pictavo
