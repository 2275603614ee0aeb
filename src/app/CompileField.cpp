#include "CompileField.h"

#include <exception>

#include "hsc/Diagnostics.h"

namespace tarnfold::app {

FieldCompile CompileField(const std::filesystem::path& map, const QString& text, const QString& name,
                          bool replaceForeign) {
    using Level = CompilerMessage::Level;
    FieldCompile result;
    const auto add = [&](const std::string& message, Level level) {
        result.messages.push_back(ParseCompilerMessage(QString::fromStdString(message), level, name));
    };
    CompileOptions options;
    options.replaceForeign = replaceForeign;
    options.onWarning = [&](const Diagnostic& warning) { add(warning.Format("warning"), Level::Warning); };
    options.documentName = name.toStdString();
    try {
        const std::string source = text.toStdString();
        result.summary = LooksLikeHsc(source) ? CompileHsc(map, source, name.toStdString(), options)
                                              : CompileDocument(map, source, options);
        result.done = true;
    } catch (const hsc::HscError& error) {
        for (const std::string& message : error.Messages()) add(message, Level::Error);
    } catch (const std::exception& error) {
        add(error.what(), Level::Error);
    }
    return result;
}

}  // namespace tarnfold::app
