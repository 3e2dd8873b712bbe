#include "frmStartup.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QListView>
#include <QPushButton>
#include <QRadioButton>
#include <QStyle>
#include <QVBoxLayout>

#include "AppState.h"
#include "AppTitle.h"
#include "EditorDocument.h"
#include "LineListModel.h"
#include "LinkKinds.h"
#include "LinkTarget.h"
#include "Prompts.h"
#include "RecentList.h"
#include "Registry.h"
#include "WindowCentring.h"
#include "Windows.h"

const QString frmStartup::OpenFilter =
    QStringLiteral("Internet Link ( *.url )|*.url|RealMedia Link ( *.ram )|*.ram");

namespace {

// The order the wizard lists the kinds in.
constexpr Kind WizardOrder[] = {
    Kind::Ftp,    Kind::Gopher, Kind::RealMedia, Kind::RealMediaPlayList,
    Kind::Telnet, Kind::Web,    Kind::SecureWeb};

}  // namespace

frmStartup::frmStartup(AppState& state, LinkTarget* target, QWidget* parent)
    : QDialog(parent), state_(state), target_(target) {
    setWindowTitle(QStringLiteral("Startup Wizard"));
    setModal(true);

    auto* Image1 = new QLabel(this);
    Image1->setPixmap(style()->standardIcon(QStyle::SP_FileDialogNewFolder).pixmap(48, 48));
    Image1->setAlignment(Qt::AlignHCenter | Qt::AlignTop);

    auto* heading = new QLabel(QStringLiteral("How do you want to begin?"), this);
    QFont headingFont = heading->font();
    headingFont.setBold(true);
    heading->setFont(headingFont);

    optNew = new QRadioButton(QStringLiteral("Start a New Link..."), this);
    optExist = new QRadioButton(QStringLiteral("Existing..."), this);
    optRecent = new QRadioButton(QStringLiteral("Recent..."), this);

    items_ = new LineListModel(this);
    lstPro = new QListView(this);
    lstPro->setModel(items_);
    lstPro->setEditTriggers(QAbstractItemView::NoEditTriggers);
    lstPro->setSelectionMode(QAbstractItemView::SingleSelection);
    // A recent list can hold a million lines: rows of one height keep it fast.
    lstPro->setUniformItemSizes(true);
    lstPro->setMinimumSize(380, 200);

    cmdOK = new QPushButton(QStringLiteral("&OK"), this);
    cmdCancel = new QPushButton(QStringLiteral("&Cancel"), this);
    cmdOK->setDefault(true);

    auto* choices = new QVBoxLayout;
    choices->addWidget(heading);
    choices->addWidget(optNew);
    choices->addWidget(optExist);
    choices->addWidget(optRecent);
    choices->addWidget(lstPro, 1);

    auto* top = new QHBoxLayout;
    top->addWidget(Image1);
    top->addLayout(choices, 1);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(cmdOK);
    buttons->addWidget(cmdCancel);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(top, 1);
    layout->addLayout(buttons);

    QWidget::setTabOrder(optNew, optExist);
    QWidget::setTabOrder(optExist, optRecent);
    QWidget::setTabOrder(optRecent, lstPro);
    QWidget::setTabOrder(lstPro, cmdOK);
    QWidget::setTabOrder(cmdOK, cmdCancel);

    connect(optNew, &QRadioButton::clicked, this, &frmStartup::optNew_Click);
    connect(optExist, &QRadioButton::clicked, this, &frmStartup::optExist_Click);
    connect(optRecent, &QRadioButton::clicked, this, &frmStartup::optRecent_Click);
    connect(cmdOK, &QPushButton::clicked, this, &frmStartup::cmdOK_Click);
    connect(cmdCancel, &QPushButton::clicked, this, &frmStartup::cmdCancel_Click);
    // A double-click on an item chooses it, as OK would.
    connect(lstPro, &QListView::doubleClicked, this, [this] { cmdOK->click(); });

    // Controls carry their names, for tests and for accessibility tools.
    Image1->setObjectName(QStringLiteral("Image1"));
    optNew->setObjectName(QStringLiteral("optNew"));
    optExist->setObjectName(QStringLiteral("optExist"));
    optRecent->setObjectName(QStringLiteral("optRecent"));
    lstPro->setObjectName(QStringLiteral("lstPro"));
    cmdOK->setObjectName(QStringLiteral("cmdOK"));
    cmdCancel->setObjectName(QStringLiteral("cmdCancel"));

    // Load step.
    EditorAtStartup = state_.registry.option(Registry::ShowEditorAtStartup).value_or(QString());
    centreOnScreen(this);
    // The first choice starts selected, with its list of kinds.
    optNew->setChecked(true);
    optNew_Click();
}

