#pragma once

namespace pictavo {

// Why a texture, picture or archive could not be read or written.
enum class TextureError {
    kNone,
    kOpen,           // the file cannot be opened, read or written
    kPermission,     // the system refused access
    kNotATexture,    // neither "IWi" nor "DDS " at the start
    kIwiVersion,     // an IWI version we know nothing of
    kUnknownFormat,  // a pixel format code no reader takes
    kVariableFormat, // format 7: levels of irregular, compressed sizes
    kTruncated,      // shorter than its header says
    kBadSize,        // zero or oversized sides, or an impossible level count
    kNoLayout,       // the file's size fits no level layout the games use
    kDdsHeader,      // a DDS header whose size or flags are wrong
    kDdsFormat,      // a DDS pixel format we cannot read
    kDdsVolume,      // a DDS volume (3D) texture
    kNotWritable,    // the texture cannot be stored in the chosen container
    kNoIwiFormat,    // a DDS block format (BC4, BC5, BC7) that no IWI version holds
    kExists,         // a file of the output's name is there, and was to be kept
    kNoLevel,        // the texture has no level or face of that number
    kTooLarge,       // more bytes or pixels than are ever read
    kNotAPicture,    // none of the picture formats read
    kPictureDamaged, // a picture whose data its reader refuses
    kPictureKind,    // a picture of a variant that is not read
    kNotAnArchive,   // not a zip archive
    kArchiveDamaged, // a zip archive or entry whose data is damaged
    kNoEntry,        // the archive holds no entry of that name
    kEntryRefused,   // an entry that is not read: encrypted, too large, an unknown method
};

// The last code: tables over every code run up to it.
inline constexpr TextureError kLastTextureError = TextureError::kEntryRefused;

// A sentence for the user.
const char* ErrorText(TextureError error);

} // namespace pictavo
