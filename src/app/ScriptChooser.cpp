#include "ScriptChooser.h"

#include <QCoreApplication>
#include <QFileDialog>

namespace tarnfold::app {

namespace {

QString Translated(const char* text) { return QCoreApplication::translate("ScriptChooser", text); }

std::filesystem::path Chosen(const QString& chosen) {
    return chosen.isEmpty() ? std::filesystem::path() : std::filesystem::path(chosen.toStdU16String());
}

QString Start(const std::filesystem::path& start) { return QString::fromStdU16String(start.u16string()); }

}  // namespace

QString ScriptFileFilter() {
    return QStringList{Translated(QT_TRANSLATE_NOOP("ScriptChooser", "Scripts (*.hsc *.xml)")),
                       Translated(QT_TRANSLATE_NOOP("ScriptChooser", "HSC sources (*.hsc)")),
                       Translated(QT_TRANSLATE_NOOP("ScriptChooser", "Script documents (*.xml)")),
                       Translated(QT_TRANSLATE_NOOP("ScriptChooser", "All files (*)"))}
        .join(QStringLiteral(";;"));
}

ScriptChooser OpenScriptDialog(QWidget* parent) {
    return [parent](const std::filesystem::path& start) {
        return Chosen(QFileDialog::getOpenFileName(parent, Translated(QT_TRANSLATE_NOOP("ScriptChooser", "Open script")),
                                                   Start(start), ScriptFileFilter()));
    };
}

ScriptChooser SaveScriptDialog(QWidget* parent) {
    return [parent](const std::filesystem::path& start) {
        return Chosen(QFileDialog::getSaveFileName(parent, Translated(QT_TRANSLATE_NOOP("ScriptChooser", "Save script as")),
                                                   Start(start), ScriptFileFilter()));
    };
}

}  // namespace tarnfold::app
