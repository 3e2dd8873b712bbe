#include "AddressEditorWindow.h"

#include <QAction>
#include <QClipboard>
#include <QDropEvent>
#include <QFocusEvent>
#include <QFont>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QMimeData>
#include <QTimer>
#include <QUrl>
#include <QValidator>
#include <limits>
#include <memory>

#include "AppState.h"
#include "Prompts.h"
#include "WebPages.h"
#include "Windows.h"

namespace {

const QString OpenLocalFilter = QStringLiteral("All Files ( *.* )|*.*");

// An address is one line: a break inside it would be saved as a second line of a RealMedia
// file. The box runs every way text enters it through its validator (typing, the Edit menu,
// its keys and context menu, middle-click paste, drops, setText), so the breaks go there.
class SingleLineValidator final : public QValidator {
public:
    using QValidator::QValidator;
    State validate(QString& input, int& pos) const override {
        qsizetype before = 0;
        for (qsizetype i = 0; i < input.size() && i < pos; ++i) {
            before += input[i] == u'\r' || input[i] == u'\n' ? 1 : 0;
        }
        input.remove(QLatin1Char('\r'));
        input.remove(QLatin1Char('\n'));
        pos -= int(before);
        return Acceptable;
    }
};

QAction* itemAt(const QList<QAction*>& items, int index) {
    return index >= 0 && index < items.size() ? items[index] : nullptr;
}

}  // namespace

AddressEditorWindow::AddressEditorWindow(AppState& state, const QString& baseTitle, bool aboutModal,
                                         QWidget* parent)
    : QMainWindow(parent),
      state_(state),
      document_(state.prompts, this, baseTitle, state.recentFile),
      aboutModal_(aboutModal) {
    setAttribute(Qt::WA_DeleteOnClose);
    setFont(QFont(QStringLiteral("Arial"), 10));
    document_.writer = [this](const QString& path, bool sameFile) {
        return writeDocument(path, sameFile);
    };
    document_.saveFilter = [this] { return saveFilter(); };
    document_.pathChanged = [this] { setWindowTitle(document_.title()); };
    setWindowTitle(document_.title());

    Label1 = new QLabel(QStringLiteral("URL :"), this);
    Label1->setObjectName(QStringLiteral("Label1"));
    txtURL = new QLineEdit(this);
    txtURL->setObjectName(QStringLiteral("txtURL"));
    // An address may be longer than a line edit's default limit of 32767 characters, and
    // cutting it would write the cut address back at the next save.
    txtURL->setMaxLength(std::numeric_limits<int>::max());
    txtURL->setValidator(new SingleLineValidator(txtURL));
    txtURL->installEventFilter(this);
    Label1->setBuddy(txtURL);
    connect(txtURL, &QLineEdit::textChanged, this, [this] { document_.setChanged(true); });
    state_.addEditorWindow(this);
}

AddressEditorWindow::~AddressEditorWindow() = default;

QAction* AddressEditorWindow::addItem(QMenu* menu, QList<QAction*>& items, const QString& caption,
                                      const QKeySequence& shortcut,
                                      std::function<void(int)> handler) {
    QAction* action = menu->addAction(caption);
    action->setShortcut(shortcut);
    const int index = int(items.size());
    connect(action, &QAction::triggered, menu, [handler, index] { handler(index); });
    items.append(action);
    return action;
}

