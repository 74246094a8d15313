#pragma once

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
