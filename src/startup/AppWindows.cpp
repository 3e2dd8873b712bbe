#include "AppWindows.h"

#include <QCoreApplication>

#include "AppState.h"
#include "InternetTransfer.h"
#include "LinkTest.h"
#include "frmAbout.h"
#include "frmHelpContent.h"
#include "frmMain.h"
#include "frmOptions.h"
#include "frmStartup.h"
#include "frmTip.h"

namespace {

// Shows a modal dialog made on the heap and lets exec() delete it, so a parent that goes
// away meanwhile cannot destroy it twice.
void runModal(QDialog* dialog) {
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    dialog->exec();
}

}  // namespace

AppWindows::AppWindows(AppState& state) : state_(state), playLists_(state) {}

AppWindows::~AppWindows() = default;

void AppWindows::setMainEditor(frmMain* editor) {
    main_ = editor;
}

frmMain* AppWindows::mainEditor() const {
    return main_.data();
}

void AppWindows::showOptions(QWidget* parent) {
    runModal(new frmOptions(state_, parent));
}

void AppWindows::showWizard(QWidget* parent, LinkTarget* target) {
    runModal(new frmStartup(state_, target != nullptr ? target : main_.data(), parent));
}

void AppWindows::showTip(QWidget* parent) {
    runModal(new frmTip(state_, parent));
}

void AppWindows::showPlayList(bool modal) {
    playLists_.show(modal);
}

void AppWindows::sendToPlayList(const QStringList& entries, const QString& path) {
    playLists_.send(entries, path);
}

void AppWindows::showHelpContent() {
    if (!helpContent_) {
        helpContent_ = new frmHelpContent(state_);
    }
    helpContent_->show();
    helpContent_->raise();
    helpContent_->activateWindow();
}

void AppWindows::showAbout(QWidget* parent, bool modal) {
    if (about_) {
        about_->raise();
        about_->activateWindow();
        return;
    }
    about_ = new frmAbout(state_, parent);
    if (modal) {
        runModal(about_);
    } else {
        about_->setAttribute(Qt::WA_DeleteOnClose);
        about_->setModal(false);
        about_->show();
    }
}

void AppWindows::startLinkTest(QWidget* parent, const QString& address) {
    // One link test serves every editor window; made on first use, with the component the
    // shared state makes on the first test (the libcurl one when it makes none).
    if (!linkTest_) {
        linkTest_ = std::make_unique<LinkTest>(state_.prompts, state_.makeTransfer);
    }
    linkTest_->start(parent, address);
}

void AppWindows::endProgram() {
    if (quitsApplication) {
        QCoreApplication::exit(0);
    }
}
