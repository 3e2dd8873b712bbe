#include "OptionWrites.h"

#include <QStringList>

#include "AppState.h"
#include "AppTitle.h"
#include "Prompts.h"
#include "Registry.h"

bool writeOptions(AppState& state, QWidget* parent,
                  const QList<QPair<QString, QString>>& namesAndTexts) {
    QStringList failed;
    for (const auto& [name, text] : namesAndTexts) {
        state.registry.setOption(name, text);
        if (state.registry.option(name) != text) {
            failed.append(QStringLiteral("\"%1\"").arg(name));
        }
    }
    if (failed.isEmpty()) {
        return true;
    }
    const QString text =
        failed.size() == 1 ? QStringLiteral(
                                 "The setting %1 could not be saved in \"%2\": the settings store "
                                 "did not keep the new value. Check that the settings file can be "
                                 "written.")
                                 .arg(failed.first(), Registry::OptionKey)
                           : QStringLiteral(
                                 "The settings %1 could not be saved in \"%2\": the settings store "
                                 "did not keep the new values. Check that the settings file can be "
                                 "written.")
                                 .arg(failed.join(QStringLiteral(", ")), Registry::OptionKey);
    state.prompts.message(parent, text, AppTitle, Prompts::Icon::Warning, Prompts::Buttons::Ok);
    return false;
}
