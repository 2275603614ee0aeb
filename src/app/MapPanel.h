#pragma once

#include <QTreeWidget>

#include "compiler/Tarnfold.h"

namespace tarnfold::app {

// What the loaded map holds: its game, the node table's use, the scripts
// and the globals with their types, who compiled the scripts and whether the
// game would load them. Double-click or Enter on a script asks for its source.
class MapPanel : public QTreeWidget {
    Q_OBJECT
public:
    explicit MapPanel(QWidget* parent);

    // Shows the map; hides the panel when no map is loaded.
    void Show(const MapReport& map);
    // The value shown for a row: "Nodes", "Game", ...; empty when there is no such row.
    QString Value(const QString& row) const;

    // A number as the window writes it: 19,001.
    static QString Count(qint64 number);

    // Room for the first rows: the panel takes no more of a small window.
    QSize sizeHint() const override;

signals:
    void ScriptChosen(const QString& name);

private:
    QTreeWidgetItem* AddRow(const QString& name, const QString& value);
};

}  // namespace tarnfold::app
