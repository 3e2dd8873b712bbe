#pragma once

#include <QString>
#include <QStringList>

#include "AddressEditorWindow.h"

class PlayListModel;
class QCloseEvent;
class QListView;
class QPushButton;

// The RealMedia play-list editor: an ordered list of stream addresses saved one a line into
// a *.ram file (named in the title), the address box the list buttons add from, and the
// File, Edit, View and Help menus. While one is open the main single-link editor is off.
class frmRMMulti : public AddressEditorWindow {
    Q_OBJECT
public:
    explicit frmRMMulti(AppState& state, QWidget* parent = nullptr);
    ~frmRMMulti() override;
    Q_DISABLE_COPY_MOVE(frmRMMulti)

    static const QString BaseTitle;  // "RealMedia Link Editor"

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

    // Entries read by the single-link editor from a multi-line RealMedia file. A window with
    // no file and no entries takes that file as its document (titled, not changed); any
    // other gets them appended after its own entries, title and changed flag untouched.
    void receiveFromReader(const QStringList& entries, const QString& path);

    // Reads `path` (what Open does after its dialog) and says why when it cannot, leaving the
    // window as it was.
    bool openFile(const QString& path) override;

    void cmdAdd_Click();
    void cmdRemove_Click();
    void cmdUp_Click();
    void cmdDown_Click();

signals:
    // The window has accepted a close request and is going away.
    void closed();

protected:
    void closeEvent(QCloseEvent* event) override;

    QString openFilter() const override;
    QString saveFilter() const override;
    QString writeDocument(const QString& path, bool sameFile) override;
    void newLink() override;
    void exitCommand() override;
    AddressEditorWindow* makeAnother() override;
    bool acceptsDrop(const QMimeData* data) const override;

private:
    void buildControls();
    void Form_Load();
    void turnMainEditor(bool on);
    void endOfData();
    void moveSelected(int by);

    PlayListModel* model_ = nullptr;
    // Set while Exit closes the window, so the close is not taken as the user's.
    bool closingByProgram_ = false;
};
