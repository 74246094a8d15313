if(MSVC)
    add_compile_options(/W4)
else()
    add_compile_options(-Wall -Wextra)
    # GCC 12 warns of an overlapping copy inside std::string where a literal is put before a
    # temporary string ("p" + std::to_string(i)), depending on what it inlines: its bug
    # 105329, a false alarm.
    if(CMAKE_CXX_COMPILER_ID STREQUAL "GNU" AND CMAKE_CXX_COMPILER_VERSION VERSION_LESS 13)
        add_compile_options(-Wno-restrict)
    endif()
endif()
