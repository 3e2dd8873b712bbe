#pragma once

#include <QWidget>

class QLabel;
class QPlainTextEdit;

// The help topic window: the topic's name above the text of its file. Modeless; one at a
// time (the help contents window reuses it while it is open).
class frmHelpPro final : public QWidget {
    Q_OBJECT
public:
    explicit frmHelpPro(QWidget* parent = nullptr);
    Q_DISABLE_COPY_MOVE(frmHelpPro)

    QLabel* lblTitle = nullptr;
    QPlainTextEdit* txtPro = nullptr;
};
