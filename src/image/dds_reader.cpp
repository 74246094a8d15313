#include "image/iwi.h"

int IWI::ReadDDS() {
    keepsStoredLevels = false;
    DDSHeader.fill(0);
    return ReadTextureFile(pictavo::Container::kDds);
}
