#pragma once

#include "texture/texture_error.h"

#include <optional>

// Result codes of every image operation; IWI_OK means success.
enum IWIResult : int {
    IWI_ERR_UNKNOWN = 0,
    IWI_ERR_NOT_FOUND = 3,
    IWI_ERR_OPEN = 4,
    IWI_ERR_PERMISSION = 5,
    IWI_ERR_NOT_LOADED = 6,
    IWI_ERR_ALREADY_LOADED = 7,
    IWI_ERR_NO_FILE = 8,
    IWI_ERR_DDS_UNKNOWN = 9,
    IWI_ERR_DDS_HEADER = 10,
    IWI_ERR_FORMAT = 11,
    IWI_ERR_COMP_SIZE = 12,
    IWI_ERR_LEVELS = 13,
    IWI_ERR_NOT_COMPRESSED = 14,
    IWI_ERR_MAGIC = 15,
    IWI_ERR_VERSION = 16,
    IWI_ERR_POSITION = 18,
    IWI_ERR_IMAGE_FORMAT = 19,
    IWI_ERR_GL_FORMAT = 20,
    IWI_ERR_NO_SEPARATOR = 21,
    IWI_OK = 22,
    IWI_ERR_TRUNCATED = 23,
    IWI_ERR_BAD_SIZE = 24,
    IWI_ERR_VARIABLE_FORMAT = 25,
    IWI_ERR_LAYOUT = 26,
    IWI_ERR_EXISTS = 27, // the output's file is there and was to be kept
    IWI_ERR_DDS_VOLUME = 28,
    IWI_ERR_NO_IWI_FORMAT = 29, // BC4, BC5 or BC7, which no IWI version holds
};

// What GetFileType says about a file name.
enum IWIFileType : int {
    IWI_TYPE_NONE = 0,
    IWI_TYPE_IWI = 1,
    IWI_TYPE_DDS = 2,
};

// The result code an operation gives for the texture library's reason; IWI_OK for kNone.
// Reasons the codes have no word for (a picture's, an archive's) give IWI_ERR_OPEN.
int ResultFor(pictavo::TextureError error);

// The library's reason whose sentence is the text of `code`: for the codes that were added
// for those reasons, and for IWI_ERR_IMAGE_FORMAT, whose text the library shares. None for
// the other codes, whose texts are the program's own.
std::optional<pictavo::TextureError> ReasonExplaining(int code);
