#include "EditorDocument.h"

#include "AppTitle.h"
#include "Prompts.h"
#include "RecentList.h"

namespace {
const QString UnsavedQuestion =
    QStringLiteral("You have not yet saved your link. Do you want to save it now ?");
}  // namespace

EditorDocument::EditorDocument(Prompts& prompts, QWidget* window, QString baseTitle,
                               const QString& recentFile)
    : prompts_(prompts),
      window_(window),
      baseTitle_(std::move(baseTitle)),
      recentFile_(recentFile) {}

void EditorDocument::setPath(const QString& path) {
    path_ = path;
    if (pathChanged) {
        pathChanged();
    }
}

QString EditorDocument::title() const {
    return path_.isEmpty() ? baseTitle_ : baseTitle_ + QStringLiteral(" - ") + path_;
}

void EditorDocument::setChanged(bool changed) {
    changed_ = changed;
    if (changed) {
        discardConfirmed_ = false;
    }
}

EditorDocument::SaveResult EditorDocument::maybeSave(SaveMode mode) {
    if (!changed_) {
        return SaveResult::NothingToSave;
    }
    switch (prompts_.message(window_, UnsavedQuestion, AppTitle, Prompts::Icon::Question,
                             Prompts::Buttons::YesNoCancel)) {
        case Prompts::Answer::Yes: {
            const SaveResult result = save(mode);
            return result == SaveResult::NothingToSave && changed_ ? SaveResult::Cancelled : result;
        }
        case Prompts::Answer::No:
            return SaveResult::NothingToSave;
        case Prompts::Answer::Ok:
        case Prompts::Answer::Cancel:
            break;
    }
    return SaveResult::Cancelled;
}

EditorDocument::SaveResult EditorDocument::save(SaveMode mode) {
    if (path_.isEmpty()) {
        return saveAs(mode);
    }
    if (!changed_) {
        return SaveResult::NothingToSave;
    }
    const QString error = writer(path_, true);
    if (!error.isEmpty()) {
        showError(error);
        return SaveResult::Failed;
    }
    changed_ = false;
    return SaveResult::Saved;
}

EditorDocument::SaveResult EditorDocument::saveAs(SaveMode mode) {
    const QString path = prompts_.saveFileName(window_, saveFilter());
    if (path.isEmpty()) {
        // Closing stops here; any other command goes on without a save.
        return mode == SaveMode::Unload ? SaveResult::Cancelled : SaveResult::NothingToSave;
    }
    const QString error = writer(path, false);
    if (!error.isEmpty()) {
        showError(error);
        return SaveResult::Failed;
    }
    setPath(path);
    changed_ = false;
    if (recentFile_.isEmpty()) {
        return SaveResult::Saved;
    }
    const QString recentError = RecentList::append(recentFile_, path);
    if (!recentError.isEmpty()) {
        showError(QStringLiteral("The link was saved to \"%1\", but it could not be added to "
                                 "the recent links list.\n\n%2")
                      .arg(path, recentError));
    }
    return SaveResult::Saved;
}

bool EditorDocument::settleBeforeExit() {
    if (stops(maybeSave(SaveMode::Unload))) {
        return false;
    }
    discardConfirmed_ = changed_;
    return true;
}

void EditorDocument::showError(const QString& text) const {
    prompts_.message(window_, text, AppTitle, Prompts::Icon::Warning, Prompts::Buttons::Ok);
}