QStringList frmStartup::newLinkNames() {
    QStringList names;
    for (Kind kind : WizardOrder) {
        names.append(kindInfo(kind).wizardName);
    }
    return names;
}

QStringList frmStartup::listItems() const {
    return items_->lines().toStringList();
}

void frmStartup::selectItem(int row) {
    if (row < 0) {
        lstPro->clearSelection();
        lstPro->setCurrentIndex(QModelIndex());
        return;
    }
    lstPro->setCurrentIndex(items_->index(row));
}

QString frmStartup::selectedItem() const {
    const QModelIndexList selected = lstPro->selectionModel()->selectedIndexes();
    return selected.isEmpty() ? QString() : selected.first().data().toString();
}

void frmStartup::clearList(bool enabled) {
    items_->setLines(LineStore());
    lstPro->setEnabled(enabled);
    // Disabled, the list takes the colour of a button face, as a switched-off box does.
    QPalette palette = lstPro->palette();
    palette.setBrush(QPalette::Base, enabled ? this->palette().brush(QPalette::Base)
                                             : this->palette().brush(QPalette::Button));
    lstPro->setPalette(palette);
}

void frmStartup::optNew_Click() {
    clearList(true);
    items_->setLines(LineStore(newLinkNames()));
}

void frmStartup::optExist_Click() {
    clearList(false);
}

void frmStartup::optRecent_Click() {
    clearList(true);
    ReadResult<LineStore> recent = RecentList::readLines(state_.recentFile);
    if (!recent.ok()) {
        state_.prompts.message(this, recent.error, AppTitle, Prompts::Icon::Warning,
                               Prompts::Buttons::Ok);
        return;
    }
    items_->setLines(std::move(recent.value));
}

void frmStartup::cmdOK_Click() {
    // Each way of filling the editor marks it unchanged itself, and only when it really put
    // something there: an address the user has not saved stays marked when nothing was
    // chosen or the file could not be read.
    bool playList = false;
    if (target_ != nullptr) {
        if (optNew->isChecked()) {
            playList = newLink(selectedItem());
        } else if (optRecent->isChecked()) {
            openRecent(selectedItem());
        } else {
            openExisting();
        }
    }
    // The wizard closes before the play list opens: a play list waited for inside the
    // wizard's own modal loop would stay blocked behind it, and the editor it turns off is
    // the wizard's parent, which would turn the wizard off too.
    accept();
    if (playList) {
        state_.windows().showPlayList(true);
    }
}

bool frmStartup::newLink(const QString& name) {
    if (name.isEmpty()) {
        return false;
    }
    for (Kind kind : WizardOrder) {
        const KindInfo& info = kindInfo(kind);
        if (info.wizardName != name) {
            continue;
        }
        // A new link has no file yet: with the old title, Save would write it over the file
        // the window had open.
        target_->document().setPath(QString());
        target_->setAddress(info.newLinkPrefix);
        target_->document().setChanged(false);
        target_->setLinkKind(info.linkKind);
        return kind == Kind::RealMediaPlayList && EditorAtStartup != QStringLiteral("1");
    }
    return false;
}

void frmStartup::openRecent(const QString& path) {
    // Only the two link endings, compared exactly, are opened.
    if (!path.endsWith(QStringLiteral(".url"), Qt::CaseSensitive) &&
        !path.endsWith(QStringLiteral(".ram"), Qt::CaseSensitive)) {
        return;
    }
    target_->openFile(path);
}

void frmStartup::openExisting() {
    const QString path = state_.prompts.openFileName(this, OpenFilter);
    if (path.isEmpty() || target_ == nullptr) {
        return;
    }
    target_->openFile(path);
}

void frmStartup::cmdCancel_Click() {
    reject();
}
