#include "QtPrompts.h"

#include <QFileDialog>
#include <QMessageBox>

#include "FileFilter.h"

namespace {

QMessageBox::Icon toQt(Prompts::Icon icon) {
    switch (icon) {
        case Prompts::Icon::Question:
            return QMessageBox::Question;
        case Prompts::Icon::Information:
            return QMessageBox::Information;
        case Prompts::Icon::Warning:
            return QMessageBox::Warning;
        case Prompts::Icon::Critical:
            return QMessageBox::Critical;
        case Prompts::Icon::None:
            break;
    }
    return QMessageBox::NoIcon;
}

QMessageBox::StandardButtons toQt(Prompts::Buttons buttons) {
    switch (buttons) {
        case Prompts::Buttons::Ok:
            return QMessageBox::Ok;
        case Prompts::Buttons::OkCancel:
            return QMessageBox::Ok | QMessageBox::Cancel;
        case Prompts::Buttons::YesNo:
            return QMessageBox::Yes | QMessageBox::No;
        case Prompts::Buttons::YesNoCancel:
            return QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel;
    }
    return QMessageBox::Ok;
}

}  // namespace

Prompts::Answer QtPrompts::message(QWidget* parent, const QString& text, const QString& title,
                                   Icon icon, Buttons buttons) {
    QMessageBox box(toQt(icon), title, text, toQt(buttons), parent);
    if (buttons == Buttons::YesNo) {
        box.setEscapeButton(QMessageBox::No);
    }
    switch (box.exec()) {
        case QMessageBox::Ok:
            return Answer::Ok;
        case QMessageBox::Yes:
            return Answer::Yes;
        case QMessageBox::No:
            return Answer::No;
        default:
            return buttons == Buttons::Ok ? Answer::Ok : Answer::Cancel;
    }
}

QString QtPrompts::openFileName(QWidget* parent, const QString& filter) {
    return QFileDialog::getOpenFileName(parent, QString(), QString(), toQtNameFilter(filter));
}

QString QtPrompts::saveFileName(QWidget* parent, const QString& filter) {
    return QFileDialog::getSaveFileName(parent, QString(), QString(), toQtNameFilter(filter));
}
