#pragma once

#include <QApplication>
#include <QDir>
#include <QTemporaryDir>
#include <QWidget>
#include <QtTest>

#include "AppState.h"
#include "RecordingShell.h"
#include "Registry.h"
#include "ScriptedPrompts.h"
#include "SettingsBackend.h"

// Settings kept in memory; records every write in order and can refuse them all, as a
// settings file that cannot be written does.
class MemoryBackend final : public SettingsBackend {
public:
    std::optional<QString> read(const QString& keyPath, const QString& valueName) override {
        const auto it = values.constFind(keyPath + QLatin1Char('\\') + valueName);
        return it == values.cend() ? std::nullopt : std::optional<QString>(*it);
    }
    void write(const QString& keyPath, const QString& valueName, const QString& text) override {
        writes.append(valueName + QLatin1Char('=') + text);
        if (!refuseWrites) {
            values.insert(keyPath + QLatin1Char('\\') + valueName, text);
        }
    }
    void setOption(const QString& valueName, const QString& text) {
        values.insert(Registry::OptionKey + QLatin1Char('\\') + valueName, text);
    }

    QMap<QString, QString> values;
    QStringList writes;
    bool refuseWrites = false;
};

// One test's world: a temporary data folder, settings in memory, scripted prompts and a
// recording shell.
struct DialogFixture {
    DialogFixture() {
        state.dataDir = dir.path();
        state.recentFile = dir.filePath(QStringLiteral("recent.dat"));
    }

    QString writeFile(const QString& relativePath, const QByteArray& bytes) {
        const QString path = dir.filePath(relativePath);
        QDir().mkpath(QFileInfo(path).absolutePath());
        QFile file(path);
        if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size()) {
            qFatal("cannot write %s", qPrintable(path));
        }
        return path;
    }

    QTemporaryDir dir;
    MemoryBackend backend;
    Registry registry{backend};
    ScriptedPrompts prompts;
    RecordingShell shell;
    AppState state{prompts, shell, registry};
};

// Every test leaves no window behind.
inline void checkNoWindowsLeft() {
    for (QWidget* window : QApplication::topLevelWidgets()) {
        QVERIFY2(!window->isVisible(), qPrintable("window left open: " + window->windowTitle()));
    }
}

// Runs `step` with the modal dialog as soon as one is up (after its exec() has started).
template <typename Step>
void whenModalShown(Step step) {
    auto* timer = new QTimer;
    timer->setInterval(10);
    QObject::connect(timer, &QTimer::timeout, [timer, step] {
        if (QWidget* modal = QApplication::activeModalWidget()) {
            timer->deleteLater();
            timer->stop();
            step(modal);
        }
    });
    timer->start();
}
