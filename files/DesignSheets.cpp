#include "files/DesignSheets.h"

namespace {
DesignSheets* gSheets = nullptr;
}

void SetDesignSheets(DesignSheets* sheets) { gSheets = sheets; }

DesignSheets* CurrentDesignSheets() { return gSheets; }
