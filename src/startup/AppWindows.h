#pragma once

#include <QPointer>
#include <memory>

#include "PlayListWindows.h"
#include "Windows.h"

class AppState;
class LinkTest;
class frmAbout;
class frmHelpContent;
class frmMain;

// The program's answer to who opens what: every window one window asks another for is made
// here, on use, and destroyed when it closes.
class AppWindows final : public Windows {
public:
    explicit AppWindows(AppState& state);
    ~AppWindows() override;
    Q_DISABLE_COPY_MOVE(AppWindows)

    // The main single-link editor, which the wizard fills unless told otherwise.
    void setMainEditor(frmMain* editor);
    frmMain* mainEditor() const;
    PlayListWindows& playLists() { return playLists_; }
    // endProgram leaves the application's event loop (the program sets it; tests do not).
    bool quitsApplication = false;

    void showOptions(QWidget* parent) override;
    void showWizard(QWidget* parent, LinkTarget* target) override;
    void showTip(QWidget* parent) override;
    void showPlayList(bool modal) override;
    void sendToPlayList(const QStringList& entries, const QString& path) override;
    void showHelpContent() override;
    void showAbout(QWidget* parent, bool modal) override;
    void startLinkTest(QWidget* parent, const QString& address) override;
    void endProgram() override;

private:
    AppState& state_;
    QPointer<frmMain> main_;
    PlayListWindows playLists_;
    QPointer<frmHelpContent> helpContent_;
    QPointer<frmAbout> about_;
    std::unique_ptr<LinkTest> linkTest_;
};
