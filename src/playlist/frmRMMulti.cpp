#include "frmRMMulti.h"

#include <QAction>
#include <QCloseEvent>
#include <QDropEvent>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QItemSelectionModel>
#include <QKeyEvent>
#include <QKeySequence>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QMenu>
#include <QMenuBar>
#include <QMimeData>
#include <QPushButton>
#include <QUrl>
#include <QVBoxLayout>
#include <limits>

#include "AppState.h"
#include "EditCommands.h"
#include "HelpMenu.h"
#include "LinkFiles.h"
#include "PlayListModel.h"
#include "PlayListView.h"
#include "Prompts.h"
#include "RecentList.h"
#include "Shell.h"
#include "WindowCentring.h"

namespace {

const QString kMessageTitle = QStringLiteral("Orvane Editor");
const QString kNewAddress = QStringLiteral("http://");
const QString kOpenFilter = QStringLiteral("RaelMedia Link ( *.ram )|*.ram");
const QString kOpenLocalFilter = QStringLiteral("All Files ( *.* )|*.*");
const QString kSaveFilter = QStringLiteral("RealPlayer Link ( *.ram )|*.ram");
const QString kSaveQuestion =
    QStringLiteral("You have not yet saved your link. Do you want to save it now ?");
const QString kEndOfData = QStringLiteral("End of the Data");

// 200 twips (1/1440 inch each) on this screen.
QPoint cascadeOffset(const QWidget* window) {
    return {qRound(200.0 * window->logicalDpiX() / 1440.0),
            qRound(200.0 * window->logicalDpiY() / 1440.0)};
}

// Text may be dropped onto the address box; files may not, since the single-link editor
// that would read them is off while a play-list window is open.
bool acceptsDrop(const QMimeData* data) {
    if (data == nullptr || !data->hasText()) {
        return false;
    }
    if (data->hasUrls()) {
        const QList<QUrl> urls = data->urls();
        for (const QUrl& url : urls) {
            if (url.isLocalFile()) {
                return false;
            }
        }
    }
    return true;
}

QAction* itemAt(const QList<QAction*>& items, int index) {
    return index >= 0 && index < items.size() ? items.at(index) : nullptr;
}

}  // namespace

const QString frmRMMulti::BaseTitle = QStringLiteral("RealMedia Link Editor");

frmRMMulti::frmRMMulti(AppState& state, QWidget* parent) : QMainWindow(parent), state_(state) {
    buildControls();
    buildMenus();
    Form_Load();
    state_.addEditorWindow(this, this);
}

frmRMMulti::~frmRMMulti() = default;

