#include "frmMain.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QDragEnterEvent>
#include <QDragMoveEvent>
#include <QDropEvent>
#include <QFont>
#include <QHBoxLayout>
#include <QKeySequence>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QMimeData>
#include <QPointer>
#include <QTimer>
#include <QUrl>
#include <memory>

#include "AppState.h"
#include "EditCommands.h"
#include "HelpMenu.h"
#include "LinkFiles.h"
#include "LinkLaunchCheck.h"
#include "Prompts.h"
#include "RecentList.h"
#include "Shell.h"
#include "WindowCentring.h"

const QString frmMain::BaseTitle = QStringLiteral("Orvane Editor");

namespace {

const QString OpenFilter =
    QStringLiteral("Internet Link ( *.url )|*.url|RealMedia Link ( *.ram )|*.ram");
const QString OpenLocalFilter = QStringLiteral("All Files ( *.* )|*.*");
const QString SaveRealMediaFilter = QStringLiteral("RealPlayer Link ( *.ram )|*.ram");
const QString SaveShortcutFilter = QStringLiteral("Internet Link ( *.url )|*.url");
const QString UnsavedQuestion =
    QStringLiteral("You have not yet saved your link. Do you want to save it now ?");

// The window's fixed size in pixels: room for a long address on one line.
constexpr int WindowWidth = 520;

bool stopsCommand(frmMain::SaveResult result) {
    return result == frmMain::SaveResult::Cancelled || result == frmMain::SaveResult::Failed;
}

// One menu item of an array: caption, shortcut and the array's handler with its index.
QAction* addItem(QMenu* menu, const QString& caption, const QKeySequence& shortcut) {
    QAction* action = menu->addAction(caption);
    action->setShortcut(shortcut);
    return action;
}

}  // namespace

frmMain::frmMain(AppState& state, QWidget* parent) : QMainWindow(parent), state_(state) {
    setAttribute(Qt::WA_DeleteOnClose);
    setObjectName(QStringLiteral("frmMain"));
    setFont(QFont(QStringLiteral("Arial"), 10));
    setWindowTitle(BaseTitle);
    buildControls();
    buildMenus();
    Form_Load();
    state_.addEditorWindow(this, this);
}

frmMain::~frmMain() = default;

void frmMain::buildControls() {
    auto* central = new QWidget(this);
    auto* row = new QHBoxLayout(central);
    row->setContentsMargins(12, 14, 12, 14);
    row->setSpacing(8);

    Label1 = new QLabel(QStringLiteral("URL :"), central);
    Label1->setObjectName(QStringLiteral("Label1"));
    txtURL = new QLineEdit(QStringLiteral("txtURL"), central);
    txtURL->setObjectName(QStringLiteral("txtURL"));
    txtURL->setToolTip(QStringLiteral("Enter Your  Link Here"));
    txtURL->setAcceptDrops(true);
    txtURL->installEventFilter(this);
    Label1->setBuddy(txtURL);

    row->addWidget(Label1);
    row->addWidget(txtURL, 1);
    setCentralWidget(central);

    connect(txtURL, &QLineEdit::textChanged, this, &frmMain::txtURL_Change);
}

