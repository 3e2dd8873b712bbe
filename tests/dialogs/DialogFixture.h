#pragma once

#include <QAbstractButton>
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QMap>
#include <QStringList>
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
        const QString key = keyPath + QLatin1Char('\\') + valueName;
        if (!values.contains(key)) {
            return std::nullopt;
        }
        return values.value(key);
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

// Clicks a check box or option button where the user would: on its indicator (a click in
// the empty space right of a short caption does not count).
inline void clickBox(QAbstractButton* button) {
    QTest::mouseClick(button, Qt::LeftButton, {}, QPoint(6, button->height() / 2));
}

// Every test leaves no window behind.
inline void checkNoWindowsLeft() {
    const QWidgetList windows = QApplication::topLevelWidgets();
    for (QWidget* window : windows) {
        if (window->isVisible()) {
            QFAIL(qPrintable(QStringLiteral("window left open: ") + window->windowTitle()));
        }
    }
}

// Runs `step` as soon as a modal dialog is up (after exec() has started), with it.
template <typename Step>
void whenModalShown(Step step) {
    auto* timer = new QTimer;
    timer->setInterval(10);
    QObject::connect(timer, &QTimer::timeout, [timer, step] {
        if (QWidget* modal = QApplication::activeModalWidget()) {
            timer->stop();
            timer->deleteLater();
            step(modal);
        }
    });
    timer->start();
}
