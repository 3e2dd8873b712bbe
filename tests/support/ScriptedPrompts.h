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

    void answerMessage(Answer answer) { queue_.append({Kind::Message, answer, {}}); }
    void answerOpen(const QString& path) { queue_.append({Kind::Open, Answer::Ok, path}); }
    void answerSave(const QString& path) { queue_.append({Kind::Save, Answer::Ok, path}); }

    Answer message(QWidget* parent, const QString& text, const QString& title, Icon icon,
                   Buttons buttons) override;
    QString openFileName(QWidget*, const QString& filter) override {
        return fileName(Kind::Open, filter);
    }
    QString saveFileName(QWidget*, const QString& filter) override {
        return fileName(Kind::Save, filter);
    }

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
        QString path;  // empty: the dialog was cancelled
    };
    QString fileName(Kind kind, const QString& filter);
    // The next answer, if it is of `kind`; else the test fails.
    const Scripted* take(Kind kind, const QString& what);
    QList<Scripted> queue_;
    Scripted taken_;
};
