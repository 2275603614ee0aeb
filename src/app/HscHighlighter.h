#pragma once

#include <QSyntaxHighlighter>
#include <QTextCharFormat>

namespace tarnfold::app {

// Colours HSC in the script field: comments, strings, numbers, the engine's
// functions (from its tables) where a call names them, its globals, and the
// words that declare scripts and globals. A script document (XML) is left
// plain: SetEnabled(false).
class HscHighlighter : public QSyntaxHighlighter {
    Q_OBJECT
public:
    explicit HscHighlighter(QTextDocument* document);

    // Colours or stops colouring, rehighlighting only on a change.
    void SetEnabled(bool enabled);
    bool Enabled() const { return enabled_; }

    // The formats, by what they colour; public for the tests.
    QTextCharFormat comment, string, number, function, global, keyword;

protected:
    void highlightBlock(const QString& text) override;

private:
    void ChooseColours();
    bool enabled_ = true;
};

}  // namespace tarnfold::app