void frmMain::buildMenus() {
    QMenuBar* bar = menuBar();
    for (const char* caption : {"&File", "&Edit", "&Link", "&View", "&Help"}) {
        mnuMain.append(bar->addMenu(QString::fromLatin1(caption)));
    }
    QMenu* file = mnuMain[0];
    QMenu* edit = mnuMain[1];
    QMenu* link = mnuMain[2];
    QMenu* view = mnuMain[3];
    QMenu* help = mnuMain[4];

    // File
    QMenu* newMenu = file->addMenu(QStringLiteral("&New"));
    mnuFileM.append(newMenu->menuAction());
    mnuNew.append(addItem(newMenu, QStringLiteral("&Link..."), QKeySequence(Qt::CTRL | Qt::Key_N)));
    mnuNew.append(addItem(newMenu, QStringLiteral("&Window"), QKeySequence(Qt::CTRL | Qt::Key_W)));
    mnuFileM.append(file->addSeparator());
    mnuFileM.append(addItem(file, QStringLiteral("&Open..."), {}));
    mnuFileM.append(addItem(file, QStringLiteral("Open &Local..."), {}));
    mnuFileM.append(addItem(file, QStringLiteral("&Save"), QKeySequence(Qt::CTRL | Qt::Key_S)));
    mnuFileM.append(addItem(file, QStringLiteral("Save &As..."), {}));
    mnuFileM.append(file->addSeparator());
    mnuFileM.append(addItem(file, QStringLiteral("&Exit"), {}));

    // Edit
    mnuEdit.append(addItem(edit, QStringLiteral("&Copy"), QKeySequence(Qt::CTRL | Qt::Key_C)));
    mnuEdit.append(addItem(edit, QStringLiteral("C&ut"), QKeySequence(Qt::CTRL | Qt::Key_X)));
    mnuEdit.append(addItem(edit, QStringLiteral("&Paste"), QKeySequence(Qt::CTRL | Qt::Key_V)));
    mnuEdit.append(edit->addSeparator());
    mnuEdit.append(
        addItem(edit, QStringLiteral("Select &All"), QKeySequence(Qt::CTRL | Qt::Key_A)));

    // Link
    mnuLink.append(
        addItem(link, QStringLiteral("&Browse the Link..."), QKeySequence(Qt::CTRL | Qt::Key_B)));
    mnuLink.append(
        addItem(link, QStringLiteral("T&est the Link..."), QKeySequence(Qt::CTRL | Qt::Key_T)));
    mnuLink.append(link->addSeparator());
    mnuLink.append(addItem(link, QStringLiteral("&FTP Link"), {}));
    mnuLink.append(addItem(link, QStringLiteral("&Gopther Link"), {}));
    QMenu* realAudio = link->addMenu(QStringLiteral("&RealAudio Link"));
    mnuLink.append(realAudio->menuAction());
    mnuPlayList.append(
        addItem(realAudio, QStringLiteral("&With Play List"), QKeySequence(Qt::CTRL | Qt::Key_L)));
    mnuPlayList.append(addItem(realAudio, QStringLiteral("With&out Play List"), {}));
    mnuLink.append(addItem(link, QStringLiteral("&Telnet Link"), {}));
    mnuLink.append(addItem(link, QStringLiteral("&Web Link"), {}));
    mnuLink.append(addItem(link, QStringLiteral("Web ( &SSL ) Link"), {}));
    for (int index : {3, 4, 6, 7, 8}) {
        mnuLink[index]->setCheckable(true);
    }
    for (QAction* action : mnuPlayList) {
        action->setCheckable(true);
    }

    // View
    mnuView.append(
        addItem(view, QStringLiteral("Properties..."), QKeySequence(Qt::CTRL | Qt::Key_P)));

    // Help
    mnuHelp.append(addItem(help, QStringLiteral("&Content"), QKeySequence(Qt::Key_F1)));
    mnuHelp.append(addItem(help, QStringLiteral("Feedback..."), {}));
    mnuHelp.append(addItem(help, QStringLiteral("Technical Support"), {}));
    QMenu* onWeb = help->addMenu(QStringLiteral("Tessaly on the Web"));
    mnuHelp.append(onWeb->menuAction());
    mnuOnWeb.append(addItem(onWeb, QStringLiteral("Orvane Editor Homepage"), {}));
    mnuOnWeb.append(addItem(onWeb, QStringLiteral("Tessaly Homepage"), {}));
    mnuHelp.append(help->addSeparator());
    mnuHelp.append(addItem(help, QStringLiteral("&About Orvane Editor..."), {}));

    // One handler per array, told the item's index.
    const auto wire = [this](const QList<QAction*>& items, void (frmMain::*handler)(int)) {
        for (int index = 0; index < items.size(); ++index) {
            QAction* action = items[index];
            if (action->isSeparator() || action->menu() != nullptr) {
                continue;
            }
            connect(action, &QAction::triggered, this,
                    [this, handler, index] { (this->*handler)(index); });
        }
    };
    wire(mnuFileM, &frmMain::mnuFileM_Click);
    wire(mnuNew, &frmMain::mnuNew_Click);
    wire(mnuEdit, &frmMain::mnuEdit_Click);
    wire(mnuLink, &frmMain::mnuLink_Click);
    wire(mnuPlayList, &frmMain::mnuPlayList_Click);
    wire(mnuView, &frmMain::mnuView_Click);
    wire(mnuHelp, &frmMain::mnuHelp_Click);
    wire(mnuOnWeb, &frmMain::mnuOnWeb_Click);
}

