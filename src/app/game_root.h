#pragma once

#include <string>

// Whether `folder` is the installation root of one of the games that keep their images in
// main/*.iwd (Call of Duty 4, 5 and Black Ops): it holds a folder named exactly "raw", as the
// mod tools lay it out, or the archives of main/, as a stock install has them.
bool IsGameRootFolder(const std::string& folder);
