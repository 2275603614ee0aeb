#pragma once

#include <QPlainTextEdit>

#include "BracketMatcher.h"

namespace tarnfold::app {

class HscHighlighter;
class LineNumberArea;

// The script field as an editor: a fixed-width font, no line wrap, line
// numbers, the caret's line lit, HSC coloured and its brackets matched.
// Tab indents (the selected lines, with a selection) and Shift+Tab takes the
// indentation back; Ctrl+Tab and Ctrl+Shift+Tab move the focus on and back,
// so the keyboard can always leave the field. Enter keeps the line's indentation.
class ScriptEditor : public QPlainTextEdit {
    Q_OBJECT
public:
    // Spaces per indentation step: the kit's style, as `scripts --hsc` writes it.
    static constexpr int kIndent = 4;

    explicit ScriptEditor(QWidget* parent);

    // Moves the caret to a place a compiler named: 1-based line and column,
    // the column in bytes of the line's UTF-8 text. A place past the end
    // goes to the end of the line, or of the text.
    void GoTo(int line, int byteColumn);
    // Replaces the whole text as one edit that Undo takes back.
    void ReplaceText(const QString& text);

    // The caret's line and column, 1-based, the column in characters.
    int CaretLine() const;
    int CaretColumn() const;

    HscHighlighter* Highlighter() const { return highlighter_; }

    int LineNumberWidth() const;
    void PaintLineNumbers(QWidget* area, const QRect& rect);

signals:
    void CaretMoved(int line, int column);

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    void Indent(bool in);
    void NewLineKeepingIndentation();
    void MoveFocus(bool forward);
    void TextChanged();
    void ShowCaretLine();
    void UpdateLineNumbers(const QRect& rect, int dy);
    void FitLineNumbers();

    LineNumberArea* numbers_;
    HscHighlighter* highlighter_;
    BracketMatcher brackets_;
};

}  // namespace tarnfold::app