void frmMain::Form_Load() {
    mnuLink[7]->setChecked(true);

    // A fixed single border: the window keeps the size its contents need.
    setFixedSize(WindowWidth, sizeHint().height());
    centreOnScreen(this);

    urlChanged_ = false;
    ++noForm_;
}

void frmMain::txtURL_Change() {
    urlChanged_ = true;
}

void frmMain::setAddress(const QString& text) {
    txtURL->setText(text);
}

QString frmMain::address() const {
    return txtURL->text();
}

QString frmMain::documentPath() const {
    const QString prefix = BaseTitle + QStringLiteral(" - ");
    const QString title = windowTitle();
    return title.startsWith(prefix) ? title.mid(prefix.size()) : QString();
}

static QAction* itemAt(const QList<QAction*>& items, int index) {
    return index >= 0 && index < items.size() ? items[index] : nullptr;
}

QAction* frmMain::fileAction(int index) const {
    return itemAt(mnuFileM, index);
}
QAction* frmMain::newAction(int index) const {
    return itemAt(mnuNew, index);
}
QAction* frmMain::editAction(int index) const {
    return itemAt(mnuEdit, index);
}
QAction* frmMain::linkAction(int index) const {
    return itemAt(mnuLink, index);
}
QAction* frmMain::playListAction(int index) const {
    return itemAt(mnuPlayList, index);
}
QAction* frmMain::viewAction(int index) const {
    return itemAt(mnuView, index);
}
QAction* frmMain::helpAction(int index) const {
    return itemAt(mnuHelp, index);
}
QAction* frmMain::onWebAction(int index) const {
    return itemAt(mnuOnWeb, index);
}
QMenu* frmMain::mainMenu(int index) const {
    return index >= 0 && index < mnuMain.size() ? mnuMain[index] : nullptr;
}

void frmMain::showError(const QString& text) {
    state_.prompts.message(this, text, BaseTitle, Prompts::Icon::Warning, Prompts::Buttons::Ok);
}

// ---- Reading -------------------------------------------------------------------------------

void frmMain::Open_LinkFile(const QString& fileName) {
    const ReadResult<QString> shortcut = readInternetShortcut(fileName);
    if (!shortcut.ok()) {
        showError(shortcut.error);
        return;
    }
    setAddress(shortcut.value);
}

void frmMain::Open_RMLinkFile(const QString& fileName) {
    if (fileName.isEmpty()) {
        urlChanged_ = false;
        return;
    }
    const ReadResult<QStringList> lines = readRealMedia(fileName);
    if (!lines.ok()) {
        showError(lines.error);
        return;
    }
    if (lines.value.size() > 1) {
        // A play list is the play-list window's document; this window stays as it was.
        if (state_.sendToPlayList) {
            state_.sendToPlayList(lines.value, fileName);
        }
        return;
    }
    if (lines.value.size() == 1) {
        setAddress(lines.value.first());
    }
    urlChanged_ = false;
}

