#pragma once

#include "platform/atomic_save.h"
#include "reading/display_look.h"
#include "reading/reading_state.h"

#include <QString>

#include <functional>

#include <optional>

class Clock;
class IniFile;
class TimeFormat;

// The colour state of the main window's progress bar.
enum class ProgressState { Normal, Paused, Error };

// "green", "yellow" or "red".
QString progressStateName(ProgressState state);

// What loadSettings and saveSettings need of the main window and the book-loading
// splash. The window implements it on its controls.
class SettingsView {
public:
    virtual ~SettingsView() = default;

    // Releases the six playback hotkeys.
    virtual void releaseHotkeys() = 0;
    // The learning-mode check box; setting it runs its click handler when the
    // state changes.
    virtual bool studyMode() const = 0;
    virtual void setStudyMode(bool on) = 0;
    // The speed list's selected item index; setting it runs no handler and
    // takes any value, -1 and 18 included.
    virtual int speedIndex() const = 0;
    virtual void setSpeedIndex(int index) = 0;
    // The progress bar's colour state.
    virtual ProgressState progressState() const = 0;
    virtual void setProgressState(ProgressState state) = 0;
    // The text box; setting the text runs its change handler.
    virtual void clearText() = 0;
    virtual void setText(const QString& text) = 0;
    // The book-loading splash.
    virtual void splashShow() = 0;
    virtual void splashProgress(int maximum, int position) = 0;
    virtual void splashTimeLeft(const QString& text) = 0;
    // How far reading and parsing the file has come, in thousandths; a view
    // that shows it lets pending window events run here too.
    virtual void splashFileProgress(int permille) { Q_UNUSED(permille); }
    virtual void splashHide() = 0;
    // Lets pending window events run.
    virtual void processEvents() = 0;
    // True once an end of the program was asked for while the events ran: the
    // restore stops where it is and restores nothing.
    virtual bool restoreStopped() const { return false; }
    // A message box with OK.
    virtual void showMessage(const QString& text) = 0;
    // The view and the display's face and size.
    virtual DisplayLook look() const { return {}; }
    virtual void setLook(const DisplayLook&) {}
};

// Entries read per slice of the load: the splash and pending events get their
// turn once per slice.
inline constexpr int loadSlice = 4096;
// A missing "word_N" reads as a line break, so that the bookmark stays where it
// was saved, while the line breaks for missing entries number at most the
// entries present plus this many: a longer run of missing entries becomes one
// line break, or none at the end of the text, so that a restore costs what
// the entries present cost (a damaged TextLength of a million restores nothing
// instead of a million empty lines).
inline constexpr int loadPaddingAllowance = 4096;

// What loadSettings takes from the section "Config".
struct StoredConfig {
    bool studyMode = false;
    QString progressColour;
    int speedIndex = 3;
    DisplayLook look;
    int textLength = 0; // TextLength as stored, negative included
    int position = 0;   // TextPosition, never negative
};
StoredConfig readStoredConfig(const IniFile& ini);
// Sets the learning-mode box (without its explanation), the speed, the
// progress bar's colour and the look, in this order.
void applyStoredConfig(SettingsView& view, ReadingState& state, const StoredConfig& config);
// Rebuilds the text of the text box from the entries stored in `ini` into
// `text`; `slice(done, total)` runs every loadSlice entries, and the
// rebuilding stops (returning false) when it returns false.
bool rebuildStoredText(const IniFile& ini, int textLength, QString& text,
                       const std::function<bool(int done, int total)>& slice);
// The message shown for a settings file that could not be read.
QString settingsLoadFailedMessage(const QString& error);

// Restores settings, text and bookmark from the INI file at `path`.
void loadSettings(SettingsView& view, ReadingState& state, const QString& path, const Clock& clock,
                  const TimeFormat& timeFormat);
// Writes settings, text and bookmark to the INI file at `path`; does nothing
// when the word sequence holds no entries. A file whose load failed in this
// run is not saved over (it was reported when it was loaded).
void saveSettings(SettingsView& view, ReadingState& state, const QString& path);

// What saveSettings writes besides the text.
struct SettingsRecord {
    bool studyMode = false;
    ProgressState progress = ProgressState::Normal;
    int speedIndex = 3;
    int entryCount = 0; // TextLength: the entries of `words` written
    int position = 0;
    DisplayLook look;
    // Only the section "Config" is written, TextLength left as it is: the
    // stored text stays (reading was never started in this run).
    bool textKept = false;
};

// The writing half of saveSettings, which touches no widget and may run on any
// thread: keeps the other sections of the file at `basePath` (the same file
// when empty; an old file that the one at `path` takes over from), replaces
// Config's keys and the text. Returns why the save failed, in words for the
// user, or an empty string (also when either file is kept from saves).
// `progress` is told how far the save has come.
QString writeSettings(const QString& path, const SettingsRecord& record, const WordSequence& words,
                      const QString& basePath = QString(), const SaveProgress& progress = {});

// What a save writes, taken on the interface thread so that the writing can
// run on another: copying the word sequence costs two reference counts.
struct SettingsSnapshot {
    SettingsRecord record;
    WordSequence words;
};
// The values a save would write now. When the word sequence holds no entries
// (reading was never started in this run) only the settings are written, and
// only after a restart (state.settingsTouched) or with a look other than the
// one restored (state.restoredLook); else nothing.
std::optional<SettingsSnapshot> takeSettingsSnapshot(const SettingsView& view,
                                                     const ReadingState& state);
// The message shown for a failed save.
QString settingsSaveFailedMessage(const QString& error);
