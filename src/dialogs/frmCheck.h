#pragma once

#include <QDialog>
#include <QString>
#include <memory>
#include <optional>

class AppState;
class InternetTransfer;
class QLabel;
class QLineEdit;
class QPushButton;

// "Check for Update": fetches the newest-version file with a transfer component of its own
// and compares the published version with the running program's. One button drives it; its
// caption is the window's state ("&Start", "&Cancel", "&OK", "&Upgrade"). Shown modally by
// the about box; the caller owns it (it does not delete itself on close).
class frmCheck : public QDialog {
    Q_OBJECT
public:
    static const QString StartCaption;    // "&Start"
    static const QString CancelCaption;   // "&Cancel"
    static const QString OkCaption;       // "&OK"
    static const QString UpgradeCaption;  // "&Upgrade"
    // The most a version file may hold.
    static constexpr qint64 MaxAnswerBytes = 64 * 1024;

    frmCheck(AppState& state, QWidget* parent);
    ~frmCheck() override;
    Q_DISABLE_COPY_MOVE(frmCheck)

    QLineEdit* txtYVer = nullptr;
    QLineEdit* txtNewVer = nullptr;
    QLabel* lblState = nullptr;
    QPushButton* cmdButton = nullptr;

    void cmdButton_Click();

    // The newest-version file's address: WebPages::newestVersion() unless set.
    void setNewestVersionAddress(const QString& address) { address_ = address; }
    QString Orvane_Ver() const { return Orvane_Ver_; }

    // The running program's version: the application's, else the one it was built as.
    static QString runningVersion();
    // The version in a fetched answer: the text without its trailing line end and blanks,
    // if that is a dotted version number; otherwise nothing, with the reason in `problem`.
    static std::optional<QString> publishedVersion(const QByteArray& answer, QString* problem);
    // Compares dotted version numbers part by part as numbers, a missing part counting as 0:
    // negative, zero or positive as `a` is older than, equal to or newer than `b`.
    static int compareVersions(const QString& a, const QString& b);

protected:
    // However the window closes, a fetch under way stops.
    void done(int result) override;

private:
    void Form_Load();
    void startCheck();
    void IntMain_Finished(const QByteArray& body, const QString& error);
    void showFailure(const QString& reason);

    AppState& state_;
    std::unique_ptr<InternetTransfer> IntMain_;
    QString Orvane_Ver_;
    QString address_;
};
