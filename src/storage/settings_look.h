#pragma once

#include "reading/display_look.h"

class IniFile;

// The view and the display's face and size in the section "Config": "View"
// ("compact" or "full"), "DisplayFace" ("A" or "B"), "DisplaySize" ("large"
// or "small"). A key that is missing or holds another value reads as the
// start-up look's.
DisplayLook readDisplayLook(const IniFile& ini);
// Keys of the start-up look are written only where the file holds them.
void writeDisplayLook(IniFile& ini, const DisplayLook& look);
