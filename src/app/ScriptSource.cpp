#include "ScriptSource.h"

#include <QStringList>

#include "HscScanner.h"
#include "engine/Tables.h"

namespace tarnfold::app {

namespace {

// The name a script form declares, from the atoms that open it: "script",
// its type, the return type when the type declares one, the name.
bool Declares(const QStringList& head, QStringView name) {
    if (head.size() < 3 || head[0].compare(QLatin1String("script"), Qt::CaseInsensitive) != 0) return false;
    const engine::ScriptType* type = engine::FindScriptType(head[1].toLower().toStdString());
    const qsizetype at = type && type->declaresReturnType ? 3 : 2;
    return at < head.size() && head[at].compare(name, Qt::CaseInsensitive) == 0;
}

}  // namespace

SourceRange FindScriptSource(QStringView hsc, QStringView name) {
    SourceRange found, form;
    int depth = 0;
    bool inHead = false;  // still reading the atoms before the form's first inner bracket
    QStringList head;
    ScanHsc(hsc, false, [&](HscPart part, qsizetype start, qsizetype length) {
        if (found.start >= 0) return;
        if (part == HscPart::Open && depth++ == 0) {
            form.start = start;
            head.clear();
            inHead = true;
        } else if (part == HscPart::Open) {
            inHead = false;
        } else if (part == HscPart::Close && depth > 0 && --depth == 0) {
            if (Declares(head, name)) found = {form.start, start + 1 - form.start};
        } else if (part == HscPart::Atom && depth == 1 && inHead) {
            head << hsc.sliced(start, length).toString();
        }
    });
    return found;
}

}  // namespace tarnfold::app
