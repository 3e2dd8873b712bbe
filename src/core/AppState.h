#pragma once

#include <QList>
#include <QPointer>
#include <QString>
#include <QStringList>
#include <QWidget>
#include <functional>
#include <memory>

class Prompts;
class Shell;
class Registry;
class InternetTransfer;
class LinkDocument;

// The program's shared state: the platform services every window uses, and the windows
// that exist once ("made on first use, destroyed on close"). Owned by the entry routine and
// handed to every window it makes. The hand-overs between windows are plugged in by the
// entry routine; one that is not plugged in does nothing.
class AppState {
public:
    AppState(Prompts& prompts, Shell& shell, Registry& registry)
        : prompts(prompts), shell(shell), registry(registry) {}
    Q_DISABLE_COPY_MOVE(AppState)

    Prompts& prompts;
    Shell& shell;
    Registry& registry;

    // recent.dat, fixed at startup in the per-user data folder.
    QString recentFile;
    // The folder that holds tod.dat and help/.
    QString dataDir;
    // Makes an Internet transfer component (the real one, or a test's fake).
    std::function<std::unique_ptr<InternetTransfer>()> makeTransfer;

    // The main single-link editor (the one whose NoForm is 0).
    QPointer<QWidget> mainEditor;
    // The help windows: one of each while it is open.
    QPointer<QWidget> helpContentWindow;
    QPointer<QWidget> helpTopicWindow;

    // Hand-overs between windows.
    std::function<void(QWidget* parent)> showOptions;  // modal
    std::function<void(QWidget* parent)> showWizard;   // modal
    std::function<void(QWidget* parent)> showTip;      // modal
    // The one shared play-list window: shown modally (the caller waits) or modeless.
    std::function<void(bool modal)> showPlayList;
    // Entries read by the single-link editor from a multi-line RealMedia file at `path`.
    std::function<void(const QStringList& entries, const QString& path)> sendToPlayList;
    std::function<void()> showHelpContent;  // modeless
    std::function<void(QWidget* parent, bool modal)> showAbout;
    std::function<void(QWidget* parent, const QString& address)> startLinkTest;

    // Startup, before the splash: load the options dialog hidden, set its check boxes (by
    // number: non-zero checks) and the option button of `defaultLink`, and turn Apply off.
    struct StartupOptions {
        int showEditor = 0;   // "Show Editor at Startup"
        int showTips = 0;     // "Show Tips at Startup"
        int showWizard = 0;   // "Show Startup Wizard"
        QString defaultLink;  // "FTP", "HTTP", "Telnet", "Gopther" or "HTTPS"
    };
    std::function<void(const StartupOptions& options)> prepareOptions;
    // Leaves the application's event loop; the main editor calls it after it has closed
    // every window at the program's end.
    std::function<void()> quitApplication;

    // Editor windows in the order they were opened, for the question before the end.
    void addEditorWindow(QWidget* window, LinkDocument* document);
    QList<QWidget*> editorWindows() const;
    // Asks every open editor window with a changed link, in opening order; false as soon as
    // one answer is Cancel.
    bool settleAllBeforeExit();

private:
    struct Entry {
        QPointer<QWidget> window;
        LinkDocument* document;
    };
    QList<Entry> editors_;
};
