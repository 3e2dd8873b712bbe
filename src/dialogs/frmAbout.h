#pragma once

#include <QDialog>
#include <functional>

class AppState;
class QFrame;
class QLabel;
class QPushButton;

// The about box: the program's name, version and copyright, the system-information tool and
// the update check. Shown modally.
class frmAbout final : public QDialog {
    Q_OBJECT
public:
    // Starts a program by its path, detached, in its own window; false when it could not.
    using ProgramStarter = std::function<bool(const QString& program)>;

    // Runs the load step (centring, labels, caption).
    explicit frmAbout(AppState& state, QWidget* parent = nullptr);
    Q_DISABLE_COPY_MOVE(frmAbout)

    // "1.0.0": major, minor and revision of this program.
    static QString versionText();
    static QString copyrightText();

    QLabel* picIcon = nullptr;
    QLabel* lblTitle = nullptr;
    QLabel* lblVersion = nullptr;
    QLabel* lblCopyright = nullptr;
    QFrame* Frame1 = nullptr;
    QPushButton* cmdOK = nullptr;
    QPushButton* cmdSysInfo = nullptr;
    QPushButton* cmdCheck = nullptr;

    // Where StartSysInfo looks for a tool and how it starts it (the PATH variable and a
    // detached process unless a test replaces them).
    void setSearchPath(const QString& pathVariable) { searchPath_ = pathVariable; }
    void setProgramStarter(ProgramStarter starter) { startProgram_ = std::move(starter); }

    void StartSysInfo();

private:
    void cmdOK_Click();
    void cmdSysInfo_Click();
    void cmdCheck_Click();

    AppState& state_;
    QString searchPath_;
    ProgramStarter startProgram_;
};
