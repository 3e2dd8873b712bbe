#pragma once

#include <QList>
#include <QMainWindow>
#include <QString>

#include "LinkDocument.h"
#include "LinkKinds.h"

class AppState;
class QAction;
class QCloseEvent;
class QEvent;
class QLabel;
class QLineEdit;
class QMenu;
class QMimeData;

// The single-link editor: one address, the file it came from (kept in the title), and the
// File, Edit, Link, View and Help menus. The first one made is the program's main window
// (NoForm 0); File > New > Window makes independent further ones.
class frmMain : public QMainWindow, public LinkDocument {
    Q_OBJECT
public:
    // Whether a save runs because the window is closing ("Unload") or for a command ("Load").
    enum class SaveMode { Load, Unload };
    // What a save or the unsaved-changes prompt came to.
    enum class SaveResult { Saved, NothingToSave, Cancelled, Failed };

    explicit frmMain(AppState& state, QWidget* parent = nullptr);
    ~frmMain() override;
    Q_DISABLE_COPY_MOVE(frmMain)

    static const QString BaseTitle;  // "Orvane Editor"

    QLabel* Label1 = nullptr;
    QLineEdit* txtURL = nullptr;

    // Sets the address box's text; a real change marks the link changed.
    void setAddress(const QString& text);
    QString address() const;

    bool urlChanged() const { return urlChanged_; }
    void setUrlChanged(bool changed) { urlChanged_ = changed; }
    LinkKind linkKind() const { return linkKind_; }
    void setLinkKind(LinkKind kind) { linkKind_ = kind; }
    int noForm() const { return noForm_; }
    void setNoForm(int value) { noForm_ = qint16(value); }

    // The file the link belongs to (from the title), empty while it has none.
    QString documentPath() const;

    // Readers. Open_LinkFile puts a shortcut's address into txtURL; Open_RMLinkFile puts a
    // single address into txtURL and hands several to the play list. Both report a file
    // that cannot be read (naming it and the reason) and then leave the window as it was.
    void Open_LinkFile(const QString& fileName);
    void Open_RMLinkFile(const QString& fileName);

    // File > Open after the dialog: reads `fileName` into this window as its document, as
    // the menu command does. Returns false (after saying why) when nothing was read.
    bool openFile(const QString& fileName);

    // The save commands. Save writes a titled link back to its file; Save_As_Link asks
    // for a path, writes there and appends it to the recent list.
    SaveResult saveLink(SaveMode mode);
    SaveResult Save_As_Link(SaveMode mode);
    // The unsaved-changes prompt: Cancelled or Failed mean the command must stop.
    SaveResult askToSave(SaveMode mode);

    // Menu items by index, separators included, as the menus list them.
    QAction* fileAction(int index) const;      // mnuFileM
    QAction* newAction(int index) const;       // mnuNew
    QAction* editAction(int index) const;      // mnuEdit
    QAction* linkAction(int index) const;      // mnuLink
    QAction* playListAction(int index) const;  // mnuPlayList
    QAction* viewAction(int index) const;      // mnuView
    QAction* helpAction(int index) const;      // mnuHelp
    QAction* onWebAction(int index) const;     // mnuOnWeb
    QMenu* mainMenu(int index) const;          // mnuMain

    // LinkDocument
    bool isLinkChanged() const override { return urlChanged_; }
    bool settleBeforeExit() override;

    // The handlers of the menu arrays.
    void mnuFileM_Click(int index);
    void mnuNew_Click(int index);
    void mnuEdit_Click(int index);
    void mnuLink_Click(int index);
    void mnuPlayList_Click(int index);
    void mnuView_Click(int index);
    void mnuHelp_Click(int index);
    void mnuOnWeb_Click(int index);

protected:
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void buildControls();
    void buildMenus();
    void Form_Load();
    void txtURL_Change();

    void Open_Link();
    void openLocal();
    void newWindow();
    void exitCommand();
    void endProgram();

    QString writeLink(const QString& path, bool keepOtherKeys);
    void showError(const QString& text);
    void recognizeKind();
    void checkKindItem(int index);

    void browseLink();
    void switchKind(int index);

    void EditCopyProc();
    void EditCutProc();
    void EditPasteProc();

    void txtURL_OLEDragOver();
    void txtURL_OLEDragDrop(const QMimeData* data);

    AppState& state_;
    bool urlChanged_ = false;
    LinkKind linkKind_ = LinkKind::Empty;
    qint16 noForm_ = 0;
    // Set while Exit closes a secondary window, so the close is not taken as the user's.
    bool closingByProgram_ = false;

    QList<QMenu*> mnuMain;
    QList<QAction*> mnuFileM;
    QList<QAction*> mnuNew;
    QList<QAction*> mnuEdit;
    QList<QAction*> mnuLink;
    QList<QAction*> mnuPlayList;
    QList<QAction*> mnuView;
    QList<QAction*> mnuHelp;
    QList<QAction*> mnuOnWeb;
};
