# cmake -DINPUT=<picture.dxt5> -DOUTPUT=<file.cpp> -P embed_startup_picture.cmake
# Turns the start-up picture's blocks into the array that startup_picture.h declares.
file(SIZE "${INPUT}" size)
if(NOT size EQUAL 32768)
    message(FATAL_ERROR "${INPUT} holds ${size} bytes; the start-up picture needs 32768")
endif()
file(READ "${INPUT}" hex HEX)
string(REGEX REPLACE "([0-9a-f][0-9a-f])" "0x\\1," bytes "${hex}")
string(REGEX REPLACE "(0x..,0x..,0x..,0x..,0x..,0x..,0x..,0x..,0x..,0x..,0x..,0x..,0x..,0x..,0x..,0x..,)"
       "\\1\n    " bytes "${bytes}")
file(WRITE "${OUTPUT}.tmp"
"// Generated from ${INPUT} at build time; do not edit.
#include \"view/startup_picture.h\"

const std::array<std::uint8_t, kStartupPictureSize> kStartupPicture = {
    ${bytes}
};
")
file(RENAME "${OUTPUT}.tmp" "${OUTPUT}")
