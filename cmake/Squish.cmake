# libsquish, the reference DXT decoder that tests and benchmarks compare against. Its
# pkg-config file is broken, so it is found by its header and library.
if(NOT TARGET Squish::squish)
    find_path(SQUISH_INCLUDE_DIR squish.h)
    find_library(SQUISH_LIBRARY squish)
    if(SQUISH_INCLUDE_DIR AND SQUISH_LIBRARY)
        add_library(Squish::squish UNKNOWN IMPORTED)
        set_target_properties(Squish::squish PROPERTIES
            IMPORTED_LOCATION "${SQUISH_LIBRARY}"
            INTERFACE_INCLUDE_DIRECTORIES "${SQUISH_INCLUDE_DIR}")
    endif()
endif()