bool frmMain::openFile(const QString& fileName) {
    switch (linkFileType(fileName)) {
        case LinkFileType::RealMedia: {
            const ReadResult<QStringList> lines = readRealMedia(fileName);
            if (!lines.ok()) {
                showError(lines.error);
                return false;
            }
            if (lines.value.size() > 1) {
                // Saving one line over a play list would destroy it: the play-list window
                // takes the entries, and this window keeps its own link and file.
                if (state_.sendToPlayList) {
                    state_.sendToPlayList(lines.value, fileName);
                }
                return true;
            }
            if (lines.value.size() == 1) {
                setAddress(lines.value.first());
            }
            linkKind_ = LinkKind::RM;
            break;
        }
        case LinkFileType::InternetShortcut: {
            const ReadResult<QString> shortcut = readInternetShortcut(fileName);
            if (!shortcut.ok()) {
                showError(shortcut.error);
                return false;
            }
            setAddress(shortcut.value);
            recognizeKind();
            break;
        }
        case LinkFileType::Other:
            // Titling the window with it would make the next Save overwrite that file.
            showError(QStringLiteral("The file \"%1\" could not be opened: it is not a link "
                                     "file (an Internet shortcut *.url or a RealMedia link "
                                     "*.ram).")
                          .arg(fileName));
            return false;
    }
    setWindowTitle(BaseTitle + QStringLiteral(" - ") + fileName);
    urlChanged_ = false;
    return true;
}

void frmMain::recognizeKind() {
    linkKind_ = LinkKind::Web;
    if (const std::optional<int> index = recognizedMenuIndex(address())) {
        for (int i = 0; i <= 8; ++i) {
            mnuLink[i]->setChecked(i == *index);
        }
    }
}

// ---- Saving --------------------------------------------------------------------------------

QString frmMain::writeLink(const QString& path, bool keepOtherKeys) {
    if (linkKind_ == LinkKind::RM) {
        return writeRealMedia(path, {address()});
    }
    return writeInternetShortcut(path, address(), keepOtherKeys);
}

frmMain::SaveResult frmMain::saveLink(SaveMode mode) {
    if (windowTitle() == BaseTitle) {
        return Save_As_Link(mode);
    }
    if (!urlChanged_) {
        return SaveResult::NothingToSave;
    }
    // Back to the file it came from: a shortcut keeps its icon, hot key and other keys.
    const QString error = writeLink(documentPath(), true);
    if (!error.isEmpty()) {
        showError(error);
        return SaveResult::Failed;
    }
    urlChanged_ = false;
    return SaveResult::Saved;
}

frmMain::SaveResult frmMain::Save_As_Link(SaveMode mode) {
    const QString filter = linkKind_ == LinkKind::RM ? SaveRealMediaFilter : SaveShortcutFilter;
    const QString path = state_.prompts.saveFileName(this, filter);
    if (path.isEmpty()) {
        // Closing stops here; any other command goes on without a save.
        return mode == SaveMode::Unload ? SaveResult::Cancelled : SaveResult::NothingToSave;
    }
    // The title changes only once the file is really written, so a failed save leaves the
    // window pointing at its old file.
    const QString error = writeLink(path, false);
    if (!error.isEmpty()) {
        showError(error);
        return SaveResult::Failed;
    }
    setWindowTitle(BaseTitle + QStringLiteral(" - ") + path);
    urlChanged_ = false;
    const QString recentError = RecentList::append(state_.recentFile, path);
    if (!recentError.isEmpty()) {
        showError(QStringLiteral("The link was saved to \"%1\", but it could not be added to "
                                 "the recent links list.\n\n%2")
                      .arg(path, recentError));
    }
    return SaveResult::Saved;
}

frmMain::SaveResult frmMain::askToSave(SaveMode mode) {
    if (!urlChanged_) {
        return SaveResult::NothingToSave;
    }
    switch (state_.prompts.message(this, UnsavedQuestion, BaseTitle, Prompts::Icon::Question,
                                   Prompts::Buttons::YesNoCancel)) {
        case Prompts::Answer::Yes: {
            // A save dialog cancelled after Yes stops the command too: going on would replace
            // the address the user just asked to keep.
            const SaveResult result = saveLink(mode);
            return result == SaveResult::NothingToSave && urlChanged_ ? SaveResult::Cancelled
                                                                      : result;
        }
        case Prompts::Answer::No:
            return SaveResult::NothingToSave;
        case Prompts::Answer::Ok:
        case Prompts::Answer::Cancel:
            break;
    }
    return SaveResult::Cancelled;
}

// ---- File and View menus -------------------------------------------------------------------

