#include "MapPanel.h"

#include <QHeaderView>
#include <QLocale>
#include <QStyle>

namespace tarnfold::app {

namespace {

enum Column { kName, kValue };
constexpr int kScriptRole = Qt::UserRole;

QString Text(const std::string& text) { return QString::fromStdString(text); }

// "Custom Edition (the map's header says version 609)": the game, and why.
QString GameOnly(const QString& game) {
    const qsizetype why = game.indexOf(QLatin1String(" ("));
    return why < 0 ? game : game.left(why);
}

}  // namespace

MapPanel::MapPanel(QWidget* parent) : QTreeWidget(parent) {
    setObjectName("MapPanel");
    setColumnCount(2);
    setHeaderHidden(true);
    setIndentation(12);
    setTextElideMode(Qt::ElideRight);
    header()->setStretchLastSection(true);
    header()->setSectionResizeMode(kName, QHeaderView::ResizeToContents);
    setAccessibleName(tr("Loaded map"));
    connect(this, &QTreeWidget::itemActivated, this, [this](QTreeWidgetItem* item) {
        if (const QString script = item->data(kName, kScriptRole).toString(); !script.isEmpty()) emit ScriptChosen(script);
    });
    hide();
}

QString MapPanel::Count(qint64 number) {
    QLocale locale;
    // The C locale writes no thousands separator; the untranslated texts are English.
    if (locale.language() == QLocale::C) locale = QLocale(QLocale::English, QLocale::UnitedStates);
    return locale.toString(number);
}

QSize MapPanel::sizeHint() const {
    const int row = fontMetrics().height() + 4;
    return {fontMetrics().averageCharWidth() * 48, 6 * row + 2 * frameWidth()};
}

QTreeWidgetItem* MapPanel::AddRow(const QString& name, const QString& value) {
    auto* row = new QTreeWidgetItem(this, {name, value});
    row->setToolTip(kValue, value);
    return row;
}

void MapPanel::Show(const MapReport& map) {
    clear();
    setVisible(!map.map.empty());
    if (map.map.empty()) return;
    const auto of = [](qint64 used, qint64 capacity) { return tr("%1 of %2").arg(Count(used), Count(capacity)); };

    AddRow(tr("Game"), GameOnly(Text(map.game)))->setToolTip(kValue, Text(map.game));
    AddRow(tr("Nodes"), of(map.nodes, map.nodeCapacity));

    QTreeWidgetItem* scripts = AddRow(tr("Scripts"), of(map.scripts, map.maxScripts));
    for (const ScriptReport& script : map.scriptList) {
        const QString nodes = script.nodes == 1 ? tr("1 node") : tr("%1 nodes").arg(Count(script.nodes));
        const QString what = QStringLiteral("%1, %2, %3").arg(Text(script.type), Text(script.returnType), nodes);
        auto* row = new QTreeWidgetItem(scripts, {Text(script.name), what});
        row->setData(kName, kScriptRole, Text(script.name));
        row->setToolTip(kName, tr("Double-click to see its source in the field"));
    }
    if (!map.scriptListProblem.empty())
        new QTreeWidgetItem(scripts, {tr("Not read"), Text(map.scriptListProblem)});
    scripts->setExpanded(true);

    if (!map.globalList.empty()) {
        QTreeWidgetItem* globals = AddRow(tr("Globals"), Count(qint64(map.globalList.size())));
        for (const GlobalReport& global : map.globalList)
            new QTreeWidgetItem(globals, {Text(global.name), Text(global.type)});
        globals->setExpanded(true);
    }

    AddRow(tr("Text"), tr("%1 bytes").arg(of(map.stringDataSize, map.maxStringData)));
    QTreeWidgetItem* compiler = AddRow(tr("Compiled by"), !map.hasScripts           ? tr("nothing yet")
                                                          : map.compiledByTarnfold ? tr("Tarnfold")
                                                                                   : tr("another tool"));
    compiler->setToolTip(kValue, !map.hasScripts           ? tr("The map holds no compiled scripts.")
                                 : map.compiledByTarnfold ? tr("A compile replaces these scripts as a whole.")
                                                          : tr("Tarnfold compiles only into maps without such scripts."));
    if (map.check.checked) {
        QTreeWidgetItem* check = AddRow(tr("The game"), map.check.loads ? tr("would load the scripts")
                                                                        : tr("would not load the scripts"));
        check->setIcon(kValue, style()->standardIcon(map.check.loads ? QStyle::SP_DialogApplyButton
                                                                     : QStyle::SP_MessageBoxWarning));
        for (const std::string& failure : map.check.failures) {
            auto* row = new QTreeWidgetItem(check, {Text(failure)});
            row->setFirstColumnSpanned(true);
            row->setToolTip(kName, Text(failure));
        }
        check->setExpanded(true);
    }
}

QString MapPanel::Value(const QString& row) const {
    const QList<QTreeWidgetItem*> found = findItems(row, Qt::MatchExactly, kName);
    return found.isEmpty() ? QString() : found.front()->text(kValue);
}

}  // namespace tarnfold::app
