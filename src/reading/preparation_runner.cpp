#include "reading/preparation_runner.h"

#include "platform/clock.h"
#include "reading/preparation.h"
#include "ui/closing_dialog.h"
#include "ui/state_progress_bar.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QLabel>
#include <QTextBlock>
#include <QTextDocument>

#include <climits>
#include <limits>

namespace {

// Characters cut between two looks at the clock, and the longest stretch of
// cutting before pending events get their turn.
constexpr qsizetype sliceChars = 4096;
constexpr qsizetype gatherChars = 32768;
constexpr qint64 yieldAfterNs = 1'000'000;

} // namespace

PreparationRunner::PreparationRunner(QTextDocument& document, ClosingDialog& closing,
                                     const Clock& clock, TimeFormat timeFormat)
    : m_document(document), m_closing(closing), m_clock(clock),
      m_timeFormat(std::move(timeFormat)) {}

qint64 PreparationRunner::timeOfDayMs() const {
    return m_clock.now().time().msecsSinceStartOfDay();
}

void PreparationRunner::showProgress(int filled, int estimate, qint64 startMs) {
    QProgressBar* progress = m_closing.progressBar;
    progress->setMaximum(estimate);
    progress->setValue(qMin(filled, estimate));
    if (filled > 0) {
        const qint64 elapsed = timeOfDayMs() - startMs;
        const qint64 total = elapsed * estimate / filled;
        const qint64 left = total - (timeOfDayMs() - startMs);
        m_closing.timeLeftLabel->setText(QStringLiteral("Осталось: ") +
                                         m_timeFormat.timeToStr(left));
    }
}

// Where a run reads the document: the next paragraph to take, and whether
// every paragraph has been taken.
struct PreparationRunner::Gathering {
    Gathering(Preparation& p, QTextDocument& d)
        : preparation(p), document(d), block(d.begin()), revision(d.revision()) {}

    Preparation& preparation;
    QTextDocument& document;
    QTextBlock block;
    int revision;
    int blockNumber = 0;
    bool done = false;
    QString piece;

    // Takes paragraphs, as Start cuts them, until about `chars` characters
    // are taken or the text ends.
    void take(qsizetype chars) {
        if (document.revision() != revision) {
            // The text was replaced under the run: go on from the same
            // paragraph of the new text.
            revision = document.revision();
            block = document.findBlockByNumber(blockNumber);
        }
        piece.clear();
        while (block.isValid() && piece.size() < chars) {
            const QTextBlock next = block.next();
            appendStartText(piece, block.text());
            if (next.isValid())
                piece += QLatin1String("\r\n");
            block = next;
            ++blockNumber;
        }
        done = !block.isValid();
        preparation.appendText(piece);
    }
};

void PreparationRunner::takeRestOfText() {
    if (m_gathering != nullptr && !m_gathering->done)
        m_gathering->take(std::numeric_limits<qsizetype>::max());
}

void PreparationRunner::run(ReadingState& state, qsizetype length) {
    const quint64 generation = ++m_generation;
    const qint64 startMs = timeOfDayMs();
    Preparation p(state.words, QString());
    state.words.reserveText(length);
    // Books give an entry for every five or six characters; room for more
    // than that keeps the sequence from moving while it is being cut.
    state.words.reserve(length / 4 + 16);
    state.entryCount = static_cast<int>(qMin<qsizetype>(length / 5, INT_MAX));
    ++m_depth;
    m_closing.progressBar->setMaximum(state.entryCount);

    // The text is taken from the document paragraph by paragraph, a slice at
    // a time, so that even a whole novel never holds up pending events.
    Gathering gathering(p, m_document);
    m_gathering = &gathering;

    QElapsedTimer sinceYield;
    sinceYield.start();
    bool abandoned = false;
    for (;;) {
        if (!gathering.done && p.length() - p.visited() < sliceChars)
            gathering.take(gatherChars);
        const bool done = p.step(sliceChars) && gathering.done;
        showProgress(p.filled(), state.entryCount, startMs);
        if (done)
            break;
        if (sinceYield.nsecsElapsed() >= yieldAfterNs) {
            QCoreApplication::processEvents(QEventLoop::AllEvents);
            sinceYield.restart();
            if (generation != m_generation) {
                // A later run cut the current text; this loop's text is gone.
                abandoned = true;
                break;
            }
        }
        if (stopRequested && stopRequested())
            break;
    }
    if (m_gathering == &gathering)
        m_gathering = nullptr;
    --m_depth;
    if (!abandoned)
        state.entryCount = p.filled();
}
