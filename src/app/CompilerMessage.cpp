#include "CompilerMessage.h"

#include <QRegularExpression>

namespace tarnfold::app {

QString CompilerMessage::Where() const {
    if (line <= 0) return {};
    const QString place = QStringLiteral("%1:%2").arg(line).arg(column);
    return file.isEmpty() ? place : file + ':' + place;
}

CompilerMessage ParseCompilerMessage(const QString& raw, CompilerMessage::Level level, const QString& file) {
    // The file part is greedy so that a path with colons (C:\maps\a.hsc) stays whole.
    static const QRegularExpression compilerForm(
        QStringLiteral(R"(^(.*):(\d+):(\d+): (error|warning|note): (.*)$)"),
        QRegularExpression::DotMatchesEverythingOption);
    // "element "X" at line L, column C" goes on with ": WHAT", " is ..." or ", the ...".
    static const QRegularExpression documentForm(
        QStringLiteral(R"(^(element "[^"]*"|XML error) at line (\d+), column (\d+)(.*)$)"),
        QRegularExpression::DotMatchesEverythingOption);

    CompilerMessage message{level, {}, 0, 0, raw, raw};
    if (const auto match = compilerForm.match(raw); match.hasMatch()) {
        const QString kind = match.captured(4);
        message.level = kind == QLatin1String("error")     ? CompilerMessage::Level::Error
                        : kind == QLatin1String("warning") ? CompilerMessage::Level::Warning
                                                           : CompilerMessage::Level::Information;
        message.file = match.captured(1);
        message.line = match.captured(2).toInt();
        message.column = match.captured(3).toInt();
        message.text = match.captured(5);
    } else if (const auto form = documentForm.match(raw); form.hasMatch()) {
        message.file = file;
        message.line = form.captured(2).toInt();
        message.column = form.captured(3).toInt();
        message.text = form.captured(1) + form.captured(4);
    }
    return message;
}

}  // namespace tarnfold::app
