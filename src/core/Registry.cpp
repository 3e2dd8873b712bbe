#include "Registry.h"

#include "SettingsBackend.h"

const QString Registry::ProductKey = QStringLiteral("SOFTWARE\\Tessaly\\Orvane Editor");
const QString Registry::OptionKey = QStringLiteral("SOFTWARE\\Tessaly\\Orvane Editor\\Option");
const QString Registry::Version = QStringLiteral("Version");
const QString Registry::ShowTipsAtStartup = QStringLiteral("Show Tips at Startup");
const QString Registry::ShowStartupWizard = QStringLiteral("Show Startup Wizard");
const QString Registry::ShowEditorAtStartup = QStringLiteral("Show Editor at Startup");
const QString Registry::DefaultLink = QStringLiteral("Default Link");

SettingText Registry::GetSettingText(Root, const QString& keyPath, const QString& valueName) const {
    SettingText value = backend_.read(keyPath, valueName);
    if (value) {
        return CutAtNul(*value);
    }
    return std::nullopt;
}

void Registry::SaveSettingText(Root, const QString& keyPath, const QString& valueName,
                               const QString& text) {
    backend_.write(keyPath, valueName, text);
}

QString Registry::CutAtNul(const QString& text) {
    const qsizetype nul = text.indexOf(QChar(u'\0'));
    return nul < 0 ? text : text.left(nul);
}

int settingNumber(const SettingText& value) {
    if (!value) {
        return 0;
    }
    // Like a BASIC Val: leading blanks, an optional sign and the digits that follow.
    const QString text = value->trimmed();
    qsizetype end = 0;
    if (end < text.size() && (text[end] == u'-' || text[end] == u'+')) {
        ++end;
    }
    while (end < text.size() && text[end] >= u'0' && text[end] <= u'9') {
        ++end;
    }
    bool ok = false;
    const int number = text.left(end).toInt(&ok);
    return ok ? number : 0;
}
