#pragma once

#include <QPointer>
#include <QString>
#include <memory>

#include "AppState.h"
#include "AppWindows.h"
#include "Registry.h"

class Prompts;
class QApplication;
class SettingsBackend;
class Shell;
class frmSplash;

// The entry routine. It owns the shared state, reads and seeds the settings, prepares the
// hidden main editor and shows the splash, whose tick opens the working windows.
//
// The program runs it through run(); a test builds it with its own prompts, shell and
// settings and a short splash delay, then calls Main().
class OrvaneE_Class {
public:
    static const QString VersionText;  // major.minor.revision of this program
    static constexpr int SplashMilliseconds = 3000;

    OrvaneE_Class(Prompts& prompts, Shell& shell, SettingsBackend& settings,
                  int splashDelayMs = SplashMilliseconds);
    ~OrvaneE_Class();
    Q_DISABLE_COPY_MOVE(OrvaneE_Class)

    AppState& state() { return state_; }
    AppWindows& windows() { return windows_; }
    Registry& registry() { return registry_; }
    frmSplash* splash() const;

    // Phase 1: settings, the hidden options dialog and main editor, then the splash.
    void Main();
    // Phase 2, run by the splash's timer: close the splash, show the working windows.
    void SplashTick();

    // recent.dat in the per-user data folder (the folder is created).
    static QString standardRecentFile();
    // The folder that holds tod.dat and help/: next to the executable when it holds
    // tod.dat (the build tree), else the installed data folder.
    static QString standardDataDir();

    // The whole program: the real platform services, Main and the event loop.
    static int run(QApplication& app);

private:
    Registry registry_;
    AppState state_;
    AppWindows windows_;
    int splashDelayMs_;
    QPointer<frmSplash> splash_;
};
