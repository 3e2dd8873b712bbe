#pragma once

#include <QStringList>

class LinkTarget;
class QWidget;

// Who opens what: the windows one window asks another for. The program's own answer lives in
// the startup folder; tests hand in one that records the calls.
class Windows {
public:
    Windows() = default;
    virtual ~Windows() = default;
    Q_DISABLE_COPY_MOVE(Windows)

    virtual void showOptions(QWidget* parent) = 0;  // modal
    // The startup wizard, modal. It fills `target`, or the main editor when that is null.
    virtual void showWizard(QWidget* parent, LinkTarget* target) = 0;
    virtual void showTip(QWidget* parent) = 0;  // modal
    // The one shared play-list window; modal: the caller waits until it has closed.
    virtual void showPlayList(bool modal) = 0;
    // Entries the single-link editor read from the multi-line RealMedia file `path`.
    virtual void sendToPlayList(const QStringList& entries, const QString& path) = 0;
    virtual void showHelpContent() = 0;  // modeless
    virtual void showAbout(QWidget* parent, bool modal) = 0;
    virtual void startLinkTest(QWidget* parent, const QString& address) = 0;
    // Leaves the event loop once the main editor has closed every window.
    virtual void endProgram() = 0;
};
