# `cpack -G DEB` in a build folder makes a Debian package of what `cmake --install` puts in
# place; dpkg-shlibdeps declares the libraries the programs and plugins link.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME pictavo)
set(CPACK_PACKAGE_VENDOR Varnel)
set(CPACK_PACKAGE_CONTACT "Varnel <pictavo@varnel.invalid>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Viewer and converter for Call of Duty IWI textures")
string(CONCAT CPACK_PACKAGE_DESCRIPTION
    "Views IWI and DDS textures, converts between IWI, DDS, PNG and TGA, and makes IWI files "
    "known to the desktop: a MIME type, thumbnails and a Qt image plugin.")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION graphics)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# The desktop picks up the MIME type and thumbnailer once shared-mime-info has run.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS shared-mime-info)
include(CPack)
