#include "frmHelpContent.h"

#include <QDir>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "AppState.h"
#include "Prompts.h"
#include "TextFileIo.h"
#include "WindowCentring.h"
#include "frmHelpPro.h"

namespace {
const QString HelpTitle = QStringLiteral("Orvane Editor Help");
}

frmHelpContent::frmHelpContent(AppState& state, QWidget* parent)
    : QWidget(parent, Qt::Window), state_(state) {
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle(QStringLiteral("Orvane Editor Help Content"));

    Label1 = new QLabel(
        QStringLiteral("Select the topic you want first, then Click \"Display\" to display it."),
        this);
    Label1->setWordWrap(true);

    lstContent = new QListWidget(this);
    lstContent->setSortingEnabled(false);
    lstContent->setFont(QFont(QStringLiteral("Arial")));
    lstContent->setMinimumSize(400, 300);

    cmdDisplay = new QPushButton(QStringLiteral("&Display"), this);
    cmdCancel = new QPushButton(QStringLiteral("&Cancel"), this);
    cmdDisplay->setDefault(true);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(cmdDisplay);
    buttons->addWidget(cmdCancel);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(Label1);
    layout->addWidget(lstContent, 1);
    layout->addLayout(buttons);

    connect(cmdDisplay, &QPushButton::clicked, this, &frmHelpContent::cmdDisplay_Click);
    connect(cmdCancel, &QPushButton::clicked, this, &frmHelpContent::cmdCancel_Click);
    connect(lstContent, &QListWidget::itemDoubleClicked, this,
            &frmHelpContent::lstContent_DblClick);

    // Controls carry their names, for tests and for accessibility tools.
    Label1->setObjectName(QStringLiteral("Label1"));
    lstContent->setObjectName(QStringLiteral("lstContent"));
    cmdDisplay->setObjectName(QStringLiteral("cmdDisplay"));
    cmdCancel->setObjectName(QStringLiteral("cmdCancel"));

    // Load step.
    LoadContent(contentFile(state_));
    centreOnScreen(this);
}

QString frmHelpContent::contentFile(const AppState& state) {
    if (state.dataDir.isEmpty()) {
        return QString();
    }
    return QDir(state.dataDir).filePath(QStringLiteral("help/content.dat"));
}

QString frmHelpContent::topicFile(const AppState& state, int index) {
    if (state.dataDir.isEmpty()) {
        return QString();
    }
    // Index 10 is help_010.dat: "help_0" and the number, with no padding of its own.
    return QDir(state.dataDir)
        .filePath(QStringLiteral("help/help_0") + QString::number(index) + QStringLiteral(".dat"));
}

frmHelpPro* frmHelpContent::topicWindow() const {
    return qobject_cast<frmHelpPro*>(state_.helpTopicWindow.data());
}

void frmHelpContent::tell(const QString& text) {
    state_.prompts.message(this, text, HelpTitle, Prompts::Icon::None, Prompts::Buttons::Ok);
}

void frmHelpContent::LoadContent(const QString& sFile) {
    if (sFile.isEmpty() || !QFileInfo::exists(sFile)) {
        tell(QStringLiteral("Help Content not find"));
        return;
    }
    QStringList lines;
    const QString error = TextFileIo::readDataFile(sFile, lines);
    if (!error.isEmpty()) {
        tell(error);
        return;
    }
    lstContent->addItems(lines);
}

QString frmHelpContent::selectedTopic() const {
    const QListWidgetItem* item = lstContent->currentItem();
    return item != nullptr && item->isSelected() ? item->text() : QString();
}

void frmHelpContent::cmdDisplay_Click() {
    display();
}

void frmHelpContent::lstContent_DblClick() {
    display();
}

void frmHelpContent::display() {
    const QString topic = selectedTopic();
    if (topic.isEmpty()) {
        return;
    }
    frmHelpPro* window = topicWindow();
    if (window == nullptr) {
        window = new frmHelpPro;
        state_.helpTopicWindow = window;
    }
    window->show();
    window->raise();
    window->activateWindow();
    window->lblTitle->setText(topic);
    LoadHelp(topicFile(state_, lstContent->currentRow()));
}

void frmHelpContent::LoadHelp(const QString& sFile) {
    frmHelpPro* window = topicWindow();
    if (window == nullptr) {
        return;
    }
    if (sFile.isEmpty() || !QFileInfo::exists(sFile)) {
        tell(QStringLiteral("Help File not find"));
        return;
    }
    QStringList lines;
    const QString error = TextFileIo::readDataFile(sFile, lines);
    if (!error.isEmpty()) {
        tell(error);
        return;
    }
    // The lines run on with nothing between them; a topic breaks its own lines with LF.
    window->txtPro->setPlainText(lines.join(QString()));
    window->lblTitle->setText(selectedTopic());
}

void frmHelpContent::cmdCancel_Click() {
    close();
}

void frmHelpContent::keyPressEvent(QKeyEvent* event) {
    // Enter displays (the list passes it on), Escape closes, as in a dialog.
    if (event->modifiers() == Qt::NoModifier || event->modifiers() == Qt::KeypadModifier) {
        if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
            cmdDisplay->click();
            return;
        }
        if (event->key() == Qt::Key_Escape) {
            cmdCancel->click();
            return;
        }
    }
    QWidget::keyPressEvent(event);
}
