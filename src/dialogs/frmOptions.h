#pragma once

#include <QDialog>

class AppState;
class QButtonGroup;
class QCheckBox;
class QGroupBox;
class QPushButton;
class QRadioButton;

// "Properties of Orvane Editor": the three startup flags and the default link kind. OK and
// Apply write them to the options subkey; they take effect at the next start. The dialog
// never touches an editor window.
class frmOptions final : public QDialog {
    Q_OBJECT
public:
    // Runs the load step: centres and fills the controls from the settings store.
    explicit frmOptions(AppState& state, QWidget* parent = nullptr);
    Q_DISABLE_COPY_MOVE(frmOptions)

    QGroupBox* Frame1 = nullptr;
    QCheckBox* chkShowTip = nullptr;
    QCheckBox* chkShowWizard = nullptr;
    QCheckBox* chkRM = nullptr;
    QGroupBox* Frame2 = nullptr;
    QRadioButton* optHTTP = nullptr;
    QRadioButton* optHTTPS = nullptr;
    QRadioButton* optFTP = nullptr;
    QRadioButton* optTelnet = nullptr;
    QRadioButton* optGopther = nullptr;
    QPushButton* cmdOK = nullptr;
    QPushButton* cmdCancel = nullptr;
    QPushButton* cmdApply = nullptr;

    // Fills the controls from the values stored now and turns Apply off: the dialog shows
    // what the next start will use, whatever was chosen elsewhere since it was made.
    void loadFromSettings();
    // Sets the check boxes, and the option button of the exact "Default Link" text (any
    // other text selects none). Turns Apply off: this is not a change by the user.
    void setControls(bool showEditor, bool showTips, bool showWizard, const QString& defaultLink);

    // Writes the four values in their order; false (after a message) when one did not stick.
    bool Saving();

    void cmdApply_Click();
    void cmdOK_Click();
    void cmdCancel_Click();

private:
    void optionClicked();
    void selectDefaultLink(const QString& defaultLink);

    AppState& state_;
    QButtonGroup* defaultLinkButtons_ = nullptr;
};
