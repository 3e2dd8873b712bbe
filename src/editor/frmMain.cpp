#include "frmMain.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QHBoxLayout>
#include <QKeySequence>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QMimeData>
#include <QPointer>
#include <QUrl>

#include "AppState.h"
#include "AppTitle.h"
#include "LinkFiles.h"
#include "LinkLaunchCheck.h"
#include "WindowCentring.h"
#include "Windows.h"

namespace {

// The window's fixed width in pixels: room for a long address on one line.
constexpr int WindowWidth = 520;

}  // namespace

frmMain::frmMain(AppState& state, QWidget* parent)
    : AddressEditorWindow(state, AppTitle, true, parent) {
    setObjectName(QStringLiteral("frmMain"));
    setAddress(QStringLiteral("txtURL"));
    txtURL->setToolTip(QStringLiteral("Enter Your  Link Here"));
    txtURL->setAcceptDrops(true);

    auto* central = new QWidget(this);
    auto* row = new QHBoxLayout(central);
    row->setContentsMargins(12, 14, 12, 14);
    row->setSpacing(8);
    row->addWidget(Label1);
    row->addWidget(txtURL, 1);
    setCentralWidget(central);

    buildMenus(QStringLiteral("Open &Local..."));
    buildLinkMenu();
    Form_Load();
}

frmMain::~frmMain() = default;

void frmMain::buildLinkMenu() {
    auto* link = new QMenu(QStringLiteral("&Link"), this);
    menuBar()->insertMenu(mnuMain[3]->menuAction(), link);
    mnuMain[2] = link;
    const QKeySequence none;
    const auto linkItem = [this](int index) { mnuLink_Click(index); };
    const auto playListItem = [this](int index) { mnuPlayList_Click(index); };
    addItem(link, mnuLink, QStringLiteral("&Browse the Link..."),
            QKeySequence(Qt::CTRL | Qt::Key_B), linkItem);
    addItem(link, mnuLink, QStringLiteral("T&est the Link..."), QKeySequence(Qt::CTRL | Qt::Key_T),
            linkItem);
    mnuLink.append(link->addSeparator());
    addItem(link, mnuLink, QStringLiteral("&FTP Link"), none, linkItem);
    addItem(link, mnuLink, QStringLiteral("&Gopther Link"), none, linkItem);
    QMenu* realAudio = link->addMenu(QStringLiteral("&RealAudio Link"));
    mnuLink.append(realAudio->menuAction());
    addItem(realAudio, mnuPlayList, QStringLiteral("&With Play List"),
            QKeySequence(Qt::CTRL | Qt::Key_L), playListItem);
    addItem(realAudio, mnuPlayList, QStringLiteral("With&out Play List"), none, playListItem);
    addItem(link, mnuLink, QStringLiteral("&Telnet Link"), none, linkItem);
    addItem(link, mnuLink, QStringLiteral("&Web Link"), none, linkItem);
    addItem(link, mnuLink, QStringLiteral("Web ( &SSL ) Link"), none, linkItem);
    for (int index : {Ftp, Gopher, Telnet, Web, SecureWeb}) {
        mnuLink[index]->setCheckable(true);
    }
    for (QAction* action : mnuPlayList) {
        action->setCheckable(true);
    }
}

void frmMain::Form_Load() {
    mnuLink[Web]->setChecked(true);
    // A fixed single border: the window keeps the size its contents need.
    setFixedSize(WindowWidth, sizeHint().height());
    centreOnScreen(this);
    setUrlChanged(false);
    ++noForm_;
}

QAction* frmMain::linkAction(int index) const {
    return index >= 0 && index < mnuLink.size() ? mnuLink[index] : nullptr;
}

QAction* frmMain::playListAction(int index) const {
    return index >= 0 && index < mnuPlayList.size() ? mnuPlayList[index] : nullptr;
}

QString frmMain::openFilter() const {
    return QStringLiteral("Internet Link ( *.url )|*.url|RealMedia Link ( *.ram )|*.ram");
}

QString frmMain::saveFilter() const {
    return linkKind_ == LinkKind::RM ? QStringLiteral("RealPlayer Link ( *.ram )|*.ram")
                                     : QStringLiteral("Internet Link ( *.url )|*.url");
}

QString frmMain::writeDocument(const QString& path, bool sameFile) {
    if (linkKind_ == LinkKind::RM) {
        return writeRealMedia(path, {address()});
    }
    // Back to the file it came from, a shortcut keeps its icon, hot key and other keys.
    return writeInternetShortcut(path, address(), sameFile);
}

