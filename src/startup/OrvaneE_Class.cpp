#include "OrvaneE_Class.h"

#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QIcon>
#include <QStandardPaths>
#include <QTimer>

#include "CurlTransfer.h"
#include "DesktopShell.h"
#include "DialogHooks.h"
#include "LinkKinds.h"
#include "LinkTest.h"
#include "PlayListWindows.h"
#include "QtPrompts.h"
#include "frmMain.h"
#include "frmSplash.h"
#include "makeSettingsBackend.h"

const QString OrvaneE_Class::AppTitle = QStringLiteral("Orvane Editor");
const QString OrvaneE_Class::VersionText = QStringLiteral(ORVANE_VERSION);

namespace {

// The windows other parts of the program provide, plugged into the shared state's
// hand-overs. Each window has its own block; a hand-over left unplugged does nothing.
void installWindows(AppState& state) {
    // Options dialog: state.showOptions (modal) and state.prepareOptions (startup).
    // installDialogHooks also plugs in the wizard, the tip, the help contents and the about
    // box below.
    installDialogHooks(state);

    // Startup wizard: state.showWizard (modal).

    // Tip of the day: state.showTip (modal).

    // Play-list editor: state.showPlayList and state.sendToPlayList.
    installPlayList(state);

    // Link test: state.startLinkTest, and state.makeTransfer for the transfer component.
    state.makeTransfer = [] { return makeInternetTransfer(); };
    LinkTest::install(state);

    // Help contents: state.showHelpContent (modeless).

    // About box: state.showAbout.
    Q_UNUSED(state);
}

}  // namespace

OrvaneE_Class::OrvaneE_Class(Prompts& prompts, Shell& shell, SettingsBackend& settings,
                             int splashDelayMs)
    : registry_(settings), state_(prompts, shell, registry_), splashDelayMs_(splashDelayMs) {
    installWindows(state_);
}

OrvaneE_Class::~OrvaneE_Class() {
    // Every window holds a reference to the shared state, so the windows go first.
    QList<QPointer<QWidget>> windows;
    for (QWidget* window : QApplication::topLevelWidgets()) {
        if (window->parentWidget() == nullptr) {
            windows.append(window);
        }
    }
    for (const QPointer<QWidget>& window : windows) {
        delete window.data();
    }
}

frmSplash* OrvaneE_Class::splash() const {
    return splash_;
}

void OrvaneE_Class::Main() {
    using Root = Registry::Root;

    // 1. The startup flags, the version that first ran here and the default link kind.
    const SettingText showTips = registry_.option(Registry::ShowTipsAtStartup);
    const SettingText showWizard = registry_.option(Registry::ShowStartupWizard);
    const SettingText showEditor = registry_.option(Registry::ShowEditorAtStartup);
    const SettingText version =
        registry_.GetSettingText(Root::LocalMachine, Registry::ProductKey, Registry::Version);
    const SettingText defaultLink = registry_.option(Registry::DefaultLink);

    const KindInfo* kind = kindForDefaultLink(defaultLink.value_or(QString()));
    const bool unrecognised = kind == nullptr;
    if (unrecognised) {
        kind = &kindInfo(Kind::Web);
    }

    // The main editor, loaded hidden; the options dialog may reach it through the state.
    auto* editor = new frmMain(state_);
    state_.mainEditor = editor;

    // 2 and 6. The options dialog, hidden, with its boxes and option button; Apply off.
    if (state_.prepareOptions) {
        AppState::StartupOptions options;
        options.showEditor = settingNumber(showEditor);
        options.showTips = settingNumber(showTips);
        options.showWizard = settingNumber(showWizard);
        options.defaultLink = kind->defaultLinkText;
        state_.prepareOptions(options);
    }

    // 3. The version of the first program that ran here is kept, whatever it says.
    if (settingEquals(version, QString())) {
        registry_.SaveSettingText(Root::LocalMachine, Registry::ProductKey, Registry::Version,
                                  VersionText);
    }

    // 4. The default kind's new-link address, as an unchanged Web link.
    editor->setAddress(kind->newLinkPrefix);
    editor->setLinkKind(LinkKind::Web);
    editor->setUrlChanged(false);
    if (unrecognised) {
        registry_.setOption(Registry::DefaultLink, kindInfo(Kind::Web).defaultLinkText);
    }

    // 5.
    editor->setWindowTitle(AppTitle);

    // 7.
    splash_ = new frmSplash(state_, splashDelayMs_, [this] { SplashTick(); });
    splash_->show();
    splash_->OrvaneC_Timer->start();
}

void OrvaneE_Class::SplashTick() {
    const bool showTips = registry_.flag(Registry::ShowTipsAtStartup);
    const bool showEditor = registry_.flag(Registry::ShowEditorAtStartup);

    if (splash_) {
        splash_->close();
    }
    auto* editor = qobject_cast<frmMain*>(state_.mainEditor.data());
    if (editor) {
        editor->show();
    }

    if (showTips) {
        if (showEditor && state_.showPlayList) {
            state_.showPlayList(false);
        }
        if (state_.showTip) {
            state_.showTip(editor);
        }
    } else if (showEditor && state_.showPlayList) {
        state_.showPlayList(true);
    }
}

QString OrvaneE_Class::standardRecentFile() {
    const QString folder = QStandardPaths::writableLocation(QStandardPaths::AppDataLocation);
    QDir().mkpath(folder);
    return QDir(folder).filePath(QStringLiteral("recent.dat"));
}

QString OrvaneE_Class::standardDataDir() {
    const QDir exeDir(QCoreApplication::applicationDirPath());
    if (QFileInfo::exists(exeDir.filePath(QStringLiteral("tod.dat")))) {
        return exeDir.absolutePath();
    }
    return QDir::cleanPath(exeDir.filePath(QStringLiteral("../share/orvane-editor")));
}

int OrvaneE_Class::run(QApplication& app) {
    Q_INIT_RESOURCE(icons);
    QApplication::setOrganizationName(QStringLiteral("Tessaly"));
    QApplication::setApplicationName(AppTitle);
    QApplication::setApplicationVersion(VersionText);
    // Ties the windows to the installed launcher entry (task bars, Wayland).
    QGuiApplication::setDesktopFileName(QStringLiteral("com.tessaly.OrvaneEditor"));
    QIcon icon;
    icon.addFile(QStringLiteral(":/icons/orvane-editor.png"));
    icon.addFile(QStringLiteral(":/icons/orvane-editor-256.png"));
    QApplication::setWindowIcon(icon);
    // The program ends when its main editor says so, not when a window happens to be the
    // last one visible (the splash closes before the editor shows).
    QApplication::setQuitOnLastWindowClosed(false);

    QtPrompts prompts;
    DesktopShell shell;
    const auto settings = makeSettingsBackend();
    if (!settings->problem().isEmpty()) {
        prompts.message(nullptr, settings->problem(), AppTitle, Prompts::Icon::Warning,
                        Prompts::Buttons::Ok);
    }
    OrvaneE_Class entry(prompts, shell, *settings);
    entry.state().recentFile = standardRecentFile();
    entry.state().dataDir = standardDataDir();
    entry.state().quitApplication = [] { QCoreApplication::exit(0); };

    entry.Main();
    return app.exec();
}
