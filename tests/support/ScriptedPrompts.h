#pragma once

#include <QList>
#include <QString>
#include <QtTest/QTest>

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
    };

    void answerMessage(Answer answer) { queue_.append({Kind::Message, answer, {}}); }
    void answerOpen(const QString& path) { queue_.append({Kind::Open, Answer::Ok, path}); }
    void answerSave(const QString& path) { queue_.append({Kind::Save, Answer::Ok, path}); }

    Answer message(QWidget*, const QString& text, const QString& title, Icon icon,
                   Buttons buttons) override {
        calls.append({Kind::Message, text, title, icon});
        const Scripted* s = take(Kind::Message, text);
        return s ? s->answer : buttons == Buttons::Ok ? Answer::Ok : Answer::Cancel;
    }
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
    QString fileName(Kind kind, const QString& filter) {
        calls.append({kind, filter, {}, Icon::None});
        const Scripted* s =
            take(kind, (kind == Kind::Open ? "open dialog " : "save dialog ") + filter);
        return s ? s->path : QString();
    }
    // The next answer, if it is of `kind`; else the running test fails.
    const Scripted* take(Kind kind, const QString& what) {
        if (queue_.isEmpty() || queue_.first().kind != kind) {
            QTest::qFail(qPrintable("unexpected prompt: " + what), __FILE__, __LINE__);
            return nullptr;
        }
        taken_ = queue_.takeFirst();
        return &taken_;
    }
    QList<Scripted> queue_;
    Scripted taken_;
};
