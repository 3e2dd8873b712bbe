#pragma once

#include <QWidget>
#include <functional>

class frmMain;
class QFrame;
class QLabel;
class QTimer;

// The first visible window: product name, version and maker. Its timer fires once, after
// the interval it is given (3000 ms in the program), and runs the second phase of startup.
// Whoever shows the splash starts OrvaneC_Timer once it is up: showing a splash window runs
// pending events, so a timer started before could fire before the splash is even shown.
class frmSplash : public QWidget {
    Q_OBJECT
public:
    // Its load marks `mainEditor` as the main window.
    frmSplash(frmMain* mainEditor, int intervalMs, std::function<void()> onTick,
              QWidget* parent = nullptr);
    ~frmSplash() override;
    Q_DISABLE_COPY_MOVE(frmSplash)

    QFrame* Frame1 = nullptr;
    QLabel* imgLogo = nullptr;
    QLabel* lblCompanyProduct = nullptr;
    QLabel* lblProductName = nullptr;
    QLabel* lblPlatform = nullptr;
    QLabel* lblVersion = nullptr;
    QLabel* lblWarning = nullptr;
    QLabel* lblCompany = nullptr;
    QLabel* lblCopyright = nullptr;
    QTimer* OrvaneC_Timer = nullptr;

    static const QString CopyrightText;

private:
    void buildControls();
    void Form_Load();
    void OrvaneC_Timer_Timer();

    frmMain* mainEditor_;
    std::function<void()> onTick_;
};
