#pragma once

#include <QString>

class QWidget;

// Message boxes and file dialogs. Windows ask through this so that tests can answer in
// advance instead of facing a real modal dialog.
class Prompts {
public:
    enum class Icon { None, Question, Information, Warning, Critical };
    enum class Buttons { Ok, OkCancel, YesNo, YesNoCancel };
    enum class Answer { Ok, Cancel, Yes, No };

    virtual ~Prompts() = default;

    // Shows a modal message box and returns the button the user chose. Closing the box
    // from its title bar counts as Cancel (or as Ok when Ok is the only button).
    virtual Answer message(QWidget* parent, const QString& text, const QString& title, Icon icon,
                           Buttons buttons) = 0;

    // File dialogs. `filter` is in the "Description|pattern|Description|pattern" form;
    // the result is the chosen full path, or empty when the user cancelled.
    virtual QString openFileName(QWidget* parent, const QString& filter) = 0;
    virtual QString saveFileName(QWidget* parent, const QString& filter) = 0;
};
