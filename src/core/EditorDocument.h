#pragma once

#include <QString>
#include <functional>

class Prompts;
class QWidget;

// What both editor windows keep about their document: the file it belongs to (the window's
// title is written from it, never read back), the unsaved-changes mark, the unsaved-changes
// question, Save and Save As, the recent list, and the messages about failed saves and reads.
// The window hands in how it writes itself.
class EditorDocument {
public:
    // Whether a save runs because the window is closing ("Unload") or for a command ("Load").
    enum class SaveMode { Load, Unload };
    // What a save or the unsaved-changes question came to.
    enum class SaveResult { Saved, NothingToSave, Cancelled, Failed };
    // Writes the document to `path` (`sameFile`: back to the file it came from); returns why
    // it could not, or an empty text.
    using Writer = std::function<QString(const QString& path, bool sameFile)>;

    EditorDocument(Prompts& prompts, QWidget* window, QString baseTitle, const QString& recentFile);
    Q_DISABLE_COPY_MOVE(EditorDocument)

    // The command must stop: the user cancelled, or the save failed.
    static bool stops(SaveResult result) {
        return result == SaveResult::Cancelled || result == SaveResult::Failed;
    }

    QString path() const { return path_; }
    void setPath(const QString& path);
    // The base title, or the base title, " - " and the path.
    QString title() const;
    bool changed() const { return changed_; }
    void setChanged(bool changed);

    // The unsaved-changes question; Yes saves with `mode`. A save dialog cancelled after Yes
    // stops the command, so the changes the user asked to keep are not dropped.
    SaveResult maybeSave(SaveMode mode);
    // Save: a document without a file goes to Save As; one with a file is written back only
    // when changed.
    SaveResult save(SaveMode mode);
    // Save As: asks for a path; only a file really written takes the title and joins the
    // recent list.
    SaveResult saveAs(SaveMode mode);
    // The question before the program ends; a No is remembered until the next change, so the
    // close that ends the program does not ask again.
    bool settleBeforeExit();
    bool discardConfirmed() const { return discardConfirmed_; }

    // A failed save or read: the reason, with the file it concerns.
    void showError(const QString& text) const;

    Writer writer;
    std::function<QString()> saveFilter;
    // Runs when the path changes, so the window's title follows it.
    std::function<void()> pathChanged;

private:
    Prompts& prompts_;
    QWidget* window_;
    QString baseTitle_;
    const QString& recentFile_;
    QString path_;
    bool changed_ = false;
    bool discardConfirmed_ = false;
};
