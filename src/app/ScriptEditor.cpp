#include "ScriptEditor.h"

#include <QFontDatabase>
#include <QKeyEvent>
#include <QPainter>
#include <QTextBlock>
#include <algorithm>

#include "HscHighlighter.h"
#include "LineNumberArea.h"
#include "compiler/Tarnfold.h"

namespace tarnfold::app {

namespace {

// The first characters of the text up to one that is not white space: all
// that tells HSC from a script document.
QString Opening(const QTextDocument* document) {
    QString opening;
    for (QTextBlock block = document->begin(); block.isValid(); block = block.next()) {
        const QString text = block.text();
        const auto first = std::find_if(text.begin(), text.end(), [](QChar c) { return !c.isSpace(); });
        if (first != text.end()) return opening + *first;
        opening += QLatin1Char('\n');
    }
    return opening;
}

QTextEdit::ExtraSelection Mark(const QTextCursor& at, const QColor& background, bool wholeLine = false) {
    QTextEdit::ExtraSelection mark;
    mark.cursor = at;
    mark.format.setBackground(background);
    if (wholeLine) mark.format.setProperty(QTextFormat::FullWidthSelection, true);
    return mark;
}

QTextCursor CharacterAt(QTextDocument* document, qsizetype position) {
    QTextCursor cursor(document);
    cursor.setPosition(int(position));
    cursor.movePosition(QTextCursor::NextCharacter, QTextCursor::KeepAnchor);
    return cursor;
}

}  // namespace

ScriptEditor::ScriptEditor(QWidget* parent)
    : QPlainTextEdit(parent), numbers_(new LineNumberArea(this)), highlighter_(new HscHighlighter(document())) {
    QFont font = QFontDatabase::systemFont(QFontDatabase::FixedFont);
    font.setPointSize(10);
    setFont(font);
    setLineWrapMode(QPlainTextEdit::NoWrap);
    setTabStopDistance(kIndent * fontMetrics().horizontalAdvance(QLatin1Char(' ')));
    setAccessibleName(tr("Script"));
    connect(this, &QPlainTextEdit::blockCountChanged, this, &ScriptEditor::FitLineNumbers);
    connect(this, &QPlainTextEdit::updateRequest, this, &ScriptEditor::UpdateLineNumbers);
    connect(this, &QPlainTextEdit::cursorPositionChanged, this, &ScriptEditor::ShowCaretLine);
    connect(this, &QPlainTextEdit::textChanged, this, &ScriptEditor::TextChanged);
    FitLineNumbers();
    TextChanged();
}

int ScriptEditor::CaretLine() const { return textCursor().blockNumber() + 1; }
int ScriptEditor::CaretColumn() const { return textCursor().positionInBlock() + 1; }

void ScriptEditor::GoTo(int line, int byteColumn) {
    QTextBlock block = document()->findBlockByNumber(std::max(line, 1) - 1);
    if (!block.isValid()) block = document()->lastBlock();
    const QByteArray bytes = block.text().toUtf8();
    const QString before = QString::fromUtf8(bytes.left(std::max(byteColumn, 1) - 1));
    QTextCursor cursor(block);
    cursor.setPosition(block.position() + int(std::min(before.size(), qsizetype(block.length() - 1))));
    setTextCursor(cursor);
    centerCursor();
    setFocus(Qt::OtherFocusReason);
}

void ScriptEditor::ReplaceText(const QString& text) {
    QTextCursor cursor(document());
    cursor.beginEditBlock();
    cursor.select(QTextCursor::Document);
    cursor.insertText(text);
    cursor.endEditBlock();
}

void ScriptEditor::keyPressEvent(QKeyEvent* event) {
    const int key = event->key();
    const Qt::KeyboardModifiers modifiers = event->modifiers();
    const bool tab = key == Qt::Key_Tab || key == Qt::Key_Backtab;
    if (tab && (modifiers & Qt::ControlModifier))
        return MoveFocus(key == Qt::Key_Tab && !(modifiers & Qt::ShiftModifier));
    if (tab && !isReadOnly()) return Indent(key == Qt::Key_Tab && !(modifiers & Qt::ShiftModifier));
    if ((key == Qt::Key_Return || key == Qt::Key_Enter) && modifiers == Qt::NoModifier && !isReadOnly())
        return NewLineKeepingIndentation();
    QPlainTextEdit::keyPressEvent(event);
}

// Indents to the next step at the caret, or the selected lines a step in or out.
void ScriptEditor::Indent(bool in) {
    QTextCursor cursor = textCursor();
    if (in && !cursor.hasSelection())
        return cursor.insertText(QString(kIndent - cursor.positionInBlock() % kIndent, QLatin1Char(' ')));
    const QTextBlock first = document()->findBlock(cursor.selectionStart());
    QTextBlock last = document()->findBlock(cursor.selectionEnd());
    // A selection that ends at the start of a line leaves that line alone.
    if (last != first && cursor.selectionEnd() == last.position()) last = last.previous();
    cursor.beginEditBlock();
    for (QTextBlock block = first; block.isValid(); block = block.next()) {
        QTextCursor start(block);
        if (in) {
            start.insertText(QString(kIndent, QLatin1Char(' ')));
        } else {
            const QString text = block.text();
            int width = 0;
            while (width < kIndent && width < text.size() && text[width] == ' ') ++width;
            if (width == 0 && text.startsWith('\t')) width = 1;
            start.movePosition(QTextCursor::NextCharacter, QTextCursor::KeepAnchor, width);
            start.removeSelectedText();
        }
        if (block == last) break;
    }
    cursor.endEditBlock();
}

void ScriptEditor::NewLineKeepingIndentation() {
    const QString line = textCursor().block().text().left(textCursor().positionInBlock());
    const auto end = std::find_if(line.begin(), line.end(), [](QChar c) { return c != ' ' && c != '\t'; });
    textCursor().insertText(QLatin1Char('\n') + line.left(end - line.begin()));
    ensureCursorVisible();
}

// QPlainTextEdit refuses to pass the focus on while it takes Tab itself; the
// widget's own focus chain does. With no other control to take it, the
// field lets the focus go all the same.
void ScriptEditor::MoveFocus(bool forward) {
    if (!QWidget::focusNextPrevChild(forward) || hasFocus()) clearFocus();
}

void ScriptEditor::TextChanged() {
    const bool hsc = LooksLikeHsc(Opening(document()).toStdString());
    highlighter_->SetEnabled(hsc);
    brackets_.Reset(hsc ? QStringView(toPlainText()) : QStringView());
    ShowCaretLine();
}

// The caret's line, and the bracket at or before the caret with its partner.
void ScriptEditor::ShowCaretLine() {
    const QPalette colours = palette();
    QColor line = colours.color(QPalette::Highlight);
    line.setAlpha(28);
    QList<QTextEdit::ExtraSelection> marks{Mark(textCursor(), line, true)};
    marks.front().cursor.clearSelection();
    const int caret = textCursor().position();
    const bool dark = colours.color(QPalette::Base).lightness() < 128;
    const QColor paired = dark ? QColor(0x2e, 0x6b, 0x5e) : QColor(0xb4, 0xe6, 0xd6);
    const QColor alone = dark ? QColor(0x8a, 0x2a, 0x2a) : QColor(0xff, 0xb0, 0xb0);
    for (const int at : {caret, caret - 1}) {
        const qsizetype partner = at >= 0 ? brackets_.Partner(at) : BracketMatcher::kNotABracket;
        if (partner == BracketMatcher::kNotABracket) continue;
        marks << Mark(CharacterAt(document(), at), partner >= 0 ? paired : alone);
        if (partner >= 0) marks << Mark(CharacterAt(document(), partner), paired);
        break;
    }
    setExtraSelections(marks);
    numbers_->update();
    emit CaretMoved(CaretLine(), CaretColumn());
}

int ScriptEditor::LineNumberWidth() const {
    const int digits = std::max<int>(2, int(QString::number(std::max(1, blockCount())).size()));
    return 8 + digits * fontMetrics().horizontalAdvance(QLatin1Char('9'));
}

void ScriptEditor::UpdateLineNumbers(const QRect& rect, int dy) {
    if (dy != 0)
        numbers_->scroll(0, dy);
    else
        numbers_->update(0, rect.y(), numbers_->width(), rect.height());
}

void ScriptEditor::resizeEvent(QResizeEvent* event) {
    QPlainTextEdit::resizeEvent(event);
    FitLineNumbers();
}

// The numbers' strip takes as many digits as the last line's number has.
void ScriptEditor::FitLineNumbers() {
    setViewportMargins(LineNumberWidth(), 0, 0, 0);
    const QRect inside = contentsRect();
    numbers_->setGeometry(inside.left(), inside.top(), LineNumberWidth(), inside.height());
}

void ScriptEditor::PaintLineNumbers(QWidget* area, const QRect& rect) {
    QPainter painter(area);
    painter.fillRect(rect, palette().color(QPalette::Window));
    painter.setFont(font());
    const int caretLine = textCursor().blockNumber();
    QTextBlock block = firstVisibleBlock();
    int top = qRound(blockBoundingGeometry(block).translated(contentOffset()).top());
    while (block.isValid() && top <= rect.bottom()) {
        const int bottom = top + qRound(blockBoundingRect(block).height());
        if (block.isVisible() && bottom >= rect.top()) {
            const bool current = block.blockNumber() == caretLine;
            painter.setPen(palette().color(current ? QPalette::WindowText : QPalette::PlaceholderText));
            painter.drawText(0, top, area->width() - 4, fontMetrics().height(), Qt::AlignRight,
                             QString::number(block.blockNumber() + 1));
        }
        block = block.next();
        top = bottom;
    }
}

}  // namespace tarnfold::app
