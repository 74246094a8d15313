#include "archive/zip_failure.h"

#include <zip.h>

namespace pictavo {

Failure OpenFailure(int code, const std::string& path) {
    zip_error_t error;
    zip_error_init_with_code(&error, code);
    std::string detail = zip_error_strerror(&error);
    zip_error_fini(&error);
    switch (code) {
    case ZIP_ER_NOZIP:
        return TextureError::kNotAnArchive;
    case ZIP_ER_INCONS:
        return Failure(TextureError::kArchiveDamaged, "Damaged zip archive (" + detail + ")");
    case ZIP_ER_OPEN:
    case ZIP_ER_NOENT:
    case ZIP_ER_READ:
    case ZIP_ER_SEEK:
        return Failure(TextureError::kOpen, "Cannot open " +
                                                (path.empty() ? std::string("the archive") : path) +
                                                ": " + detail);
    default:
        return Failure(TextureError::kArchiveDamaged, "Cannot read the zip archive: " + detail);
    }
}

} // namespace pictavo
