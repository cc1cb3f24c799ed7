#include "storage/settings_look.h"

#include "storage/ini_file.h"

namespace {

constexpr QStringView config = u"Config";

} // namespace

DisplayLook readDisplayLook(const IniFile& ini) {
    DisplayLook look;
    look.fullView = ini.value(config, u"View").trimmed() == u"full";
    look.faceA = ini.value(config, u"DisplayFace").trimmed() == u"A";
    look.small = ini.value(config, u"DisplaySize").trimmed() == u"small";
    return look;
}

void writeDisplayLook(IniFile& ini, const DisplayLook& look) {
    ini.setValue(config, u"View", look.fullView ? u"full" : u"compact");
    ini.setValue(config, u"DisplayFace", look.faceA ? u"A" : u"B");
    ini.setValue(config, u"DisplaySize", look.small ? u"small" : u"large");
}
