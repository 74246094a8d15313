# `cpack` in a Windows build folder makes pictavo-<version>-win64.zip and the installer
# pictavo-<version>-win64.exe (NSIS, from cmake/nsis/NSIS.template.in) of what
# `cmake --install` puts in place: the programs, the thumbnail DLL and the licences.
set(CPACK_GENERATOR ZIP NSIS)
set(CPACK_PACKAGE_NAME pictavo)
set(CPACK_PACKAGE_VENDOR Varnel)
set(CPACK_PACKAGE_FILE_NAME pictavo-${PROJECT_VERSION}-win64)
set(CPACK_PACKAGE_INSTALL_DIRECTORY Pictavo)
set(CPACK_NSIS_MUI_ICON ${PROJECT_SOURCE_DIR}/res/pictavo.ico)
set(CPACK_NSIS_COMPRESSOR "/SOLID lzma")
# The build keeps its symbols for debugging; what users get is stripped.
set(CPACK_STRIP_FILES ON)
# The zip unpacks into a folder of its own.
set(CPACK_INCLUDE_TOPLEVEL_DIRECTORY ON)
list(PREPEND CMAKE_MODULE_PATH ${PROJECT_SOURCE_DIR}/cmake/nsis)

# The licences of everything linked into the programs: Pictavo's own, those of the libraries
# built for Windows (Debian's record of each, beside the library) and of the compiler's
# runtime and the mingw-w64 zlib.
install(FILES ${PROJECT_SOURCE_DIR}/res/copyright DESTINATION licenses RENAME pictavo.txt)
foreach(prefix IN LISTS CMAKE_PREFIX_PATH)
    file(GLOB licences ${prefix}/share/licenses/*.txt)
    install(FILES ${licences} DESTINATION licenses)
endforeach()
foreach(package gcc-mingw-w64-base mingw-w64-common libz-mingw-w64)
    if(EXISTS /usr/share/doc/${package}/copyright)
        install(FILES /usr/share/doc/${package}/copyright DESTINATION licenses
                RENAME ${package}.txt)
    endif()
endforeach()
include(CPack)
