#include "platform/clock.h"
#include "platform/time_format.h"
#include "probe/commands.h"
#include "probe/output.h"
#include "reading/preparation.h"
#include "reading/reading_state.h"
#include "storage/ini_file.h"
#include "storage/memory_settings_view.h"
#include "storage/settings.h"

#include <QFileInfo>

namespace {

// Loads `path` as loadSettings does; false (and a message) when it cannot be read.
bool loadIni(IniFile& ini, const QString& path) {
    if (ini.load(path))
        return true;
    probe::writeError(QStringLiteral("cannot read %1: %2").arg(path, ini.errorString()));
    return false;
}

} // namespace

// ini-get FILE SECTION KEY [DEFAULT]
int probeIniGet(const QStringList& args) {
    if (args.size() < 3 || args.size() > 4) {
        probe::writeError(
            QStringLiteral("usage: kestrix-probe ini-get FILE SECTION KEY [DEFAULT]"));
        return 2;
    }
    IniFile ini;
    if (!loadIni(ini, args[0]))
        return 1;
    probe::writeLine(probe::escape(ini.value(args[1], args[2], args.value(3))));
    return 0;
}

// ini-int FILE SECTION KEY DEFAULT
int probeIniInt(const QStringList& args) {
    bool ok = false;
    const int defaultValue = args.size() == 4 ? args[3].toInt(&ok) : 0;
    if (args.size() != 4 || !ok) {
        probe::writeError(QStringLiteral("usage: kestrix-probe ini-int FILE SECTION KEY DEFAULT"));
        return 2;
    }
    IniFile ini;
    if (!loadIni(ini, args[0]))
        return 1;
    probe::writeLine(QString::number(ini.intValue(args[1], args[2], defaultValue)));
    return 0;
}

// store TEXTFILE INIFILE: the text cut as Start does, saved as saveSettings does
// with the default settings and the bookmark at the first entry.
int probeStore(const QStringList& args) {
    if (args.size() != 2) {
        probe::writeError(QStringLiteral("usage: kestrix-probe store TEXTFILE INIFILE"));
        return 2;
    }
    const QString text = probe::readTextFile(args[0]);
    if (text.isNull())
        return 1;
    ReadingState state;
    state.entryCount = cutWhole(state.words, text);
    state.position = 0;
    MemorySettingsView view;
    saveSettings(view, state, args[1]);
    for (const QString& m : view.messages)
        probe::writeError(m);
    return view.messages.isEmpty() ? 0 : 1;
}

// restore INIFILE: the text that loadSettings puts into the text box, escaped.
int probeRestore(const QStringList& args) {
    if (args.size() != 1) {
        probe::writeError(QStringLiteral("usage: kestrix-probe restore INIFILE"));
        return 2;
    }
    ReadingState state;
    MemorySettingsView view;
    SystemClock clock;
    loadSettings(view, state, args[0], clock, TimeFormat());
    for (const QString& m : view.messages)
        probe::writeError(m);
    if (!view.messages.isEmpty())
        return 1;
    probe::writeEscapedLine(view.text);
    return 0;
}