void frmRMMulti::buildControls() {
    setFont(QFont(QStringLiteral("Arial"), 10));

    auto* central = new QWidget(this);
    central->setObjectName(QStringLiteral("centralWidget"));
    setCentralWidget(central);

    Label1 = new QLabel(QStringLiteral("URL :"), central);
    Label1->setObjectName(QStringLiteral("Label1"));
    txtURL = new QLineEdit(central);
    txtURL->setObjectName(QStringLiteral("txtURL"));
    // A stream address may be longer than a line edit's default limit of 32767 characters.
    txtURL->setMaxLength(std::numeric_limits<int>::max());
    Label1->setBuddy(txtURL);

    cmdAdd = new QPushButton(QStringLiteral("&Add"), central);
    cmdAdd->setObjectName(QStringLiteral("cmdAdd"));
    cmdRemove = new QPushButton(QStringLiteral("&Remove"), central);
    cmdRemove->setObjectName(QStringLiteral("cmdRemove"));

    model_ = new PlayListModel(this);
    lstURL = new PlayListView(central);
    lstURL->setObjectName(QStringLiteral("lstURL"));
    lstURL->setModel(model_);
    lstURL->setSelectionMode(QAbstractItemView::SingleSelection);
    lstURL->setSelectionBehavior(QAbstractItemView::SelectRows);
    lstURL->setEditTriggers(QAbstractItemView::NoEditTriggers);
    lstURL->setTextElideMode(Qt::ElideMiddle);

    cmdUp = new QPushButton(QStringLiteral("Up"), central);
    cmdUp->setObjectName(QStringLiteral("cmdUp"));
    cmdDown = new QPushButton(QStringLiteral("Down"), central);
    cmdDown->setObjectName(QStringLiteral("cmdDown"));

    // The address row across the top; Add and Remove share the right half of the box
    // (columns 2 and 3, together as wide as column 1); below, the list with Up and Down
    // stacked at its right edge.
    auto* top = new QGridLayout;
    top->setHorizontalSpacing(8);
    top->setVerticalSpacing(6);
    top->addWidget(Label1, 0, 0);
    top->addWidget(txtURL, 0, 1, 1, 3);
    top->addWidget(cmdAdd, 1, 2);
    top->addWidget(cmdRemove, 1, 3);
    top->setColumnStretch(1, 2);
    top->setColumnStretch(2, 1);
    top->setColumnStretch(3, 1);

    auto* upDown = new QVBoxLayout;
    upDown->setSpacing(6);
    upDown->addWidget(cmdUp);
    upDown->addWidget(cmdDown);
    upDown->addStretch(1);
    auto* listRow = new QHBoxLayout;
    listRow->setSpacing(8);
    listRow->addWidget(lstURL, 1);
    listRow->addLayout(upDown);

    auto* rows = new QVBoxLayout(central);
    rows->setContentsMargins(10, 10, 10, 10);
    rows->setSpacing(8);
    rows->addLayout(top);
    rows->addLayout(listRow, 1);
    cmdUp->setMinimumWidth(80);
    cmdDown->setMinimumWidth(80);

    setTabOrder(txtURL, cmdAdd);
    setTabOrder(cmdAdd, cmdRemove);
    setTabOrder(cmdRemove, lstURL);
    setTabOrder(lstURL, cmdUp);
    setTabOrder(cmdUp, cmdDown);

    connect(txtURL, &QLineEdit::textChanged, this, &frmRMMulti::txtURL_Change);
    connect(cmdAdd, &QPushButton::clicked, this, &frmRMMulti::cmdAdd_Click);
    connect(cmdRemove, &QPushButton::clicked, this, &frmRMMulti::cmdRemove_Click);
    connect(cmdUp, &QPushButton::clicked, this, &frmRMMulti::cmdUp_Click);
    connect(cmdDown, &QPushButton::clicked, this, &frmRMMulti::cmdDown_Click);
    txtURL->installEventFilter(this);

    resize(560, 380);
    setMinimumSize(380, 240);
}

