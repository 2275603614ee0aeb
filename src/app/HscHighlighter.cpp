#include "HscHighlighter.h"

#include <QGuiApplication>
#include <QPalette>
#include <QRegularExpression>
#include <QSet>

#include "HscScanner.h"
#include "engine/Tables.h"

namespace tarnfold::app {

namespace {

// The names of the engine's tables, as the compiler reads them (lower case).
QSet<QString> Names(auto table) {
    QSet<QString> names;
    for (const auto& entry : table) names.insert(QString::fromUtf8(entry.name.data(), qsizetype(entry.name.size())));
    return names;
}

const QSet<QString>& FunctionNames() {
    static const QSet<QString> names = Names(engine::Functions());
    return names;
}

const QSet<QString>& GlobalNames() {
    static const QSet<QString> names = Names(engine::Globals());
    return names;
}

bool IsNumber(const QString& atom) {
    static const QRegularExpression number(QStringLiteral(R"(^[+-]?(\d+\.?\d*|\.\d+)([eE][+-]?\d+)?$)"));
    return number.match(atom).hasMatch();
}

bool IsKeyword(const QString& atom) {
    return atom.compare(QLatin1String("script"), Qt::CaseInsensitive) == 0 ||
           atom.compare(QLatin1String("global"), Qt::CaseInsensitive) == 0;
}

QTextCharFormat Colour(const char* light, const char* dark, bool darkTheme, bool bold = false, bool italic = false) {
    QTextCharFormat format;
    format.setForeground(QColor(QLatin1String(darkTheme ? dark : light)));
    if (bold) format.setFontWeight(QFont::Bold);
    format.setFontItalic(italic);
    return format;
}

}  // namespace

HscHighlighter::HscHighlighter(QTextDocument* document) : QSyntaxHighlighter(document) { ChooseColours(); }

// Colours that read on the theme's background, light or dark.
void HscHighlighter::ChooseColours() {
    const bool dark = QGuiApplication::palette().color(QPalette::Base).lightness() < 128;
    comment = Colour("#6a7a6a", "#8fa88f", dark, false, true);
    string = Colour("#a31515", "#e0907a", dark);
    number = Colour("#0a7a55", "#9fd8a8", dark);
    function = Colour("#1f3fbf", "#8fb4ff", dark, true);
    global = Colour("#7a4f00", "#e6c07a", dark);
    keyword = Colour("#8a1f9a", "#d8a0f0", dark, true);
}

void HscHighlighter::SetEnabled(bool enabled) {
    if (enabled == enabled_) return;
    enabled_ = enabled;
    rehighlight();
}

void HscHighlighter::highlightBlock(const QString& text) {
    if (!enabled_) return setCurrentBlockState(0);
    HscPart previous = HscPart::Comment;
    const bool open = ScanHsc(text, previousBlockState() == 1, [&](HscPart part, qsizetype start, qsizetype length) {
        const auto paint = [&](const QTextCharFormat& format) { setFormat(int(start), int(length), format); };
        const bool called = previous == HscPart::Open;  // the atom names what a call calls
        if (part != HscPart::Comment) previous = part;
        if (part == HscPart::Comment) return paint(comment);
        if (part == HscPart::String) return paint(string);
        if (part != HscPart::Atom) return;
        const QString atom = text.sliced(start, length);
        if (IsNumber(atom)) paint(number);
        else if (called && IsKeyword(atom)) paint(keyword);
        else if (called && FunctionNames().contains(atom.toLower())) paint(function);
        else if (GlobalNames().contains(atom.toLower())) paint(global);
    });
    setCurrentBlockState(open ? 1 : 0);
}

}  // namespace tarnfold::app
