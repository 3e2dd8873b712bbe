#pragma once

#include <QtTest>
#include <QtWidgets>
#include <tuple>

#include "AppState.h"
#include "RecordingShell.h"
#include "Registry.h"
#include "ScriptedPrompts.h"
#include "SettingsBackend.h"
#include "Windows.h"

// Settings kept in memory; records every write in order and can refuse them all, as a
// settings file that cannot be written does.
class MemoryBackend final : public SettingsBackend {
public:
    std::optional<QString> read(const QString& key, const QString& name) override {
        const auto it = values.constFind(key + QLatin1Char('\\') + name);
        return it == values.cend() ? std::nullopt : std::optional<QString>(*it);
    }
    void write(const QString& key, const QString& name, const QString& text) override {
        writes.append(name + QLatin1Char('=') + text);
        if (!refuseWrites) {
            values.insert(key + QLatin1Char('\\') + name, text);
        }
    }
    void setOption(const QString& name, const QString& text) {
        values.insert(Registry::OptionKey + QLatin1Char('\\') + name, text);
    }
    QMap<QString, QString> values;
    QStringList writes;
    bool refuseWrites = false;
};

// Records what one window asks another for: "wizard", "playList modal", "send A|B", ...
class RecordingWindows final : public Windows {
public:
    void showOptions(QWidget*) override { calls << "options"; }
    void showWizard(QWidget*, LinkTarget*) override { calls << "wizard"; }
    void showTip(QWidget*) override { calls << "tip"; }
    void showPlayList(bool modal) override { calls << (modal ? "playList modal" : "playList"); }
    void sendToPlayList(const QStringList& entries, const QString&) override {
        calls << "send " + entries.join('|');
    }
    void showHelpContent() override { calls << "help"; }
    void showAbout(QWidget*, bool modal) override { calls << (modal ? "about modal" : "about"); }
    void startLinkTest(QWidget*, const QString& address) override { calls << "test " + address; }
    void endProgram() override { calls << "end"; }
    QStringList calls;
};

inline const QByteArray NoFile = "<missing>";

// A data row on one line: QTest::newRow(name) << each value.
template <typename... Values>
void row(const char* name, const Values&... values) {
    (QTest::newRow(name) << ... << values);
}

// A table's columns on one line: columns<QString, bool>("name", "flag").
template <typename... Types, typename... Names>
void columns(Names... names) {
    (QTest::addColumn<Types>(names), ...);
}

// The current row's values of the named columns: auto [a, b] = fetch<QString, bool>("a", "b").
template <typename... Types, typename... Names>
std::tuple<Types...> fetch(Names... names) {
    return {*static_cast<Types*>(QTest::qData(names, qMetaTypeId<Types>()))...};
}

// One test's world: a temporary folder for files, recent.dat, tod.dat and help/, settings in
// memory, scripted prompts, a recording shell and recording windows.
struct Fixture {
    Fixture() {
        state.dataDir = dir.path();
        state.recentFile = path(QStringLiteral("recent.dat"));
        state.setWindows(&windows);
    }
    QString path(const QString& name) const { return dir.filePath(name); }
    // Null bytes write nothing: the file stays missing.
    QString write(const QString& name, const QByteArray& bytes) const {
        QDir().mkpath(QFileInfo(path(name)).absolutePath());
        QFile file(path(name));
        if (!bytes.isNull() &&
            (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size())) {
            qFatal("cannot write %s", qPrintable(path(name)));
        }
        return path(name);
    }
    QByteArray read(const QString& name) const {
        QFile file(path(name));
        return file.open(QIODevice::ReadOnly) ? file.readAll() : NoFile;
    }
    // Answers, blank-separated: Yes, No, Cancel, Ok, save:<name>, open:<name> (no name: the
    // dialog is cancelled; a name with a "/" in it stays as it is).
    void script(const QString& steps) {
        using A = Prompts::Answer;
        for (const QString& step : steps.split(' ', Qt::SkipEmptyParts)) {
            const QString name = step.section(':', 1);
            const QString file = name.isEmpty() ? QString() : path(name);
            step.startsWith("save:")   ? prompts.answerSave(file)
            : step.startsWith("open:") ? prompts.answerOpen(file)
                                       : prompts.answerMessage(step == "Yes"  ? A::Yes
                                                               : step == "No" ? A::No
                                                               : step == "Ok" ? A::Ok
                                                                              : A::Cancel);
        }
    }

    QTemporaryDir dir;
    MemoryBackend backend;
    Registry registry{backend};
    ScriptedPrompts prompts;
    RecordingShell shell;
    RecordingWindows windows;
    AppState state{prompts, shell, registry};
};

// A close from the title bar: the window system's close event, a spontaneous one.
inline bool closeFromTitleBar(QWidget* window) {
    window->show();
    QCloseEvent event;
    QApplication::sendEvent(window->windowHandle(), &event);
    return event.isAccepted();
}

// Every answer was asked for, and no window is left behind.
inline void checkCleanEnd(int pendingAnswers = 0) {
    QCOMPARE(pendingAnswers, 0);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    for (QWidget* window : QApplication::topLevelWidgets()) {
        QVERIFY2(!window->isVisible(), qPrintable("window left open: " + window->windowTitle()));
    }
}
