#include "DialogHooks.h"

#include <QPointer>
#include <memory>

#include "AppState.h"
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

void installDialogHooks(AppState& state) {
    // The options dialog reads the store each time it is shown, so what startup read has
    // nothing to prepare: a dialog filled at startup would only show stale values later.
    state.prepareOptions = [](const AppState::StartupOptions&) {};

    state.showOptions = [&state](QWidget* parent) { runModal(new frmOptions(state, parent)); };

    state.showWizard = [&state](QWidget* parent) {
        auto* target = qobject_cast<frmMain*>(parent);
        if (target == nullptr) {
            target = qobject_cast<frmMain*>(state.mainEditor.data());
        }
        runModal(new frmStartup(state, target, parent));
    };

    state.showTip = [&state](QWidget* parent) { runModal(new frmTip(state, parent)); };

    state.showHelpContent = [&state] {
        auto* window = qobject_cast<frmHelpContent*>(state.helpContentWindow.data());
        if (window == nullptr) {
            window = new frmHelpContent(state);
            state.helpContentWindow = window;
        }
        window->show();
        window->raise();
        window->activateWindow();
    };

    auto about = std::make_shared<QPointer<frmAbout>>();
    state.showAbout = [&state, about](QWidget* parent, bool modal) {
        if (!about->isNull()) {
            (*about)->raise();
            (*about)->activateWindow();
            return;
        }
        auto* dialog = new frmAbout(state, parent);
        *about = dialog;
        if (modal) {
            runModal(dialog);
        } else {
            dialog->setAttribute(Qt::WA_DeleteOnClose);
            dialog->setModal(false);
            dialog->show();
        }
    };
}
