#pragma once

#include <QList>
#include <QMainWindow>
#include <QString>
#include <functional>
#include <optional>

#include "EditorDocument.h"

class AppState;
class QAction;
class QEvent;
class QKeySequence;
class QLabel;
class QLineEdit;
class QMenu;
class QMimeData;

// What both editor windows do alike: the labelled address box, the document, the File, Edit,
// View and Help menus (the single-link editor adds its Link menu at index 2), the Edit
// commands, drops onto the address box, File > New > Window and the unsaved-changes question.
// The windows fill in what differs.
class AddressEditorWindow : public QMainWindow {
    Q_OBJECT
public:
    using SaveMode = EditorDocument::SaveMode;
    using SaveResult = EditorDocument::SaveResult;

    ~AddressEditorWindow() override;
    Q_DISABLE_COPY_MOVE(AddressEditorWindow)

    QLabel* Label1 = nullptr;
    QLineEdit* txtURL = nullptr;

    EditorDocument& document() { return document_; }
    bool urlChanged() const { return document_.changed(); }
    void setUrlChanged(bool changed) { document_.setChanged(changed); }
    // The file the document belongs to, empty while it has none.
    QString documentPath() const { return document_.path(); }
    void setAddress(const QString& text);
    QString address() const;

    // Menu items by index, separators included, as the menus list them.
    QAction* fileAction(int index) const;   // mnuFileM
    QAction* newAction(int index) const;    // mnuNew
    QAction* editAction(int index) const;   // mnuEdit
    QAction* viewAction(int index) const;   // mnuView
    QAction* helpAction(int index) const;   // mnuHelp
    QAction* onWebAction(int index) const;  // mnuOnWeb
    QMenu* mainMenu(int index) const;       // mnuMain

    // Raises the window and asks about its changed link before the program ends; false when
    // the user cancelled.
    bool settleBeforeExit();

    void mnuFileM_Click(int index);
    void mnuNew_Click(int index);
    void mnuEdit_Click(int index);
    void mnuView_Click(int index);
    void mnuHelp_Click(int index);
    void mnuOnWeb_Click(int index);

protected:
    AddressEditorWindow(AppState& state, const QString& baseTitle, bool aboutModal,
                        QWidget* parent);

    // File, Edit, View and Help; mnuMain[2] stays empty for a Link menu placed before View.
    void buildMenus(const QString& openLocalCaption);
    // One item of an array: caption, shortcut, and the array's handler told the index.
    static QAction* addItem(QMenu* menu, QList<QAction*>& items, const QString& caption,
                            const QKeySequence& shortcut, std::function<void(int)> handler);

    // What differs between the windows.
    virtual QString openFilter() const = 0;
    virtual QString saveFilter() const = 0;
    virtual QString writeDocument(const QString& path, bool sameFile) = 0;
    virtual bool openFile(const QString& path) = 0;
    virtual void openCancelled() {}
    virtual void newLink() = 0;
    virtual void exitCommand() = 0;
    virtual AddressEditorWindow* makeAnother() = 0;
    virtual bool acceptsDrop(const QMimeData* data) const;
    virtual void txtURL_OLEDragDrop(const QMimeData* data);

    // The unsaved-changes question, skipped when the program's end already had its answer
    // (unless the user closes the window); true when the window may close.
    bool mayClose(bool byUser);

    bool eventFilter(QObject* watched, QEvent* event) override;

    AppState& state_;
    EditorDocument document_;

    QList<QMenu*> mnuMain;
    QList<QAction*> mnuFileM;
    QList<QAction*> mnuNew;
    QList<QAction*> mnuEdit;
    QList<QAction*> mnuView;
    QList<QAction*> mnuHelp;
    QList<QAction*> mnuOnWeb;

private:
    struct Selection {
        int start = 0;
        int length = 0;
        int cursor = 0;
    };
    Selection selection() const;
    void openCommand();
    void openLocal();
    void newWindow();
    void txtURL_OLEDragOver();

    bool aboutModal_;
    // The selection the box had when it lost the focus to the menu bar or a menu, and the one
    // the Edit menu works on while it is open.
    std::optional<Selection> focusOutSelection_;
    std::optional<Selection> menuSelection_;
};
