#pragma once

#include <QWidget>

namespace tarnfold::app {

class ScriptEditor;

// The strip left of the script field that numbers its lines; the field
// paints it, since only the field knows where its lines are.
class LineNumberArea : public QWidget {
    Q_OBJECT
public:
    explicit LineNumberArea(ScriptEditor* editor);

    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    ScriptEditor* editor_;
};

}  // namespace tarnfold::app