void frmMain::mnuFileM_Click(int index) {
    switch (index) {
        case 2:
            Open_Link();
            break;
        case 3:
            openLocal();
            break;
        case 4:
            saveLink(SaveMode::Load);
            break;
        case 5:
            Save_As_Link(SaveMode::Load);
            break;
        case 7:
            exitCommand();
            break;
        default:
            break;
    }
}

void frmMain::mnuNew_Click(int index) {
    if (index == 0) {
        if (stopsCommand(askToSave(SaveMode::Load))) {
            return;
        }
        if (state_.showWizard) {
            state_.showWizard(this);
        }
    } else if (index == 1) {
        newWindow();
    }
}

void frmMain::mnuView_Click(int index) {
    if (index == 0 && state_.showOptions) {
        state_.showOptions(this);
    }
}

void frmMain::Open_Link() {
    if (stopsCommand(askToSave(SaveMode::Load))) {
        return;
    }
    const QString path = state_.prompts.openFileName(this, OpenFilter);
    if (path.isEmpty()) {
        urlChanged_ = false;
        return;
    }
    openFile(path);
}

void frmMain::openLocal() {
    if (stopsCommand(askToSave(SaveMode::Load))) {
        return;
    }
    const QString path = state_.prompts.openFileName(this, OpenLocalFilter);
    if (!path.isEmpty()) {
        setAddress(QStringLiteral("file://") + path);
    }
}

void frmMain::newWindow() {
    auto* window = new frmMain(state_);
    window->show();
    // 200 twips, at 1440 twips to the inch.
    const QPoint offset(qRound(200.0 * logicalDpiX() / 1440.0),
                        qRound(200.0 * logicalDpiY() / 1440.0));
    window->move(pos() + offset);
}

void frmMain::exitCommand() {
    if (noForm_ != 0) {
        const QPointer<frmMain> self(this);
        closingByProgram_ = true;
        close();
        if (self) {
            closingByProgram_ = false;
        }
        return;
    }
    // Nothing changed is dropped without asking: every editor window is asked first.
    if (state_.settleAllBeforeExit()) {
        endProgram();
    }
}

void frmMain::endProgram() {
    // Every changed link has been settled: the windows go without asking again.
    for (QWidget* window : QApplication::topLevelWidgets()) {
        if (window->isVisible()) {
            window->hide();
        }
    }
    for (QWidget* editor : state_.editorWindows()) {
        editor->deleteLater();
    }
    if (state_.quitApplication) {
        state_.quitApplication();
    }
}

bool frmMain::settleBeforeExit() {
    if (isMinimized()) {
        showNormal();
    }
    raise();
    activateWindow();
    return !stopsCommand(askToSave(SaveMode::Unload));
}

void frmMain::closeEvent(QCloseEvent* event) {
    if (!closingByProgram_ && noForm_ == 0) {
        // The main window closed by the user ends the program, once every changed editor
        // window (this one first) has been asked.
        if (!state_.settleAllBeforeExit()) {
            event->ignore();
            return;
        }
        event->accept();
        endProgram();
        return;
    }
    if (stopsCommand(askToSave(SaveMode::Unload))) {
        event->ignore();
        return;
    }
    if (!closingByProgram_) {
        --noForm_;
    }
    event->accept();
}

// ---- Link menu -----------------------------------------------------------------------------

void frmMain::mnuLink_Click(int index) {
    switch (index) {
        case 0:
            browseLink();
            break;
        case 1:
            if (state_.startLinkTest) {
                state_.startLinkTest(this, address());
            }
            break;
        case 3:
        case 4:
        case 6:
        case 7:
        case 8:
            switchKind(index);
            break;
        default:
            break;
    }
}

void frmMain::switchKind(int index) {
    for (const KindInfo& info : linkKinds()) {
        if (!info.inPlayListMenu && info.menuIndex == index) {
            setAddress(switchSchemeWord(address(), info.schemeWord));
            break;
        }
    }
    linkKind_ = LinkKind::Web;
    for (int i = 3; i <= 8; ++i) {
        mnuLink[i]->setChecked(i == index);
    }
}