void frmRMMulti::buildMenus() {
    auto addItem = [this](QMenu* menu, QList<QAction*>& items, const QString& caption,
                          const QKeySequence& shortcut, void (frmRMMulti::*handler)(int)) {
        const int index = int(items.size());
        QAction* action = menu->addAction(caption);
        action->setShortcut(shortcut);
        connect(action, &QAction::triggered, this,
                [this, handler, index] { (this->*handler)(index); });
        items.append(action);
    };
    auto addSeparator = [](QMenu* menu, QList<QAction*>& items) {
        items.append(menu->addSeparator());
    };
    const QKeySequence none;

    QMenu* file = menuBar()->addMenu(QStringLiteral("&File"));
    QMenu* edit = menuBar()->addMenu(QStringLiteral("&Edit"));
    QMenu* view = menuBar()->addMenu(QStringLiteral("&View"));
    QMenu* help = menuBar()->addMenu(QStringLiteral("&Help"));
    mnuMain = {file, edit, nullptr, view, help};

    QMenu* newMenu = file->addMenu(QStringLiteral("&New"));
    mnuFileM.append(newMenu->menuAction());
    addItem(newMenu, mnuNew, QStringLiteral("&Link..."), QKeySequence(QStringLiteral("Ctrl+N")),
            &frmRMMulti::mnuNew_Click);
    addItem(newMenu, mnuNew, QStringLiteral("&Window"), QKeySequence(QStringLiteral("Ctrl+W")),
            &frmRMMulti::mnuNew_Click);
    addSeparator(file, mnuFileM);
    addItem(file, mnuFileM, QStringLiteral("&Open..."), none, &frmRMMulti::mnuFileM_Click);
    addItem(file, mnuFileM, QStringLiteral("Open &Local"), none, &frmRMMulti::mnuFileM_Click);
    addItem(file, mnuFileM, QStringLiteral("&Save"), QKeySequence(QStringLiteral("Ctrl+S")),
            &frmRMMulti::mnuFileM_Click);
    addItem(file, mnuFileM, QStringLiteral("Save &As..."), none, &frmRMMulti::mnuFileM_Click);
    addSeparator(file, mnuFileM);
    addItem(file, mnuFileM, QStringLiteral("&Exit"), none, &frmRMMulti::mnuFileM_Click);

    addItem(edit, mnuEdit, QStringLiteral("&Copy"), QKeySequence(QStringLiteral("Ctrl+C")),
            &frmRMMulti::mnuEdit_Click);
    addItem(edit, mnuEdit, QStringLiteral("C&ut"), QKeySequence(QStringLiteral("Ctrl+X")),
            &frmRMMulti::mnuEdit_Click);
    addItem(edit, mnuEdit, QStringLiteral("&Paste"), QKeySequence(QStringLiteral("Ctrl+V")),
            &frmRMMulti::mnuEdit_Click);
    addSeparator(edit, mnuEdit);
    addItem(edit, mnuEdit, QStringLiteral("Select &All"), QKeySequence(QStringLiteral("Ctrl+A")),
            &frmRMMulti::mnuEdit_Click);

    addItem(view, mnuView, QStringLiteral("Properties..."), QKeySequence(QStringLiteral("Ctrl+P")),
            &frmRMMulti::mnuView_Click);

    addItem(help, mnuHelp, QStringLiteral("&Content"), QKeySequence(Qt::Key_F1),
            &frmRMMulti::mnuHelp_Click);
    addItem(help, mnuHelp, QStringLiteral("Feedback..."), none, &frmRMMulti::mnuHelp_Click);
    addItem(help, mnuHelp, QStringLiteral("Technical Support"), none, &frmRMMulti::mnuHelp_Click);
    QMenu* onWeb = help->addMenu(QStringLiteral("Tessaly on the Web"));
    mnuHelp.append(onWeb->menuAction());
    addItem(onWeb, mnuOnWeb, QStringLiteral("Orvane Editor Homepage"), none,
            &frmRMMulti::mnuOnWeb_Click);
    addItem(onWeb, mnuOnWeb, QStringLiteral("Tessaly Homepage"), none, &frmRMMulti::mnuOnWeb_Click);
    addSeparator(help, mnuHelp);
    addItem(help, mnuHelp, QStringLiteral("&About Orvane Editor..."), none,
            &frmRMMulti::mnuHelp_Click);
}

void frmRMMulti::Form_Load() {
    centreOnScreen(this);
    txtURL->setText(kNewAddress);
    urlChanged_ = false;
    setDocumentPath(QString());
    turnMainEditor(false);
}

void frmRMMulti::txtURL_Change() {
    urlChanged_ = true;
    discardConfirmed_ = false;
}

void frmRMMulti::setDocumentPath(const QString& path) {
    path_ = path;
    setWindowTitle(path.isEmpty() ? BaseTitle : BaseTitle + QStringLiteral(" - ") + path);
}

void frmRMMulti::turnMainEditor(bool on) {
    if (state_.mainEditor && state_.mainEditor != this) {
        state_.mainEditor->setEnabled(on);
    }
}

QStringList frmRMMulti::entries() const {
    return model_->entries();
}

