#pragma once

#include <QWidget>

class AppState;
class QKeyEvent;
class QLabel;
class QListWidget;
class QPushButton;
class frmHelpPro;

// The help contents: the topics of help/content.dat; Display (or a double-click) shows the
// chosen topic's file in the topic window. Modeless, destroyed on close.
class frmHelpContent final : public QWidget {
    Q_OBJECT
public:
    // Runs the load step: reads the topic list of state.dataDir's help folder and centres.
    explicit frmHelpContent(AppState& state, QWidget* parent = nullptr);
    Q_DISABLE_COPY_MOVE(frmHelpContent)

    // help/content.dat and help/help_0<index>.dat in the data folder; empty without one.
    static QString contentFile(const AppState& state);
    static QString topicFile(const AppState& state, int index);

    QLabel* Label1 = nullptr;
    QListWidget* lstContent = nullptr;
    QPushButton* cmdDisplay = nullptr;
    QPushButton* cmdCancel = nullptr;

    void LoadContent(const QString& sFile);
    void LoadHelp(const QString& sFile);
    // The topic window while it is open (shared by every contents window), else null.
    frmHelpPro* topicWindow() const;

protected:
    void keyPressEvent(QKeyEvent* event) override;

private:
    void cmdDisplay_Click();
    void lstContent_DblClick();
    void cmdCancel_Click();
    void display();
    QString selectedTopic() const;
    void tell(const QString& text);

    AppState& state_;
};
