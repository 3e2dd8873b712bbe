#include "ScriptedPrompts.h"

#include <QtTest/QTest>

void ScriptedPrompts::answerMessage(Answer answer) {
    queue_.append({Kind::Message, answer, {}});
}
void ScriptedPrompts::answerOpen(const QString& path) {
    queue_.append({Kind::Open, Answer::Ok, path});
}
void ScriptedPrompts::answerSave(const QString& path) {
    queue_.append({Kind::Save, Answer::Ok, path});
}

bool ScriptedPrompts::take(Kind kind, const QString& what, Scripted& out) {
    if (queue_.isEmpty() || queue_.first().kind != kind) {
        QTest::qFail(qPrintable(QStringLiteral("unexpected prompt: ") + what), __FILE__, __LINE__);
        return false;
    }
    out = queue_.takeFirst();
    return true;
}

Prompts::Answer ScriptedPrompts::message(QWidget*, const QString& text, const QString& title,
                                         Icon icon, Buttons buttons) {
    calls.append({Kind::Message, text, title, icon, buttons});
    Scripted s;
    if (!take(Kind::Message, text, s)) {
        return buttons == Buttons::Ok ? Answer::Ok : Answer::Cancel;
    }
    return s.answer;
}

QString ScriptedPrompts::openFileName(QWidget*, const QString& filter) {
    calls.append({Kind::Open, filter, {}, Icon::None, Buttons::Ok});
    Scripted s;
    return take(Kind::Open, QStringLiteral("open dialog ") + filter, s) ? s.path : QString();
}

QString ScriptedPrompts::saveFileName(QWidget*, const QString& filter) {
    calls.append({Kind::Save, filter, {}, Icon::None, Buttons::Ok});
    Scripted s;
    return take(Kind::Save, QStringLiteral("save dialog ") + filter, s) ? s.path : QString();
}
