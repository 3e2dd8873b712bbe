#pragma once

#include <QObject>
#include <QPointer>
#include <QStringList>

class AppState;
class frmRMMulti;

// The one shared play-list window that the startup sequence, the single-link editor and the
// startup wizard use: made on first use, deleted when closed, made afresh the next time.
// (File > New > Window makes further play-list windows that are not shared.)
class PlayListWindows : public QObject {
    Q_OBJECT
public:
    explicit PlayListWindows(AppState& state, QObject* parent = nullptr);
    ~PlayListWindows() override;
    Q_DISABLE_COPY_MOVE(PlayListWindows)

    // The shared window while it is open, else null.
    frmRMMulti* window() const;
    // The shared window, made (and so loaded) on first use.
    frmRMMulti* ensureWindow();

    // Shows the shared window. Modal: the caller waits here until the window has closed.
    void show(bool modal);
    // Entries the single-link editor read from the multi-line RealMedia file `path`: see
    // frmRMMulti::receiveFromReader. Shows the window without waiting.
    void send(const QStringList& entries, const QString& path);

private:
    AppState& state_;
    QPointer<frmRMMulti> window_;
};
