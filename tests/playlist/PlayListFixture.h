#pragma once

#include <QApplication>
#include <QCloseEvent>
#include <QFile>
#include <QTemporaryDir>
#include <QWidget>
#include <QWindow>
#include <memory>

#include "AppState.h"
#include "IniSettingsBackend.h"
#include "RecordingShell.h"
#include "Registry.h"
#include "ScriptedPrompts.h"

// What every play-list test needs: a temporary folder, scripted prompts, a recording shell,
// the shared state and a stand-in for the main single-link editor.
struct PlayListFixture {
    QTemporaryDir dir;
    IniSettingsBackend backend{dir.filePath(QStringLiteral("user.conf")),
                               dir.filePath(QStringLiteral("system.conf"))};
    Registry registry{backend};
    ScriptedPrompts prompts;
    RecordingShell shell;
    AppState state{prompts, shell, registry};
    std::unique_ptr<QWidget> mainEditor = std::make_unique<QWidget>();

    PlayListFixture() {
        state.recentFile = path(QStringLiteral("recent.dat"));
        state.mainEditor = mainEditor.get();
    }

    QString path(const QString& name) const { return dir.filePath(name); }

    static QByteArray bytes(const QString& file) {
        QFile f(file);
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }
    QString write(const QString& name, const QByteArray& content) const {
        QFile f(path(name));
        if (f.open(QIODevice::WriteOnly)) {
            f.write(content);
        }
        return path(name);
    }
};

// A close from the window's title bar: the window system's close event, which reaches the
// widget as a spontaneous one. Returns whether the window accepted it.
inline bool closeFromTitleBar(QWidget* window) {
    window->show();
    QCloseEvent event;
    QApplication::sendEvent(window->windowHandle(), &event);
    return event.isAccepted();
}

// Deletes what closed windows left for later and returns the windows still there.
inline QWidgetList remainingWindows() {
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    return QApplication::topLevelWidgets();
}