int frmRMMulti::selectedIndex() const {
    const QModelIndexList selected = lstURL->selectionModel()->selectedIndexes();
    return selected.isEmpty() ? -1 : selected.first().row();
}

void frmRMMulti::selectEntry(int row) {
    const QModelIndex index = model_->index(row, 0);
    lstURL->selectionModel()->setCurrentIndex(index, QItemSelectionModel::ClearAndSelect);
    lstURL->scrollTo(index);
}

// ---- hand-over from the single-link editor's reader

void frmRMMulti::receiveFromReader(const QStringList& entries, const QString& path) {
    if (path_.isEmpty() && model_->count() == 0) {
        model_->setEntries(entries);
        urlChanged_ = false;
        discardConfirmed_ = false;
        setDocumentPath(path);
    } else {
        model_->appendAll(entries);
    }
}

// ---- file commands

void frmRMMulti::Open_RMLinkFile() {
    const QString path = state_.prompts.openFileName(this, kOpenFilter);
    if (!path.isEmpty()) {
        openFile(path);
    }
}

bool frmRMMulti::openFile(const QString& path) {
    ReadResult<LineStore> read = readRealMediaLines(path);
    if (!read.ok()) {
        showError(read.error);
        return false;
    }
    txtURL->setText(read.value.size() == 1 ? read.value.at(0) : kNewAddress);
    lstURL->selectionModel()->clear();
    model_->setLines(std::move(read.value));
    urlChanged_ = false;
    discardConfirmed_ = false;
    setDocumentPath(path);
    return true;
}

QString frmRMMulti::Create_RMLink(const QString& fileName) {
    if (fileName.isEmpty()) {
        return {};
    }
    // An empty list is saved as the one address in the box.
    const QStringList lines = model_->count() == 0 ? QStringList{txtURL->text()} : entries();
    const QString error = writeRealMedia(fileName, lines);
    if (error.isEmpty()) {
        urlChanged_ = false;
    }
    return error;
}

frmRMMulti::SaveResult frmRMMulti::saveLink() {
    if (path_.isEmpty()) {
        return Save_As_Link();
    }
    if (!urlChanged_) {
        return SaveResult::NothingToSave;
    }
    const QString error = Create_RMLink(path_);
    if (!error.isEmpty()) {
        showError(error);
        return SaveResult::Failed;
    }
    return SaveResult::Saved;
}

frmRMMulti::SaveResult frmRMMulti::Save_As_Link() {
    const QString path = state_.prompts.saveFileName(this, kSaveFilter);
    if (path.isEmpty()) {
        return SaveResult::Cancelled;
    }
    // Title and recent list change only once the file is really written.
    const QString error = Create_RMLink(path);
    if (!error.isEmpty()) {
        showError(error);
        return SaveResult::Failed;
    }
    setDocumentPath(path);
    if (!state_.recentFile.isEmpty()) {
        const QString recentError = RecentList::append(state_.recentFile, path);
        if (!recentError.isEmpty()) {
            state_.prompts.message(this, recentError, kMessageTitle, Prompts::Icon::Warning,
                                   Prompts::Buttons::Ok);
        }
    }
    return SaveResult::Saved;
}

frmRMMulti::SaveResult frmRMMulti::askToSave() {
    if (!urlChanged_) {
        return SaveResult::NothingToSave;
    }
    switch (state_.prompts.message(this, kSaveQuestion, kMessageTitle, Prompts::Icon::Question,
                                   Prompts::Buttons::YesNoCancel)) {
        case Prompts::Answer::Yes:
            // A cancelled save dialog stops the command too: going on would drop the
            // changes the user just asked to keep.
            return saveLink();
        case Prompts::Answer::No:
            return SaveResult::NothingToSave;
        default:
            return SaveResult::Cancelled;
    }
}

