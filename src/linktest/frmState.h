#pragma once

#include <QDialog>

class QLabel;
class QPushButton;

// The link test's dialog: a headline, the sentence for the latest state of the transfer, and
// one button whose caption is the dialog's mode ("&Cancel" while a test runs, "&OK" after
// success or failure). It deletes itself when closed; closed while a test runs, by its button,
// title-bar button or Escape alike, it asks for the test to be cancelled.
class frmState : public QDialog {
    Q_OBJECT
public:
    static const QString Title;          // "Orvane Editor - Testing the Link..."
    static const QString CancelCaption;  // "&Cancel"
    static const QString OkCaption;      // "&OK"

    explicit frmState(QWidget* parent = nullptr);
    Q_DISABLE_COPY_MOVE(frmState)

    QLabel* lblCorrect = nullptr;
    QLabel* Label1 = nullptr;
    QLabel* lblState = nullptr;
    QPushButton* cmdButton = nullptr;

    // "&OK" closes; "&Cancel" asks for the request to be cancelled, then closes; any other
    // caption does nothing.
    void cmdButton_Click();

signals:
    void cancelRequested();

protected:
    void done(int result) override;

private:
    void Form_Load();
};
