#pragma once

#include "Prompts.h"

// The real prompts: QMessageBox and QFileDialog.
class QtPrompts final : public Prompts {
public:
    Answer message(QWidget* parent, const QString& text, const QString& title, Icon icon,
                   Buttons buttons) override;
    QString openFileName(QWidget* parent, const QString& filter) override;
    QString saveFileName(QWidget* parent, const QString& filter) override;
};
