#pragma once

#include <QObject>
#include <QPointer>
#include <QString>
#include <functional>
#include <memory>

class InternetTransfer;
class Prompts;
class QWidget;
class frmState;

// Testing the single-link editor's address: hands it to the transfer component IntMain and
// shows each state the component reports in frmState, until "The Link is Correct." or the
// reason it is not. One LinkTest serves every editor window; a new test replaces a running
// one.
class LinkTest : public QObject {
    Q_OBJECT
public:
    using MakeTransfer = std::function<std::unique_ptr<InternetTransfer>()>;

    // The transfer component is made by `makeTransfer` (by default the program's libcurl
    // one) when the first test starts.
    explicit LinkTest(Prompts& prompts, MakeTransfer makeTransfer = {}, QObject* parent = nullptr);
    ~LinkTest() override;
    Q_DISABLE_COPY_MOVE(LinkTest)

    // Start test: `address` is the editor's txtURL as typed, `parent` the editor.
    void start(QWidget* parent, const QString& address);
    // The handler of IntMain's state notifications.
    void IntMain_StateChanged(int state);

    // The protocol by how the address begins (case matters): HTTPS, HTTP (also for
    // "gopther") or FTP; 0 for an address that cannot be tested.
    static int protocolFor(const QString& address);
    // The sentence lblState shows for a state from 0 to 12; empty for any other.
    static QString stateSentence(int state);

    // Null until the first test has made it.
    InternetTransfer* IntMain() const { return IntMain_.get(); }
    // The dialog while it is open, else null.
    frmState* dialog() const;
    // The system beep by default; tests count it.
    void setBeep(std::function<void()> beep) { beep_ = std::move(beep); }

private:
    bool makeIntMain();

    Prompts& prompts_;
    MakeTransfer makeTransfer_;
    std::unique_ptr<InternetTransfer> IntMain_;
    QPointer<frmState> dialog_;
    std::function<void()> beep_;
    bool failed_ = false;  // the running test reported an error
};
