#pragma once

#include "fakes.h"
#include "platform/hotkeys.h"
#include "reading/reader.h"
#include "ui/closing_dialog.h"
#include "ui/flat_button.h"
#include "ui/main_window.h"
#include "ui/text_box.h"
#include "words/library.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QTemporaryDir>

// The main window, the closing dialog and the reader, with the system's
// services replaced: message boxes answered from a script, keys pressed by id,
// a clock that stands still, the library file in a temporary folder.
struct ReaderFixture {
    QTemporaryDir dir;
    MainWindow form;
    ClosingDialog closing;
    ReadingState state;
    WordLibrary library;
    ManualHotkeys hotkeys;
    ScriptedMessageBoxes boxes;
    FixedClock clock;
    Reader reader{form, closing, state, library,
                  Reader::Services{boxes,
                                   hotkeys,
                                   clock,
                                   TimeFormat(QLocale::c()),
                                   {dir.filePath(QStringLiteral("library.txt")), {}}}};

    ReaderFixture() { reader.view().chooseFaceB(); }

    // Puts `text` into the text box and presses Start; the preparation runs
    // to its end before this returns.
    void start(const QString& text) {
        form.textBox->setPlainText(text);
        form.startButton->clickFromCode();
    }
    // One word tick; returns the entry shown as left/letter/rest.
    QString tick() {
        reader.showNextWord();
        return shown();
    }
    QString shown() const {
        // Nothing shown yet: no letter, not a U+0000.
        const QChar letter = form.displayField->letter();
        return form.displayField->left() + QLatin1Char('/') +
               (letter.isNull() ? QString() : QString(letter)) + QLatin1Char('/') +
               form.displayField->rest();
    }
    QString pauseCaption() const { return form.pauseButton->text(); }
    // Enabled states of Start, pause, restart and the text box, and whether
    // the word timer runs, as a string such as "S-p-R-M-T" (upper case = on).
    QString marks() const {
        auto mark = [](bool on, char c) {
            const QChar ch = QLatin1Char(c);
            return on ? ch.toUpper() : ch;
        };
        return QString(mark(form.startButton->isEnabled(), 's')) +
               mark(form.pauseButton->isEnabled(), 'p') +
               mark(form.restartButton->isEnabled(), 'r') + mark(form.textBox->isEnabled(), 'm') +
               mark(reader.wordTimer.enabled(), 't');
    }
};
