#include "ScriptFiles.h"

#include <exception>

#include "ScriptEditor.h"
#include "ScriptFile.h"
#include "compiler/Tarnfold.h"

namespace tarnfold::app {

ScriptFiles::ScriptFiles(ScriptEditor* field, const Dialogs& dialogs, QWidget* window)
    : QObject(window), field_(field), dialogs_(dialogs), window_(window) {
    connect(field_->document(), &QTextDocument::modificationChanged, this, &ScriptFiles::Changed);
}

QString ScriptFiles::Name() const {
    return path_.empty() ? tr("untitled") : QString::fromStdU16String(path_.filename().u16string());
}

bool ScriptFiles::Modified() const {
    return field_->document()->isModified() && !(path_.empty() && field_->document()->isEmpty());
}

bool ScriptFiles::MayReplace() {
    if (!Modified()) return true;
    switch (dialogs_.AskToSave(window_, Name())) {
        case SaveAnswer::Save: return Save();
        case SaveAnswer::Discard: return true;
        case SaveAnswer::Cancel: break;
    }
    return false;
}

bool ScriptFiles::Open(const std::filesystem::path& path) { return !path.empty() && MayReplace() && Load(path); }

// Asks first: a cancelled dialog then leaves the field as it is.
bool ScriptFiles::OpenChosen() {
    if (!MayReplace()) return false;
    const std::filesystem::path chosen = dialogs_.ChooseScript(path_.empty() ? StartFolder : path_.parent_path());
    return !chosen.empty() && Load(chosen);
}

bool ScriptFiles::Load(const std::filesystem::path& path) {
    try {
        const ScriptText script = ReadScriptFile(path);
        field_->ReplaceText(script.text);
        field_->moveCursor(QTextCursor::Start);
        path_ = path;
        crlf_ = script.crlf;
        field_->document()->setModified(false);
    } catch (const std::exception& error) {
        Fail(error);
        return false;
    }
    emit Changed();
    emit Used(path_);
    return true;
}

bool ScriptFiles::Save() { return path_.empty() ? SaveAs() : WriteTo(path_); }

bool ScriptFiles::SaveAs() {
    const char* extension = LooksLikeHsc(field_->toPlainText().toStdString()) ? ".hsc" : ".xml";
    const QString untitled = tr("untitled") + QLatin1String(extension);
    std::filesystem::path chosen = dialogs_.ChooseScriptName(path_.empty() ? StartFolder / untitled.toStdU16String() : path_);
    if (chosen.empty()) return false;
    if (!chosen.has_extension()) chosen += extension;
    return WriteTo(chosen);
}

void ScriptFiles::Detach() {
    path_.clear();
    crlf_ = false;
    emit Changed();
}

bool ScriptFiles::WriteTo(const std::filesystem::path& path) {
    try {
        WriteScriptFile(path, {field_->toPlainText(), crlf_});
    } catch (const std::exception& error) {
        Fail(error);
        return false;
    }
    path_ = path;
    field_->document()->setModified(false);
    emit Changed();
    emit Used(path_);
    return true;
}

void ScriptFiles::Fail(const std::exception& error) {
    dialogs_.Messages(window_, {Message::Kind::Warning, QString::fromStdString(error.what()), {}});
}

}  // namespace tarnfold::app
