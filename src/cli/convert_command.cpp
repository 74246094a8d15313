#include "convert_command.h"

#include "file_path.h"
#include "iwi.h"

#include <ostream>

namespace {

const char kUsage[] =
    "Usage: pictavo-convert [--info] FILE...\n"
    "Converts each IWI file to a DDS file beside it, and each DDS file to an IWI file.\n"
    "  --info     print container, format, size, level count and level-0 size instead\n"
    "  --help     show this text\n"
    "  --version  show the version\n"
    "Exit status: 0 when every file succeeded, 1 when any failed, 2 for bad usage.\n";

// The image object wants a folder in the path; a bare name means the current folder.
std::string WithFolder(const std::string& path) {
    if (pictavo::LastSeparator(path) != std::string::npos) {
        return path;
    }
    return std::string(".") + pictavo::kPathSeparator + path;
}

std::string Failure(const std::string& step, int code) {
    return step + IWI::GetErrorString(code) + " (code " + std::to_string(code) + ")";
}

// Loads one file; on failure returns the text to print, on success an empty string.
std::string Load(IWI& image, const std::string& path) {
    const int set = image.SetFile(WithFolder(path));
    if (set != IWI_OK) {
        return Failure("SetFile Error: ", set);
    }
    if (image.GetFileType() == IWI_TYPE_NONE) {
        return "not an .iwi or .dds file (the extension is case-sensitive)";
    }
    const int read = image.LoadFile();
    if (read != IWI_OK) {
        return Failure("IWI::LoadFile: ", read);
    }
    return std::string();
}

std::string Describe(const IWI& image) {
    const std::string container =
        image.isDDS ? std::string("DDS") : "IWI v" + std::to_string(image.IWIHeader.version);
    return container + ", " + image.GetFormatName() + ", " + std::to_string(image.width) + " x " +
           std::to_string(image.height) + ", " + std::to_string(image.levelCount) +
           (image.levelCount == 1 ? " level" : " levels") + ", level 0 " + image.GetSizeText();
}

bool ProcessFile(const std::string& path, bool infoOnly, std::ostream& out) {
    IWI image;
    const std::string loadFailure = Load(image, path);
    if (!loadFailure.empty()) {
        out << path << ": " << loadFailure << '\n';
        return false;
    }
    if (infoOnly) {
        out << path << ": " << Describe(image) << '\n';
        return true;
    }
    const std::string output = image.GetOutputName();
    const int written = image.WriteConvertedFile();
    if (written != IWI_OK) {
        out << path << ": " << Failure("IWI::WriteConvertedFile: ", written) << '\n';
        return false;
    }
    out << path << ": wrote " << output << '\n';
    return true;
}

} // namespace

int RunConvertCommand(const std::vector<std::string>& arguments, std::ostream& out,
                      std::ostream& err) {
    bool infoOnly = false;
    bool optionsEnded = false;
    std::vector<std::string> files;
    for (const std::string& argument : arguments) {
        if (!optionsEnded && argument == "--") {
            optionsEnded = true;
        } else if (!optionsEnded && argument == "--help") {
            out << kUsage;
            return kConvertAllSucceeded;
        } else if (!optionsEnded && argument == "--version") {
            out << "pictavo-convert 1.3.3\n";
            return kConvertAllSucceeded;
        } else if (!optionsEnded && argument == "--info") {
            infoOnly = true;
        } else if (!optionsEnded && argument.size() > 1 && argument[0] == '-') {
            err << "pictavo-convert: unknown option " << argument << '\n' << kUsage;
            return kConvertBadUsage;
        } else {
            files.push_back(argument);
        }
    }
    if (files.empty()) {
        err << "pictavo-convert: no file given\n" << kUsage;
        return kConvertBadUsage;
    }
    bool allSucceeded = true;
    for (const std::string& file : files) {
        allSucceeded = ProcessFile(file, infoOnly, out) && allSucceeded;
    }
    return allSucceeded ? kConvertAllSucceeded : kConvertSomeFailed;
}