void frmMain::mnuPlayList_Click(int index) {
    if (index == 0) {
        mnuPlayList[0]->setChecked(true);
        mnuPlayList[1]->setChecked(false);
        linkKind_ = LinkKind::RM;
        if (state_.showPlayList) {
            state_.showPlayList(true);
        }
    } else if (index == 1) {
        setAddress(switchToRealMedia(address()));
        mnuPlayList[0]->setChecked(false);
        mnuPlayList[1]->setChecked(true);
        linkKind_ = LinkKind::RM;
    }
}

void frmMain::browseLink() {
    const QString link = address();
    const QString program = localProgramPath(link);
    if (!program.isEmpty()) {
        showError(QStringLiteral("The link \"%1\" was not opened: it leads to a program or a "
                                 "desktop launcher on this computer (%2), and Orvane Editor "
                                 "does not start programs.")
                      .arg(link, program));
        return;
    }
    if (!state_.shell.open(link)) {
        showError(QStringLiteral("The link \"%1\" could not be opened: the desktop has no "
                                 "program that opens it.")
                      .arg(link));
    }
}

// ---- Help menu -----------------------------------------------------------------------------

void frmMain::mnuHelp_Click(int index) {
    HelpMenu::helpItem(state_, this, index, true);
}

void frmMain::mnuOnWeb_Click(int index) {
    HelpMenu::onWebItem(state_, index);
}

// ---- Edit menu and drops -------------------------------------------------------------------

void frmMain::mnuEdit_Click(int index) {
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
            txtURL->selectAll();
            break;
        default:
            break;
    }
}

void frmMain::EditCopyProc() {
    EditCommands::copy(txtURL);
}

void frmMain::EditCutProc() {
    EditCommands::cut(txtURL);
}

void frmMain::EditPasteProc() {
    EditCommands::paste(txtURL);
}

void frmMain::txtURL_OLEDragOver() {
    txtURL->setFocus(Qt::OtherFocusReason);
}

void frmMain::txtURL_OLEDragDrop(const QMimeData* data) {
    // A file manager sends a dragged file both as a URL list and as the text of its URL:
    // the file list comes first, so the file is read rather than its name pasted.
    const QList<QUrl> urls = data->urls();
    if (!urls.isEmpty() && urls.first().isLocalFile()) {
        const QString file = urls.first().toLocalFile();
        switch (linkFileType(file)) {
            case LinkFileType::InternetShortcut:
                Open_LinkFile(file);
                break;
            case LinkFileType::RealMedia:
                Open_RMLinkFile(file);
                break;
            case LinkFileType::Other:
                break;
        }
        return;
    }
    if (data->hasText()) {
        setAddress(EditCommands::singleLine(data->text()));
    }
}

bool frmMain::eventFilter(QObject* watched, QEvent* event) {
    if (watched != txtURL) {
        return QMainWindow::eventFilter(watched, event);
    }
    switch (event->type()) {
        case QEvent::DragEnter:
        case QEvent::DragMove: {
            auto* drag = static_cast<QDragMoveEvent*>(event);
            txtURL_OLEDragOver();
            if (drag->mimeData()->hasUrls() || drag->mimeData()->hasText()) {
                // Always a copy: a move would let a file manager delete the dropped file.
                drag->setDropAction(Qt::CopyAction);
                drag->accept();
            } else {
                drag->ignore();
            }
            return true;
        }
        case QEvent::Drop: {
            auto* drop = static_cast<QDropEvent*>(event);
            drop->setDropAction(Qt::CopyAction);
            drop->accept();
            // Read the drop once the drag has ended: a message about a bad file must not
            // hold the dragging program waiting for the drop to finish.
            auto data = std::make_shared<QMimeData>();
            data->setUrls(drop->mimeData()->urls());
            if (drop->mimeData()->hasText()) {
                data->setText(drop->mimeData()->text());
            }
            QTimer::singleShot(0, this, [this, data] { txtURL_OLEDragDrop(data.get()); });
            return true;
        }
        default:
            break;
    }
    return QMainWindow::eventFilter(watched, event);
}
