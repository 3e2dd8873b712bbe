#include "ScriptedPrompts.h"

#include <QtTest/QTest>

const ScriptedPrompts::Scripted* ScriptedPrompts::take(Kind kind, const QString& what) {
    if (queue_.isEmpty() || queue_.first().kind != kind) {
        QTest::qFail(qPrintable(QStringLiteral("unexpected prompt: ") + what), __FILE__, __LINE__);
        return nullptr;
    }
    taken_ = queue_.takeFirst();
    return &taken_;
}

Prompts::Answer ScriptedPrompts::message(QWidget*, const QString& text, const QString& title,
                                         Icon icon, Buttons buttons) {
    calls.append({Kind::Message, text, title, icon, buttons});
    const Scripted* s = take(Kind::Message, text);
    return s ? s->answer : buttons == Buttons::Ok ? Answer::Ok : Answer::Cancel;
}

QString ScriptedPrompts::fileName(Kind kind, const QString& filter) {
    calls.append({kind, filter, {}, Icon::None, Buttons::Ok});
    const Scripted* s = take(kind, (kind == Kind::Open ? "open dialog " : "save dialog ") + filter);
    return s ? s->path : QString();
}