namespace {
bool mayGoOn(frmRMMulti::SaveResult result) {
    return result == frmRMMulti::SaveResult::Saved ||
           result == frmRMMulti::SaveResult::NothingToSave;
}
}  // namespace

void frmRMMulti::openLocal() {
    if (!mayGoOn(askToSave())) {
        return;
    }
    const QString path = state_.prompts.openFileName(this, kOpenLocalFilter);
    if (!path.isEmpty()) {
        txtURL->setText(QStringLiteral("file://") + path);
    }
}

void frmRMMulti::newLink() {
    if (mayGoOn(askToSave())) {
        txtURL->setText(kNewAddress);
    }
}

void frmRMMulti::newWindow() {
    auto* window = new frmRMMulti(state_);
    window->setAttribute(Qt::WA_DeleteOnClose);
    window->move(pos() + cascadeOffset(this));
    window->show();
}

void frmRMMulti::exitCommand() {
    turnMainEditor(true);
    closingByProgram_ = true;
    close();
    closingByProgram_ = false;
}

void frmRMMulti::closeEvent(QCloseEvent* event) {
    // Only the window system's close (title bar, system menu) is the user's own.
    const bool byUser = event->spontaneous() && !closingByProgram_;
    // When the program ends it has asked already; a No then needs no second question.
    const bool alreadyAsked = discardConfirmed_ && !byUser && !closingByProgram_;
    if (urlChanged_ && !alreadyAsked && !mayGoOn(askToSave())) {
        event->ignore();
        return;
    }
    if (byUser) {
        turnMainEditor(true);
    }
    event->accept();
    emit closed();
}

bool frmRMMulti::settleBeforeExit() {
    if (!urlChanged_) {
        return true;
    }
    if (isMinimized()) {
        showNormal();
    } else {
        show();
    }
    raise();
    activateWindow();
    txtURL->setFocus();
    const SaveResult result = askToSave();
    if (!mayGoOn(result)) {
        return false;
    }
    discardConfirmed_ = urlChanged_;
    return true;
}

// ---- menus

void frmRMMulti::mnuFileM_Click(int index) {
    switch (index) {
        case 2:
            if (mayGoOn(askToSave())) {
                Open_RMLinkFile();
            }
            break;
        case 3:
            openLocal();
            break;
        case 4:
            saveLink();
            break;
        case 5:
            Save_As_Link();
            break;
        case 7:
            exitCommand();
            break;
        default:
            break;
    }
}

void frmRMMulti::mnuNew_Click(int index) {
    if (index == 0) {
        newLink();
    } else if (index == 1) {
        newWindow();
    }
}

void frmRMMulti::mnuEdit_Click(int index) {
    switch (index) {
        case 0:
            EditCopyProc();
            break;
        case 1:
            EditCutProc();
            break;
        case 2:
            EditPasteProc();
            break;
        case 4:
            txtURL->setSelection(0, int(txtURL->text().size()));
            break;
        default:
            break;
    }
}

void frmRMMulti::mnuView_Click(int index) {
    if (index == 0 && state_.showOptions) {
        state_.showOptions(this);
    }
}

void frmRMMulti::mnuHelp_Click(int index) {
    // Unlike the single-link editor's, this about box does not hold up the window.
    HelpMenu::helpItem(state_, this, index, false);
}

void frmRMMulti::mnuOnWeb_Click(int index) {
    HelpMenu::onWebItem(state_, index);
}

QAction* frmRMMulti::fileAction(int index) const {
    return itemAt(mnuFileM, index);
}
QAction* frmRMMulti::newAction(int index) const {
    return itemAt(mnuNew, index);
}
QAction* frmRMMulti::editAction(int index) const {
    return itemAt(mnuEdit, index);
}
QAction* frmRMMulti::viewAction(int index) const {
    return itemAt(mnuView, index);
}
QAction* frmRMMulti::helpAction(int index) const {
    return itemAt(mnuHelp, index);
}
QAction* frmRMMulti::onWebAction(int index) const {
    return itemAt(mnuOnWeb, index);
}
QMenu* frmRMMulti::mainMenu(int index) const {
    return index >= 0 && index < mnuMain.size() ? mnuMain.at(index) : nullptr;
}

