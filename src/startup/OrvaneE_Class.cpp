#include "OrvaneE_Class.h"

#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QIcon>
#include <QStandardPaths>
#include <QTimer>

#include "AppTitle.h"
#include "CurlTransfer.h"
#include "DesktopShell.h"
#include "LinkKinds.h"
#include "QtPrompts.h"
#include "frmMain.h"
#include "frmSplash.h"
#include "makeSettingsBackend.h"

const QString OrvaneE_Class::VersionText = QStringLiteral(ORVANE_VERSION);

OrvaneE_Class::OrvaneE_Class(Prompts& prompts, Shell& shell, SettingsBackend& settings,
                             int splashDelayMs)
    : registry_(settings),
      state_(prompts, shell, registry_),
      windows_(state_),
      splashDelayMs_(splashDelayMs) {
    state_.setWindows(&windows_);
    state_.makeTransfer = [] { return makeInternetTransfer(); };
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

    // The main editor, loaded hidden. (2 and 6: the options dialog reads the store each time
    // it is shown, so a dialog prepared now would only show stale values later.)
    auto* editor = new frmMain(state_);
    state_.mainEditor = editor;
    windows_.setMainEditor(editor);

    // 3. The version of the first program that ran here is kept, whatever it says.
    if (settingEquals(version, QString())) {
        registry_.SaveSettingText(Root::LocalMachine, Registry::ProductKey, Registry::Version,
                                  VersionText);
    }

    // 4. The default kind's new-link address, as an unchanged Web link.
    editor->setAddress(kind->newLinkPrefix);
    editor->setLinkKind(LinkKind::Web);
    editor->document().setChanged(false);
    if (unrecognised) {
        registry_.setOption(Registry::DefaultLink, kindInfo(Kind::Web).defaultLinkText);
    }

    // 5. The bare title: no file yet.
    editor->document().setPath(QString());

    // 7.
    splash_ = new frmSplash(editor, splashDelayMs_, [this] { SplashTick(); });
    splash_->show();
    splash_->OrvaneC_Timer->start();
}

void OrvaneE_Class::SplashTick() {
    const bool showTips = registry_.flag(Registry::ShowTipsAtStartup);
    const bool showEditor = registry_.flag(Registry::ShowEditorAtStartup);

    if (splash_) {
        splash_->close();
    }
    frmMain* editor = windows_.mainEditor();
    if (editor) {
        editor->show();
    }

    if (showTips) {
        if (showEditor) {
            windows_.showPlayList(false);
        }
        windows_.showTip(editor);
    } else if (showEditor) {
        windows_.showPlayList(true);
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
    entry.windows().quitsApplication = true;

    entry.Main();
    return app.exec();
}