void AddressEditorWindow::buildMenus(const QString& openLocalCaption) {
    QMenu* file = menuBar()->addMenu(QStringLiteral("&File"));
    QMenu* edit = menuBar()->addMenu(QStringLiteral("&Edit"));
    QMenu* view = menuBar()->addMenu(QStringLiteral("&View"));
    QMenu* help = menuBar()->addMenu(QStringLiteral("&Help"));
    mnuMain = {file, edit, nullptr, view, help};
    const QKeySequence none;
    const auto fileItem = [this](int index) { mnuFileM_Click(index); };
    const auto newItem = [this](int index) { mnuNew_Click(index); };
    const auto editItem = [this](int index) { mnuEdit_Click(index); };
    const auto helpItem = [this](int index) { mnuHelp_Click(index); };
    const auto onWebItem = [this](int index) { mnuOnWeb_Click(index); };

    QMenu* newMenu = file->addMenu(QStringLiteral("&New"));
    mnuFileM.append(newMenu->menuAction());
    addItem(newMenu, mnuNew, QStringLiteral("&Link..."), QKeySequence(Qt::CTRL | Qt::Key_N),
            newItem);
    addItem(newMenu, mnuNew, QStringLiteral("&Window"), QKeySequence(Qt::CTRL | Qt::Key_W),
            newItem);
    mnuFileM.append(file->addSeparator());
    addItem(file, mnuFileM, QStringLiteral("&Open..."), none, fileItem);
    addItem(file, mnuFileM, openLocalCaption, none, fileItem);
    addItem(file, mnuFileM, QStringLiteral("&Save"), QKeySequence(Qt::CTRL | Qt::Key_S), fileItem);
    addItem(file, mnuFileM, QStringLiteral("Save &As..."), none, fileItem);
    mnuFileM.append(file->addSeparator());
    addItem(file, mnuFileM, QStringLiteral("&Exit"), none, fileItem);

    addItem(edit, mnuEdit, QStringLiteral("&Copy"), QKeySequence(Qt::CTRL | Qt::Key_C), editItem);
    addItem(edit, mnuEdit, QStringLiteral("C&ut"), QKeySequence(Qt::CTRL | Qt::Key_X), editItem);
    addItem(edit, mnuEdit, QStringLiteral("&Paste"), QKeySequence(Qt::CTRL | Qt::Key_V), editItem);
    mnuEdit.append(edit->addSeparator());
    addItem(edit, mnuEdit, QStringLiteral("Select &All"), QKeySequence(Qt::CTRL | Qt::Key_A),
            editItem);
    // The menu works on the selection the box had when the menu opened, even when the menu
    // bar took the focus from the keyboard and the box dropped its selection.
    connect(edit, &QMenu::aboutToShow, this, [this] {
        menuSelection_ = txtURL->hasFocus() ? std::optional(selection()) : focusOutSelection_;
    });
    connect(edit, &QMenu::aboutToHide, this, [this] {
        // The chosen item runs after the menu has hidden.
        QTimer::singleShot(0, this, [this] { menuSelection_.reset(); });
    });

    addItem(view, mnuView, QStringLiteral("Properties..."), QKeySequence(Qt::CTRL | Qt::Key_P),
            [this](int index) { mnuView_Click(index); });

    addItem(help, mnuHelp, QStringLiteral("&Content"), QKeySequence(Qt::Key_F1), helpItem);
    addItem(help, mnuHelp, QStringLiteral("Feedback..."), none, helpItem);
    addItem(help, mnuHelp, QStringLiteral("Technical Support"), none, helpItem);
    QMenu* onWeb = help->addMenu(QStringLiteral("Tessaly on the Web"));
    mnuHelp.append(onWeb->menuAction());
    addItem(onWeb, mnuOnWeb, QStringLiteral("Orvane Editor Homepage"), none, onWebItem);
    addItem(onWeb, mnuOnWeb, QStringLiteral("Tessaly Homepage"), none, onWebItem);
    mnuHelp.append(help->addSeparator());
    addItem(help, mnuHelp, QStringLiteral("&About Orvane Editor..."), none, helpItem);
}

void AddressEditorWindow::setAddress(const QString& text) {
    txtURL->setText(text);
}

QString AddressEditorWindow::address() const {
    return txtURL->text();
}

QAction* AddressEditorWindow::fileAction(int index) const {
    return itemAt(mnuFileM, index);
}
QAction* AddressEditorWindow::newAction(int index) const {
    return itemAt(mnuNew, index);
}
QAction* AddressEditorWindow::editAction(int index) const {
    return itemAt(mnuEdit, index);
}
QAction* AddressEditorWindow::viewAction(int index) const {
    return itemAt(mnuView, index);
}
QAction* AddressEditorWindow::helpAction(int index) const {
    return itemAt(mnuHelp, index);
}
QAction* AddressEditorWindow::onWebAction(int index) const {
    return itemAt(mnuOnWeb, index);
}
QMenu* AddressEditorWindow::mainMenu(int index) const {
    return index >= 0 && index < mnuMain.size() ? mnuMain[index] : nullptr;
}

// ---- File menu

void AddressEditorWindow::mnuFileM_Click(int index) {
    switch (index) {
        case 2:
            openCommand();
            break;
        case 3:
            openLocal();
            break;
        case 4:
            document_.save(SaveMode::Load);
            break;
        case 5:
            document_.saveAs(SaveMode::Load);
            break;
        case 7:
            exitCommand();
            break;
        default:
            break;
    }
}

void AddressEditorWindow::mnuNew_Click(int index) {
    if (index == 0) {
        if (!EditorDocument::stops(document_.maybeSave(SaveMode::Load))) {
            newLink();
        }
    } else if (index == 1) {
        newWindow();
    }
}

void AddressEditorWindow::openCommand() {
    if (EditorDocument::stops(document_.maybeSave(SaveMode::Load))) {
        return;
    }
    const QString path = state_.prompts.openFileName(this, openFilter());
    if (path.isEmpty()) {
        openCancelled();
        return;
    }
    openFile(path);
}

void AddressEditorWindow::openLocal() {
    if (EditorDocument::stops(document_.maybeSave(SaveMode::Load))) {
        return;
    }
    const QString path = state_.prompts.openFileName(this, OpenLocalFilter);
    if (!path.isEmpty()) {
        setAddress(QStringLiteral("file://") + path);
    }
}