// ---- Reading

void frmMain::Open_LinkFile(const QString& fileName) {
    const ReadResult<QString> shortcut = readInternetShortcut(fileName);
    if (!shortcut.ok()) {
        document_.showError(shortcut.error);
        return;
    }
    setAddress(shortcut.value);
}

void frmMain::Open_RMLinkFile(const QString& fileName) {
    if (fileName.isEmpty()) {
        setUrlChanged(false);
        return;
    }
    readRealMediaFile(fileName, false);
}

bool frmMain::readRealMediaFile(const QString& fileName, bool setsKind) {
    const ReadResult<QStringList> lines = ::readRealMedia(fileName);
    if (!lines.ok()) {
        document_.showError(lines.error);
        return false;
    }
    if (lines.value.size() > 1) {
        // A play list is the play-list window's document; saving one line over it would
        // destroy it, so this window keeps its own link and file.
        state_.windows().sendToPlayList(lines.value, fileName);
        return true;
    }
    if (lines.value.size() == 1) {
        setAddress(lines.value.first());
    }
    if (setsKind) {
        linkKind_ = LinkKind::RM;
        document_.setPath(fileName);
    }
    setUrlChanged(false);
    return true;
}

bool frmMain::openFile(const QString& fileName) {
    switch (linkFileType(fileName)) {
        case LinkFileType::RealMedia:
            return readRealMediaFile(fileName, true);
        case LinkFileType::InternetShortcut: {
            const ReadResult<QString> shortcut = readInternetShortcut(fileName);
            if (!shortcut.ok()) {
                document_.showError(shortcut.error);
                return false;
            }
            setAddress(shortcut.value);
            recognizeKind();
            break;
        }
        case LinkFileType::Other:
            // Titling the window with it would make the next Save overwrite that file.
            document_.showError(QStringLiteral("The file \"%1\" could not be opened: it is not "
                                               "a link file (an Internet shortcut *.url or a "
                                               "RealMedia link *.ram).")
                                    .arg(fileName));
            return false;
    }
    document_.setPath(fileName);
    setUrlChanged(false);
    return true;
}

void frmMain::recognizeKind() {
    linkKind_ = LinkKind::Web;
    if (const std::optional<int> index = recognizedMenuIndex(address())) {
        for (int i = 0; i <= SecureWeb; ++i) {
            mnuLink[i]->setChecked(i == *index);
        }
    }
}

// ---- File menu and closing

void frmMain::newLink() {
    state_.windows().showWizard(this, this);
}

AddressEditorWindow* frmMain::makeAnother() {
    return new frmMain(state_);
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
    state_.windows().endProgram();
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
    if (!mayClose(true)) {
        event->ignore();
        return;
    }
    if (!closingByProgram_) {
        --noForm_;
    }
    event->accept();
}

// ---- Link menu

void frmMain::mnuLink_Click(int index) {
    switch (index) {
        case Browse:
            browseLink();
            break;
        case Test:
            state_.windows().startLinkTest(this, address());
            break;
        case Ftp:
        case Gopher:
        case Telnet:
        case Web:
        case SecureWeb:
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
    for (int i = Ftp; i <= SecureWeb; ++i) {
        mnuLink[i]->setChecked(i == index);
    }
}

void frmMain::mnuPlayList_Click(int index) {
    if (index != WithPlayList && index != WithoutPlayList) {
        return;
    }
    if (index == WithoutPlayList) {
        setAddress(switchToRealMedia(address()));
    }
    mnuPlayList[WithPlayList]->setChecked(index == WithPlayList);
    mnuPlayList[WithoutPlayList]->setChecked(index == WithoutPlayList);
    linkKind_ = LinkKind::RM;
    if (index == WithPlayList) {
        state_.windows().showPlayList(true);
    }
}

void frmMain::browseLink() {
    const QString link = address();
    const QString program = localProgramPath(link);
    if (!program.isEmpty()) {
        document_.showError(QStringLiteral("The link \"%1\" was not opened: it leads to a program "
                                           "or a desktop launcher on this computer (%2), and "
                                           "Orvane Editor does not start programs.")
                                .arg(link, program));
        return;
    }
    state_.openAddress(this, link);
}

// ---- Drops

bool frmMain::acceptsDrop(const QMimeData* data) const {
    return data->hasUrls() || data->hasText();
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
        setAddress(data->text());
    }
}
