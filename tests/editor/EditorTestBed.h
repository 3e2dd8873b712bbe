#pragma once

#include <QApplication>
#include <QFile>
#include <QPointer>
#include <QTemporaryDir>
#include <QtTest>

#include "AppState.h"
#include "IniSettingsBackend.h"
#include "RecordingShell.h"
#include "Registry.h"
#include "ScriptedPrompts.h"
#include "frmMain.h"

// What an editor window needs around it: scripted prompts, a recording shell, settings and
// a recent list in a temporary folder. One per test function.
struct EditorTestBed {
    QTemporaryDir dir;
    ScriptedPrompts prompts;
    RecordingShell shell;
    IniSettingsBackend settings{dir.filePath(QStringLiteral("user.conf")), QString()};
    Registry registry{settings};
    AppState state{prompts, shell, registry};
    QList<QPointer<frmMain>> made;

    EditorTestBed() { state.recentFile = dir.filePath(QStringLiteral("recent.dat")); }

    frmMain* editor() {
        auto* window = new frmMain(state);
        made.append(window);
        return window;
    }
    QString path(const QString& name) const { return dir.filePath(name); }
    void write(const QString& name, const QByteArray& bytes) const {
        QFile file(path(name));
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(bytes);
    }
    QByteArray read(const QString& name) const {
        QFile file(path(name));
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
    }
};

// Deletes the windows the test made itself, then fails on any other window still around:
// windows the code opened must be gone once they were closed.
inline void tearDownAndCheckWindows(std::unique_ptr<EditorTestBed>& bed) {
    const int pending = bed->prompts.pendingAnswers();
    for (const QPointer<frmMain>& window : bed->made) {
        delete window.data();
    }
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QStringList leaked;
    for (QWidget* window : QApplication::topLevelWidgets()) {
        leaked << window->metaObject()->className() + QStringLiteral(" ") + window->windowTitle();
    }
    QList<QPointer<QWidget>> left;
    for (QWidget* window : QApplication::topLevelWidgets()) {
        if (window->parentWidget() == nullptr) {
            left.append(window);
        }
    }
    for (const QPointer<QWidget>& window : left) {
        delete window.data();
    }
    bed.reset();
    QVERIFY2(leaked.isEmpty(), qPrintable(leaked.join(QStringLiteral(", "))));
    QCOMPARE(pending, 0);
}
