#include "ScriptFile.h"

#include <QFile>
#include <QSaveFile>
#include <QStringDecoder>

#include "runtime/Utf8Path.h"
#include "runtime/Error.h"

namespace tarnfold::app {

namespace {

std::string Named(const std::filesystem::path& path) { return "'" + Utf8(path) + "'"; }

}  // namespace

bool IsScriptFile(const std::filesystem::path& path) {
    const QString extension = QString::fromStdU16String(path.extension().u16string());
    return extension.compare(QLatin1String(".hsc"), Qt::CaseInsensitive) == 0 ||
           extension.compare(QLatin1String(".xml"), Qt::CaseInsensitive) == 0;
}

ScriptText ReadScriptFile(const std::filesystem::path& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        throw Error("cannot open the script " + Named(path) + ": " + file.errorString().toStdString());
    const QByteArray bytes = file.readAll();
    const auto encoding = QStringConverter::encodingForData(bytes).value_or(QStringConverter::Utf8);
    QStringDecoder decode(encoding);  // drops the byte order mark
    QString text = decode(bytes);
    if (decode.hasError())
        throw Error("the script " + Named(path) + " is neither UTF-8 text nor UTF-16 text with a byte order mark");
    const bool crlf = text.contains(QLatin1String("\r\n"));
    text.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    return {text, crlf};
}

void WriteScriptFile(const std::filesystem::path& path, const ScriptText& script) {
    QSaveFile file(QString::fromStdU16String(path.u16string()));
    QString text = script.text;
    if (script.crlf) text.replace(QLatin1Char('\n'), QLatin1String("\r\n"));
    if (!file.open(QIODevice::WriteOnly) || file.write(text.toUtf8()) < 0 || !file.commit())
        throw Error("cannot save the script " + Named(path) + ": " + file.errorString().toStdString());
}

}  // namespace tarnfold::app
