#pragma once

#include "platform/time_format.h"
#include "reading/reading_state.h"

#include <functional>

class Clock;
class ClosingDialog;
class QTextDocument;

// Cuts the text box's text into the word sequence on the interface thread,
// a slice at a time, letting pending events run between slices so that the
// word timer, the controls and the closing dialog stay served while a whole
// novel is cut. The progress and the time left go to the closing dialog.
class PreparationRunner {
public:
    PreparationRunner(QTextDocument& document, ClosingDialog& closing, const Clock& clock,
                      TimeFormat timeFormat);

    // Read after every slice: true once the closing dialog's kill button has
    // been pressed.
    std::function<bool()> stopRequested;

    // Cuts the document into `state.words` and sets `state.entryCount`; `length`
    // is the text's length as it is cut (line breaks as CR LF). Returns when
    // the text is cut, when a stop was requested, or when a later run took
    // over (the later run then owns the sequence).
    void run(ReadingState& state, qsizetype length);
    // Whether a run is in progress (runs nest inside each other's event turns).
    bool running() const { return m_depth > 0; }
    // Takes what is left of the text box's text into the run in progress at
    // once, so that edits made from now on leave the text being cut alone.
    void takeRestOfText();

private:
    struct Gathering;
    qint64 timeOfDayMs() const;
    void showProgress(int filled, int estimate, qint64 startMs);

    QTextDocument& m_document;
    ClosingDialog& m_closing;
    const Clock& m_clock;
    TimeFormat m_timeFormat;
    int m_depth = 0;                  // nesting depth of running preparations
    quint64 m_generation = 0;         // bumped by every run; an older loop gives up
    Gathering* m_gathering = nullptr; // the latest run's reading of the document
};
