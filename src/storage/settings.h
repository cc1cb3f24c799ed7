#pragma once

#include "reading/reading_state.h"

#include <QString>

#include <optional>

class Clock;
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
    virtual void splashHide() = 0;
    // Lets pending window events run.
    virtual void processEvents() = 0;
    // A message box with OK.
    virtual void showMessage(const QString& text) = 0;
};

// Entries read per slice of the load: the splash and pending events get their
// turn once per slice.
inline constexpr int loadSlice = 4096;
// TextLength up to which every entry is read even where the file has no key
// (a missing key reads as a line break); beyond it, reading stops after the
// highest "word_N" present.
inline constexpr int loadPaddedLimit = 999999;

// Restores settings, text and bookmark from the INI file at `path`.
void loadSettings(SettingsView& view, ReadingState& state, const QString& path, const Clock& clock,
                  const TimeFormat& timeFormat);
// Writes settings, text and bookmark to the INI file at `path`; does nothing
// when the word sequence holds no entries.
void saveSettings(SettingsView& view, ReadingState& state, const QString& path);

// ---- The save in two steps: a snapshot taken on the interface thread, and its
// writing, which may run on another thread ----

// What a save writes. Copying the word sequence shares its text and copies
// only its entries.
struct SettingsSnapshot {
    bool studyMode = false;
    ProgressState progress = ProgressState::Normal;
    int speedIndex = 3;
    int entryCount = 0;
    int position = 0;
    WordSequence words;
};

// The values a save would write now; nothing when the word sequence holds no
// entries (reading was never started in this run).
std::optional<SettingsSnapshot> takeSettingsSnapshot(const SettingsView& view,
                                                     const ReadingState& state);
// Writes the snapshot into the INI file at `path`, keeping the other sections
// and keys of the file at `basePath` (the same file, or an old one that the
// file at `path` takes over from). Returns the error's own message text, or an
// empty string when the file was written.
QString writeSettings(const SettingsSnapshot& snapshot, const QString& path,
                      const QString& basePath);
// The message shown for a failed save.
QString settingsSaveFailedMessage(const QString& error);