// ---- list buttons

void frmRMMulti::cmdAdd_Click() {
    const int row = model_->append(txtURL->text());
    selectEntry(row);
    urlChanged_ = true;
    discardConfirmed_ = false;
}

void frmRMMulti::cmdRemove_Click() {
    const int row = selectedIndex();
    if (row < 0) {
        return;
    }
    model_->removeEntry(row);
    lstURL->selectionModel()->clear();
    urlChanged_ = true;
    discardConfirmed_ = false;
}

void frmRMMulti::cmdUp_Click() {
    const int row = selectedIndex();
    if (model_->count() == 0 || row == 0) {
        endOfData();
        return;
    }
    if (row < 0) {
        return;
    }
    model_->exchangeWithNext(row - 1);
    selectEntry(row - 1);
    // The order is what the file holds, so a move is a change to save.
    urlChanged_ = true;
    discardConfirmed_ = false;
}

void frmRMMulti::cmdDown_Click() {
    const int row = selectedIndex();
    if (row + 1 == model_->count()) {
        endOfData();
        return;
    }
    if (row < 0) {
        return;
    }
    model_->exchangeWithNext(row);
    selectEntry(row + 1);
    urlChanged_ = true;
    discardConfirmed_ = false;
}

void frmRMMulti::endOfData() {
    state_.prompts.message(this, kEndOfData, kMessageTitle, Prompts::Icon::None,
                           Prompts::Buttons::Ok);
}

void frmRMMulti::showError(const QString& text) {
    state_.prompts.message(this, text, kMessageTitle, Prompts::Icon::Critical,
                           Prompts::Buttons::Ok);
}

// ---- Edit menu and drops on the address box

void frmRMMulti::EditCopyProc() {
    EditCommands::copy(txtURL);
}

void frmRMMulti::EditCutProc() {
    EditCommands::cut(txtURL);
}

void frmRMMulti::EditPasteProc() {
    EditCommands::paste(txtURL);
}

void frmRMMulti::txtURL_OLEDragOver() {
    txtURL->setFocus(Qt::OtherFocusReason);
}

void frmRMMulti::txtURL_OLEDragDrop(const QMimeData* data) {
    txtURL->setText(EditCommands::singleLine(data->text()));
}

bool frmRMMulti::eventFilter(QObject* watched, QEvent* event) {
    if (watched != txtURL) {
        return QMainWindow::eventFilter(watched, event);
    }
    switch (event->type()) {
        case QEvent::ShortcutOverride: {
            // Ctrl+C, X, V and A go to the Edit menu, so they work the same from the
            // keyboard and from the menu.
            auto* key = static_cast<QKeyEvent*>(event);
            if (key->matches(QKeySequence::Copy) || key->matches(QKeySequence::Cut) ||
                key->matches(QKeySequence::Paste) || key->matches(QKeySequence::SelectAll)) {
                event->ignore();
                return true;
            }
            break;
        }
        case QEvent::DragEnter:
        case QEvent::DragMove: {
            auto* drag = static_cast<QDragMoveEvent*>(event);
            txtURL_OLEDragOver();
            if (acceptsDrop(drag->mimeData())) {
                drag->setDropAction(Qt::CopyAction);
                drag->accept();
            } else {
                drag->ignore();
            }
            return true;
        }
        case QEvent::Drop: {
            auto* drop = static_cast<QDropEvent*>(event);
            if (acceptsDrop(drop->mimeData())) {
                txtURL_OLEDragDrop(drop->mimeData());
                drop->setDropAction(Qt::CopyAction);
                drop->accept();
            } else {
                drop->ignore();
            }
            return true;
        }
        default:
            break;
    }
    return QMainWindow::eventFilter(watched, event);
}
