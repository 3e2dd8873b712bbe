#pragma once

#include <QDialog>
#include <QPointer>
#include <QString>

class AppState;
class LineListModel;
class QLabel;
class QListView;
class QPushButton;
class QRadioButton;
class LineListModel;
class LinkTarget;

// The startup wizard: a new link of a chosen kind, an existing link file, or a recently
// saved one, put into the editor window it works for. Modal.
class frmStartup final : public QDialog {
    Q_OBJECT
public:
    // `target` is the editor window the wizard fills (the one whose command opened it, or
    // the main window at startup); with none, OK fills nothing. Runs the load step.
    frmStartup(AppState& state, LinkTarget* target, QWidget* parent = nullptr);
    Q_DISABLE_COPY_MOVE(frmStartup)

    QRadioButton* optNew = nullptr;
    QRadioButton* optExist = nullptr;
    QRadioButton* optRecent = nullptr;
    QListView* lstPro = nullptr;
    QPushButton* cmdOK = nullptr;
    QPushButton* cmdCancel = nullptr;

    // The wizard's names of the seven kinds, in the order the list offers them.
    static QStringList newLinkNames();
    // The filter of the open-file dialog for an existing link.
    static const QString OpenFilter;

    QString editorAtStartup() const { return EditorAtStartup; }
    QStringList listItems() const;
    // Selects the list item at `row` (-1 clears the selection).
    void selectItem(int row);
    QString selectedItem() const;

    void optNew_Click();
    void optExist_Click();
    void optRecent_Click();
    void cmdOK_Click();
    void cmdCancel_Click();

private:
    void clearList(bool enabled);
    // True when the chosen kind wants the play-list window opened.
    bool newLink(const QString& name);
    void openRecent(const QString& path);
    void openExisting();

    AppState& state_;
    LinkTarget* target_;
    LineListModel* items_ = nullptr;
    QString EditorAtStartup;
};
