#pragma once

#include <QList>
#include <QPointer>
#include <QString>
#include <QWidget>
#include <functional>
#include <memory>

class AddressEditorWindow;
class InternetTransfer;
class Prompts;
class Registry;
class Shell;
class Windows;

// The program's shared state: the platform services every window uses, the windows that
// exist once ("made on first use, destroyed on close") and the Windows that open the others.
// Owned by the entry routine and handed to every window it makes.
class AppState {
public:
    AppState(Prompts& prompts, Shell& shell, Registry& registry)
        : prompts(prompts), shell(shell), registry(registry) {}
    Q_DISABLE_COPY_MOVE(AppState)

    Prompts& prompts;
    Shell& shell;
    Registry& registry;

    // recent.dat, fixed at startup in the per-user data folder.
    QString recentFile;
    // The folder that holds tod.dat and help/.
    QString dataDir;
    // Makes an Internet transfer component (the real one, or a test's fake).
    std::function<std::unique_ptr<InternetTransfer>()> makeTransfer;

    // The main single-link editor (the one whose NoForm is 0).
    QPointer<QWidget> mainEditor;
    // The help topic window while it is open.
    QPointer<QWidget> helpTopicWindow;

    // The windows one window opens for another; none set: every request does nothing.
    Windows& windows() const;
    void setWindows(Windows* windows) { windows_ = windows; }

    // Hands an address or web page to the desktop; says so when no program opens it.
    void openAddress(QWidget* parent, const QString& address) const;

    // Editor windows in the order they were opened, for the question before the end.
    void addEditorWindow(AddressEditorWindow* window);
    QList<QWidget*> editorWindows() const;
    // Asks every open editor window with a changed link, in opening order; false as soon as
    // one answer is Cancel.
    bool settleAllBeforeExit();

private:
    Windows* windows_ = nullptr;
    QList<QPointer<AddressEditorWindow>> editors_;
};
