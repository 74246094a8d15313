#pragma once

#include <string>

namespace pictavo {

// The filters of the choosers that open files, as Qt's file dialogs take them. Each extension
// is offered in lower and upper case: the dialogs on Linux tell the two apart.

// File > Open: the images the list shows and the archives that hold them.
std::string OpenFileFilter();
// View > Compare > With a File: the images and the pictures a comparison reads.
std::string CompareFileFilter();

} // namespace pictavo
