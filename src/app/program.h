#pragma once

#include "app/ending_message_boxes.h"
#include "platform/time_format.h"
#include "platform/user_files.h"
#include "reading/reading_state.h"

#include <QEventLoop>
#include <QObject>
#include <QUrl>

#include <memory>
#include <optional>

class ApplicationActivation;
class BookOpener;
class ContextNavigation;
class Clock;
class FileDialog;
class Hotkeys;
class HttpGet;
class MessageBoxes;
class PowerInhibitor;
class QCloseEvent;
class Reader;
class MainWindow;
class ClosingDialog;
class SettingsSaver;
class ShelfWiring;
class BooksWiring;
class ChaptersWiring;
class StatisticsWiring;
class SplashWindow;
class TerminationSignals;
class UrlOpener;
class WordLibrary;

// The services the program takes from the system, and where its files are.
struct Platform {
    MessageBoxes& boxes;
    FileDialog& fileDialog;
    UrlOpener& opener;
    HttpGet& http;
    Hotkeys& hotkeys;
    ApplicationActivation& activation;
    PowerInhibitor& power;
    const Clock& clock;
    TimeFormat timeFormat;
    // SIGTERM, SIGINT and SIGHUP; null where the program does not take them.
    TerminationSignals* termination;
    UserFiles files; // "kestrix.ini" and "library.txt"
    QUrl versionUrl; // empty: no update check
    QUrl pageUrl;    // empty: no web link in the status bar
};

// The whole program: its three windows, the reading state, the word library,
// and the order in which they come to life and go away.
class BackgroundRestore;

class Program : public QObject {
    Q_OBJECT
public:
    explicit Program(Platform platform, QObject* parent = nullptr);
    ~Program() override;

    // Creates the windows in order and restores the stored book: the main
    // window (prepared with the library and the update check), the hidden
    // closing dialog, the splash, then the settings restored behind the
    // splash and the main window shown.
    void start();
    // Runs the event loop until the program is told to end, then saves the
    // library and the settings and returns the exit code: 0, or 128 and the
    // signal's number after an end by a signal.
    int exec();
    // start() and exec().
    int run();
    // A book file to open once the stored settings and text are restored (a
    // FILE given on the command line).
    void openBookAtStart(const QString& path) { m_bookFile = path; }
    // A second start handed over its book file (empty: none): the file is
    // opened as if dropped on the window, and the window comes to the front.
    void takeHandedOver(const QString& file);

    MainWindow* mainWindow = nullptr;
    ClosingDialog* closingDialog = nullptr;
    SplashWindow* splash = nullptr;
    ReadingState state;
    std::unique_ptr<WordLibrary> library;
    std::unique_ptr<Reader> reader;
    std::unique_ptr<ContextNavigation> contextNavigation;
    std::unique_ptr<BookOpener> bookOpener;
    std::unique_ptr<SettingsSaver> settingsSaver;
    std::unique_ptr<ShelfWiring> shelfWiring;
    std::unique_ptr<BooksWiring> booksWiring;
    std::unique_ptr<ChaptersWiring> chaptersWiring;
    std::unique_ptr<StatisticsWiring> statisticsWiring;

    // The contact address shown in the word display at start-up, split
    // around its red letter so that both sides fit the display field.
    static QString contactLeft() { return QStringLiteral("info@k"); }
    static QChar contactLetter() { return QLatin1Char('e'); }
    static QString contactRest() { return QStringLiteral("strix.test"); }

    // Start-up and shut-down of the main window.
    // Compact view, contact address, word library, display font, update check
    // (only where the build names a web server).
    void prepareMainWindow();
    // Settings, text and bookmark, behind the splash.
    void restoreSettings();
    // Opens a book file; once it is in, the keys are the reader's again.
    void openTakingKeys(const QString& file);
    // Another window of the program became active: the playback keys stay.
    void mainWindowDeactivated();
    // A close of the main window: the closing dialog, a pause, the loop's end.
    void beginClosing(QCloseEvent* event);
    // An end asked for from outside (a signal, the end of the desktop
    // session): the same way as a close, but nothing waits for the user. Open
    // dialogs are closed and messages go to the standard error output. A
    // second request changes nothing.
    void endUnattended(int exitCode);
    // Reading paused or ended: the settings and the bookmark are saved in the
    // background when they changed, unless the program is ending (its own
    // save follows) or the text is still being cut.
    void saveOnPause();
    // A checkpoint of the desktop session: the library, the settings and the
    // bookmark saved before it returns; reading goes on.
    void saveCheckpoint();
    // The library, then the settings, each on its worker under the closing
    // dialog; the keys and the sleep block released.
    void saveAndRelease();
    // The closing dialog's kill button, hide button and a press on its bar.
    void killPreparation();
    void hideWindows();
    void returnToMainWindow();

    // The message boxes of the program: the platform's, routed while it ends.
    MessageBoxes& boxes() { return m_boxes; }
    const UserFiles& files() const { return m_platform.files; }

    bool closing() const { return m_closing; }
    bool stopRequested() const { return m_stopRequested; }

Q_SIGNALS:
    // The event loop has ended; the saves come next.
    void loopEnded();

private:
    void close(int exitCode);
    void connectEndings();
    // The stored book read behind the splash put into the windows: Config's
    // values, the text and the bookmark, as loadSettings does. The hash of
    // the text as Start cuts it, when the text was restored.
    std::optional<size_t> takeRestoredSettings();

    std::unique_ptr<BackgroundRestore> m_restore; // from start() to the restore

    Platform m_platform;
    QString m_bookFile;
    EndingMessageBoxes m_boxes;
    QEventLoop m_loop;
    int m_exitCode = 0;
    bool m_closing = false;
    bool m_started = false; // start() is done
    bool m_stopRequested = false;
    bool m_destroyed = false;
};
