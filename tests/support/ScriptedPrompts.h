#pragma once

#include <QList>
#include <QString>

#include "Prompts.h"

// Answers message boxes and file dialogs from a queue set up by the test, records every
// call, and fails the running test on a prompt it did not expect.
class ScriptedPrompts final : public Prompts {
public:
    enum class Kind { Message, Open, Save };
    struct Call {
        Kind kind;
        QString text;  // message text, or the dialog's filter
        QString title;
        Icon icon = Icon::None;
        Buttons buttons = Buttons::Ok;
    };

    void answerMessage(Answer answer);
    void answerOpen(const QString& path);  // empty: the user cancelled
    void answerSave(const QString& path);

    Answer message(QWidget* parent, const QString& text, const QString& title, Icon icon,
                   Buttons buttons) override;
    QString openFileName(QWidget* parent, const QString& filter) override;
    QString saveFileName(QWidget* parent, const QString& filter) override;

    QList<Call> calls;
    int pendingAnswers() const { return int(queue_.size()); }
    void clear() {
        calls.clear();
        queue_.clear();
    }

private:
    struct Scripted {
        Kind kind;
        Answer answer;
        QString path;
    };
    bool take(Kind kind, const QString& what, Scripted& out);
    QList<Scripted> queue_;
};
