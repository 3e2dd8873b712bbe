#include "frmRMMulti.h"

#include <QCloseEvent>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QItemSelectionModel>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QMimeData>
#include <QPushButton>
#include <QUrl>
#include <QVBoxLayout>

#include "AppState.h"
#include "AppTitle.h"
#include "LinkFiles.h"
#include "PlayListModel.h"
#include "PlayListView.h"
#include "Prompts.h"
#include "WindowCentring.h"

namespace {
const QString NewAddress = QStringLiteral("http://");
}  // namespace

const QString frmRMMulti::BaseTitle = QStringLiteral("RealMedia Link Editor");

frmRMMulti::frmRMMulti(AppState& state, QWidget* parent)
    : AddressEditorWindow(state, BaseTitle, false, parent) {
    setObjectName(QStringLiteral("frmRMMulti"));
    buildControls();
    buildMenus(QStringLiteral("Open &Local"));
    Form_Load();
}

frmRMMulti::~frmRMMulti() = default;

void frmRMMulti::buildControls() {
    auto* central = new QWidget(this);
    central->setObjectName(QStringLiteral("centralWidget"));
    setCentralWidget(central);

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
    // A long stream address shows its start and its end; the tooltip holds all of it.
    lstURL->setTextElideMode(Qt::ElideMiddle);
    lstURL->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);

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

    connect(cmdAdd, &QPushButton::clicked, this, &frmRMMulti::cmdAdd_Click);
    connect(cmdRemove, &QPushButton::clicked, this, &frmRMMulti::cmdRemove_Click);
    connect(cmdUp, &QPushButton::clicked, this, &frmRMMulti::cmdUp_Click);
    connect(cmdDown, &QPushButton::clicked, this, &frmRMMulti::cmdDown_Click);

    // The designed size.
    resize(560, 380);
    setMinimumSize(380, 240);
}

void frmRMMulti::Form_Load() {
    centreOnScreen(this);
    setAddress(NewAddress);
    setUrlChanged(false);
    document_.setPath(QString());
    turnMainEditor(false);
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

void frmRMMulti::receiveFromReader(const QStringList& entries, const QString& path) {
    if (documentPath().isEmpty() && model_->count() == 0) {
        model_->setEntries(entries);
        setUrlChanged(false);
        document_.setPath(path);
    } else {
        model_->appendAll(entries);
    }
}

// ---- File menu and closing

QString frmRMMulti::openFilter() const {
    return QStringLiteral("RaelMedia Link ( *.ram )|*.ram");
}

QString frmRMMulti::saveFilter() const {
    return QStringLiteral("RealPlayer Link ( *.ram )|*.ram");
}

bool frmRMMulti::openFile(const QString& path) {
    ReadResult<LineStore> read = readRealMediaLines(path);
    if (!read.ok()) {
        document_.showError(read.error);
        return false;
    }
    setAddress(read.value.size() == 1 ? read.value.at(0) : NewAddress);
    lstURL->selectionModel()->clear();
    model_->setLines(std::move(read.value));
    setUrlChanged(false);
    document_.setPath(path);
    return true;
}

QString frmRMMulti::writeDocument(const QString& path, bool) {
    // An empty list is saved as the one address in the box.
    return writeRealMedia(path, model_->count() == 0 ? QStringList{address()} : entries());
}

void frmRMMulti::newLink() {
    setAddress(NewAddress);
}

AddressEditorWindow* frmRMMulti::makeAnother() {
    return new frmRMMulti(state_);
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
    if (!mayClose(byUser || closingByProgram_)) {
        event->ignore();
        return;
    }
    if (byUser) {
        turnMainEditor(true);
    }
    event->accept();
    emit closed();
}

// Text may be dropped onto the address box; files may not, since the single-link editor
// that would read them is off while a play-list window is open.
bool frmRMMulti::acceptsDrop(const QMimeData* data) const {
    if (!data->hasText()) {
        return false;
    }
    const QList<QUrl> urls = data->urls();
    return std::none_of(urls.begin(), urls.end(),
                        [](const QUrl& url) { return url.isLocalFile(); });
}

// ---- List buttons

void frmRMMulti::cmdAdd_Click() {
    selectEntry(model_->append(address()));
    setUrlChanged(true);
}

void frmRMMulti::cmdRemove_Click() {
    const int row = selectedIndex();
    if (row < 0) {
        return;
    }
    model_->removeEntry(row);
    lstURL->selectionModel()->clear();
    setUrlChanged(true);
}

void frmRMMulti::cmdUp_Click() {
    moveSelected(-1);
}

void frmRMMulti::cmdDown_Click() {
    moveSelected(1);
}

void frmRMMulti::moveSelected(int by) {
    const int row = selectedIndex();
    const bool atEnd = by < 0 ? model_->count() == 0 || row == 0 : row + 1 == model_->count();
    if (atEnd) {
        endOfData();
        return;
    }
    if (row < 0) {
        return;
    }
    model_->exchangeWithNext(by < 0 ? row - 1 : row);
    selectEntry(row + by);
    // The order is what the file holds, so a move is a change to save.
    setUrlChanged(true);
}

void frmRMMulti::endOfData() {
    state_.prompts.message(this, QStringLiteral("End of the Data"), AppTitle, Prompts::Icon::None,
                           Prompts::Buttons::Ok);
}
