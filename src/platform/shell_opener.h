#pragma once

#include "platform/replaceable.h"

#include <string>

class QUrl;

// Opens a file or a web address with the program the desktop associates with it.
class ShellOpener : public pictavo::Replaceable<ShellOpener> {
public:
    virtual ~ShellOpener() = default;
    // False when the desktop could not open it.
    virtual bool Open(const std::string& target) = 0;

    static ShellOpener& Default();
};

// A target with a scheme ("http://...") stays an address; anything else is a local file,
// relative ones taken from the current directory.
QUrl ShellTargetUrl(const std::string& target);