void AddressEditorWindow::newWindow() {
    AddressEditorWindow* window = makeAnother();
    // 200 twips (1/1440 inch each) right of and below this window's frame. Placed before it
    // is shown, so the window manager frames it there rather than moving a framed window.
    const QPoint offset(qRound(200.0 * logicalDpiX() / 1440.0),
                        qRound(200.0 * logicalDpiY() / 1440.0));
    window->move(frameGeometry().topLeft() + offset);
    window->show();
}

bool AddressEditorWindow::mayClose(bool byUser) {
    if (!urlChanged() || (document_.discardConfirmed() && !byUser)) {
        return true;
    }
    return !EditorDocument::stops(document_.maybeSave(SaveMode::Unload));
}

bool AddressEditorWindow::settleBeforeExit() {
    if (!urlChanged()) {
        return true;
    }
    isMinimized() ? showNormal() : show();
    raise();
    activateWindow();
    return document_.settleBeforeExit();
}

// ---- View and Help menus

void AddressEditorWindow::mnuView_Click(int index) {
    if (index == 0) {
        state_.windows().showOptions(this);
    }
}

void AddressEditorWindow::mnuHelp_Click(int index) {
    switch (index) {
        case 0:
            state_.windows().showHelpContent();
            break;
        case 1:
            state_.openAddress(this, WebPages::feedback());
            break;
        case 2:
            state_.openAddress(this, WebPages::technicalSupport());
            break;
        case 5:
            state_.windows().showAbout(this, aboutModal_);
            break;
        default:
            break;
    }
}

void AddressEditorWindow::mnuOnWeb_Click(int index) {
    if (index == 0) {
        state_.openAddress(this, WebPages::productHome());
    } else if (index == 1) {
        state_.openAddress(this, WebPages::makerHome());
    }
}

// ---- Edit menu and drops

AddressEditorWindow::Selection AddressEditorWindow::selection() const {
    return {txtURL->selectionStart(), txtURL->selectionLength(), txtURL->cursorPosition()};
}

void AddressEditorWindow::mnuEdit_Click(int index) {
    if (menuSelection_) {
        if (menuSelection_->length > 0) {
            txtURL->setSelection(menuSelection_->start, menuSelection_->length);
        } else {
            txtURL->setCursorPosition(menuSelection_->cursor);
        }
    }
    QClipboard* clipboard = QGuiApplication::clipboard();
    switch (index) {
        case 0:  // EditCopyProc
            clipboard->setText(txtURL->selectedText());
            break;
        case 1:  // EditCutProc
            clipboard->setText(txtURL->selectedText());
            // An empty insert without a selection would still report a change.
            if (txtURL->hasSelectedText()) {
                txtURL->insert(QString());
            }
            break;
        case 2: {  // EditPasteProc
            const QString text = clipboard->text();
            if (!text.isEmpty() || txtURL->hasSelectedText()) {
                txtURL->insert(text);
            }
            break;
        }
        case 4:
            txtURL->selectAll();
            break;
        default:
            break;
    }
}

bool AddressEditorWindow::acceptsDrop(const QMimeData* data) const {
    return data->hasText();
}

void AddressEditorWindow::txtURL_OLEDragOver() {
    txtURL->setFocus(Qt::OtherFocusReason);
}

void AddressEditorWindow::txtURL_OLEDragDrop(const QMimeData* data) {
    setAddress(data->text());
}

bool AddressEditorWindow::eventFilter(QObject* watched, QEvent* event) {
    if (watched != txtURL) {
        return QMainWindow::eventFilter(watched, event);
    }
    switch (event->type()) {
        case QEvent::ShortcutOverride: {
            // Ctrl+C, X, V and A go to the Edit menu, so keys and menu act alike.
            auto* key = static_cast<QKeyEvent*>(event);
            if (key->matches(QKeySequence::Copy) || key->matches(QKeySequence::Cut) ||
                key->matches(QKeySequence::Paste) || key->matches(QKeySequence::SelectAll)) {
                event->ignore();
                return true;
            }
            break;
        }
        case QEvent::FocusOut: {
            // Seen before the box drops its selection.
            const Qt::FocusReason reason = static_cast<QFocusEvent*>(event)->reason();
            focusOutSelection_.reset();
            if (reason == Qt::MenuBarFocusReason || reason == Qt::PopupFocusReason) {
                focusOutSelection_ = selection();
            }
            break;
        }
        case QEvent::DragEnter:
        case QEvent::DragMove: {
            auto* drag = static_cast<QDragMoveEvent*>(event);
            txtURL_OLEDragOver();
            if (acceptsDrop(drag->mimeData())) {
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
            if (!acceptsDrop(drop->mimeData())) {
                drop->ignore();
                return true;
            }
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
