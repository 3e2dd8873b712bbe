#pragma once

#include <QList>
#include <QString>

#include "AddressEditorWindow.h"
#include "LinkKinds.h"
#include "LinkTarget.h"

class QCloseEvent;

// The single-link editor: one address, the file it came from, and the File, Edit, Link, View
// and Help menus. The first one made is the program's main window (NoForm 0); File > New >
// Window makes independent further ones.
class frmMain : public AddressEditorWindow, public LinkTarget {
    Q_OBJECT
public:
    // The Link menu's items (mnuLink), by index.
    enum LinkItem {
        Browse = 0,
        Test = 1,
        Ftp = 3,
        Gopher = 4,
        RealAudio = 5,
        Telnet = 6,
        Web = 7,
        SecureWeb = 8,
    };
    // The RealAudio submenu's items (mnuPlayList).
    enum PlayListItem { WithPlayList = 0, WithoutPlayList = 1 };

    explicit frmMain(AppState& state, QWidget* parent = nullptr);
    ~frmMain() override;
    Q_DISABLE_COPY_MOVE(frmMain)

    // LinkTarget
    void setAddress(const QString& text) override { AddressEditorWindow::setAddress(text); }
    void setLinkKind(LinkKind kind) override { linkKind_ = kind; }
    EditorDocument& document() override { return document_; }
    bool openFile(const QString& fileName) override;

    LinkKind linkKind() const { return linkKind_; }
    int noForm() const { return noForm_; }
    void setNoForm(int value) { noForm_ = qint16(value); }

    // Readers. Open_LinkFile puts a shortcut's address into txtURL; Open_RMLinkFile puts a
    // single address into txtURL and hands several to the play list. Both report a file
    // that cannot be read (naming it and the reason) and then leave the window as it was.
    void Open_LinkFile(const QString& fileName);
    void Open_RMLinkFile(const QString& fileName);

    QAction* linkAction(int index) const;      // mnuLink
    QAction* playListAction(int index) const;  // mnuPlayList

    void mnuLink_Click(int index);
    void mnuPlayList_Click(int index);

protected:
    void closeEvent(QCloseEvent* event) override;

    QString openFilter() const override;
    QString saveFilter() const override;
    QString writeDocument(const QString& path, bool sameFile) override;
    void openCancelled() override { setUrlChanged(false); }
    void newLink() override;
    void exitCommand() override;
    AddressEditorWindow* makeAnother() override;
    bool acceptsDrop(const QMimeData* data) const override;
    void txtURL_OLEDragDrop(const QMimeData* data) override;

private:
    void buildLinkMenu();
    void Form_Load();
    void endProgram();
    void recognizeKind();
    void browseLink();
    void switchKind(int index);
    // Several lines of a RealMedia file go to the play-list window; false when unreadable.
    bool readRealMediaFile(const QString& fileName, bool setsKind);

    LinkKind linkKind_ = LinkKind::Empty;
    qint16 noForm_ = 0;
    // Set while Exit closes a secondary window, so the close is not taken as the user's.
    bool closingByProgram_ = false;

    QList<QAction*> mnuLink;
    QList<QAction*> mnuPlayList;
};
