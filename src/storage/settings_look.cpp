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

// A key that would only repeat the start-up look is written only where the
// file has it already: files of the start-up look keep their bytes.
void writeDisplayLook(IniFile& ini, const DisplayLook& look) {
    const auto write = [&ini](QStringView key, bool other, QStringView usual,
                              QStringView otherValue) {
        if (other || ini.find(config, key))
            ini.setValue(config, key, other ? otherValue : usual);
    };
    write(u"View", look.fullView, u"compact", u"full");
    write(u"DisplayFace", look.faceA, u"B", u"A");
    write(u"DisplaySize", look.small, u"large", u"small");
}
