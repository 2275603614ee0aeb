#include "LineNumberArea.h"

#include <QPaintEvent>

#include "ScriptEditor.h"

namespace tarnfold::app {

LineNumberArea::LineNumberArea(ScriptEditor* editor) : QWidget(editor), editor_(editor) {
    setObjectName("LineNumbers");
    setFocusPolicy(Qt::NoFocus);
}

QSize LineNumberArea::sizeHint() const { return {editor_->LineNumberWidth(), 0}; }

void LineNumberArea::paintEvent(QPaintEvent* event) { editor_->PaintLineNumbers(this, event->rect()); }

}  // namespace tarnfold::app
