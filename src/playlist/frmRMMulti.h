#pragma once

#include <QList>
#include <QMainWindow>
#include <QString>
#include <QStringList>

#include "LinkDocument.h"

class AppState;
class PlayListModel;
class QAction;
class QCloseEvent;
class QEvent;
class QLabel;
class QLineEdit;
class QListView;
class QMenu;
class QMimeData;
class QPushButton;

// The RealMedia play-list editor: an ordered list of stream addresses saved one a line into
// a *.ram file (named in the title), the address box the list buttons add from, and the
// File, Edit, View and Help menus. While one is open the main single-link editor is off.
class frmRMMulti : public QMainWindow, public LinkDocument {
    Q_OBJECT
public:
    // What a save or the unsaved-changes prompt came to.
    enum class SaveResult { Saved, NothingToSave, Cancelled, Failed };

    explicit frmRMMulti(AppState& state, QWidget* parent = nullptr);
    ~frmRMMulti() override;
    Q_DISABLE_COPY_MOVE(frmRMMulti)

    static const QString BaseTitle;  // "RealMedia Link Editor"

    QLabel* Label1 = nullptr;
    QLineEdit* txtURL = nullptr;
    QPushButton* cmdAdd = nullptr;
    QPushButton* cmdRemove = nullptr;
    QListView* lstURL = nullptr;
    QPushButton* cmdUp = nullptr;
    QPushButton* cmdDown = nullptr;

    PlayListModel* playList() const { return model_; }
    QStringList entries() const;
    // The selected position, -1 when no entry is selected.
    int selectedIndex() const;
    void selectEntry(int row);

    bool urlChanged() const { return urlChanged_; }
    // The play list's file, as the title names it; empty while it has none.
    QString documentPath() const { return path_; }

    // Entries read by the single-link editor from a multi-line RealMedia file. A window with
    // no file and no entries takes that file as its document (titled, not changed); any
    // other gets them appended after its own entries, title and changed flag untouched.
    void receiveFromReader(const QStringList& entries, const QString& path);

    // File commands. Open_RMLinkFile asks for a file and reads it; openFile reads `path`
    // (what Open does after its dialog) and says why when it cannot, leaving the window as
    // it was. Create_RMLink writes the play list to `fileName` and returns the error text.
    void Open_RMLinkFile();
    bool openFile(const QString& path);
    QString Create_RMLink(const QString& fileName);
    SaveResult saveLink();
    SaveResult Save_As_Link();
    // The unsaved-changes prompt: NothingToSave after No or with nothing changed; Cancelled
    // or Failed mean the command must stop. A save dialog cancelled after Yes stops the
    // command whether the window is closing or not, so no changes are dropped.
    SaveResult askToSave();

    // Menu items by index, separators included, as the menus list them.
    QAction* fileAction(int index) const;   // mnuFileM
    QAction* newAction(int index) const;    // mnuNew
    QAction* editAction(int index) const;   // mnuEdit
    QAction* viewAction(int index) const;   // mnuView
    QAction* helpAction(int index) const;   // mnuHelp
    QAction* onWebAction(int index) const;  // mnuOnWeb
    // mnuMain by index: 0 File, 1 Edit, 3 View, 4 Help (this window has no Link menu, 2).
    QMenu* mainMenu(int index) const;

    // LinkDocument
    bool isLinkChanged() const override { return urlChanged_; }
    bool settleBeforeExit() override;

    // Handlers of the menu arrays and the list buttons.
    void mnuFileM_Click(int index);
    void mnuNew_Click(int index);
    void mnuEdit_Click(int index);
    void mnuView_Click(int index);
    void mnuHelp_Click(int index);
    void mnuOnWeb_Click(int index);
    void cmdAdd_Click();
    void cmdRemove_Click();
    void cmdUp_Click();
    void cmdDown_Click();

signals:
    // The window has accepted a close request and is going away.
    void closed();

protected:
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void buildControls();
    void buildMenus();
    void Form_Load();
    void txtURL_Change();
    void setDocumentPath(const QString& path);
    void turnMainEditor(bool on);

    void openLocal();
    void newLink();
    void newWindow();
    void exitCommand();

    void showError(const QString& text);
    void endOfData();

    void EditCopyProc();
    void EditCutProc();
    void EditPasteProc();

    void txtURL_OLEDragOver();
    void txtURL_OLEDragDrop(const QMimeData* data);

    AppState& state_;
    PlayListModel* model_ = nullptr;
    QString path_;
    bool urlChanged_ = false;
    // Set while Exit closes the window, so the close is not taken as the user's.
    bool closingByProgram_ = false;
    // The user answered No for the current contents when the program was about to end, so
    // the close that ends it does not ask again. Any change clears it.
    bool discardConfirmed_ = false;

    QList<QMenu*> mnuMain;
    QList<QAction*> mnuFileM;
    QList<QAction*> mnuNew;
    QList<QAction*> mnuEdit;
    QList<QAction*> mnuView;
    QList<QAction*> mnuHelp;
    QList<QAction*> mnuOnWeb;
};
