#pragma once

#include <QDialog>
#include <QStringList>
#include <functional>

class AppState;
class QCheckBox;
class QLabel;
class QKeyEvent;
class QPushButton;

// Tip of the day: one random line of tod.dat, another on Next Tip, and the check box that
// switches the window off for later starts. OK may lead on to the startup wizard.
class frmTip final : public QDialog {
    Q_OBJECT
public:
    // A number r with 0 <= r < 1; each call draws a new one.
    using RandomSource = std::function<double()>;

    // Runs the load step: centres, checks the box (storing "1"), reads state.dataDir's
    // tod.dat and shows a tip. Without `random`, draws come from a generator seeded by the
    // system.
    explicit frmTip(AppState& state, QWidget* parent = nullptr, RandomSource random = {});
    Q_DISABLE_COPY_MOVE(frmTip)

    // The tips file's full path: "tod.dat" in the data folder, or empty without one.
    static QString tipsFile(const AppState& state);
    // The text shown when the tips file does not exist.
    static QString notFoundMessage();

    QLabel* Label1 = nullptr;
    QLabel* lblTipText = nullptr;
    QCheckBox* chkLoadTipsAtStartup = nullptr;
    QPushButton* cmdNextTip = nullptr;
    QPushButton* cmdOK = nullptr;

    const QStringList& tipList() const { return TipList; }
    // 1-based position of the tip shown; 0 before any.
    int tipIndex() const { return TipIndex; }

    bool LoadTips(const QString& sFile);
    void PickRandomTip();
    void DisplayCurrentTip();

protected:
    // Escape answers like OK, as its cancel button; the title bar's close box opens nothing.
    void keyPressEvent(QKeyEvent* event) override;

private:
    void chkLoadTipsAtStartup_Click();
    void cmdNextTip_Click();
    void cmdOK_Click();

    AppState& state_;
    RandomSource random_;
    QStringList TipList;
    int TipIndex = 0;
};
