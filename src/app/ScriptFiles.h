#pragma once

#include <QObject>
#include <filesystem>

#include "Dialogs.h"

namespace tarnfold::app {

class ScriptEditor;

// The script field's file: which file the field holds, whether its text
// changed since it was opened or saved, and the commands that open and save
// it. Before a changed text would be lost it asks: Save, Discard or Cancel.
class ScriptFiles : public QObject {
    Q_OBJECT
public:
    ScriptFiles(ScriptEditor* field, const Dialogs& dialogs, QWidget* window);

    const std::filesystem::path& Path() const { return path_; }
    // The file's name, or "untitled".
    QString Name() const;
    // Changed since it was opened or saved; an empty untitled field has nothing to lose.
    bool Modified() const;

    // Where the dialogs start when the field has no file yet (the loaded map's folder).
    std::filesystem::path StartFolder;

    // Whether the text may go: true when it is unchanged, saved, or to be
    // discarded; false when the user cancels or the save fails.
    bool MayReplace();
    // Opens the file into the field, after MayReplace, as one edit that Undo
    // takes back. Errors are shown; false when nothing was opened.
    bool Open(const std::filesystem::path& path);
    // File > Open script: the dialog, then Open.
    bool OpenChosen();
    // Saves into the field's file, or asks for one as SaveAs does.
    bool Save();
    // Asks for a file (the extension follows the text: .hsc or .xml) and saves into it.
    bool SaveAs();
    // The field holds text from elsewhere now (the map): it has no file until saved.
    void Detach();

signals:
    // The file or the modified state changed: the title follows.
    void Changed();
    // A file was opened or saved: the recent list takes it.
    void Used(const std::filesystem::path& path);

private:
    bool Load(const std::filesystem::path& path);
    bool WriteTo(const std::filesystem::path& path);
    void Fail(const std::exception& error);

    ScriptEditor* field_;
    const Dialogs& dialogs_;
    QWidget* window_;
    std::filesystem::path path_;
    bool crlf_ = false;
};

}  // namespace tarnfold::app
