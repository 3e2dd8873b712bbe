#include "PlayListWindows.h"

#include <QCoreApplication>
#include <QEventLoop>

#include "AppState.h"
#include "frmRMMulti.h"

PlayListWindows::PlayListWindows(AppState& state, QObject* parent)
    : QObject(parent), state_(state) {}

PlayListWindows::~PlayListWindows() {
    // The window outlives no application: delete it only while Qt is still there.
    if (window_ && QCoreApplication::instance() != nullptr) {
        delete window_.data();
    }
}

frmRMMulti* PlayListWindows::window() const {
    return window_.data();
}

frmRMMulti* PlayListWindows::ensureWindow() {
    if (!window_) {
        window_ = new frmRMMulti(state_);
        // A closed window is gone for every later use, even before its deferred delete.
        connect(window_.data(), &frmRMMulti::closed, this, [this] { window_.clear(); });
    }
    return window_.data();
}

void PlayListWindows::show(bool modal) {
    const QPointer<frmRMMulti> window = ensureWindow();
    if (window->isMinimized()) {
        window->showNormal();
    } else {
        window->show();
    }
    window->raise();
    window->activateWindow();
    if (!modal) {
        return;
    }
    // The main editor is already off while the window is open; the caller only waits.
    QEventLoop loop;
    connect(window.data(), &frmRMMulti::closed, &loop, &QEventLoop::quit);
    connect(window.data(), &QObject::destroyed, &loop, &QEventLoop::quit);
    loop.exec(QEventLoop::DialogExec);
}

void PlayListWindows::send(const QStringList& entries, const QString& path) {
    if (entries.isEmpty()) {
        return;
    }
    frmRMMulti* window = ensureWindow();
    window->receiveFromReader(entries, path);
    window->show();
    window->raise();
    window->activateWindow();
}
