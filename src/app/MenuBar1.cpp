#include "MenuBar1.h"

#include <QAction>
#include <QApplication>
#include <QCoreApplication>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPointer>
#include <QTextCursor>

namespace tarnfold::app {

namespace {

// One row of the menu table. A row without a menu is a top-level entry of
// the bar: a menu when rows below name it, a command of its own otherwise.
// The text "-" makes a separator; "&" marks the access letter.
struct MenuRow {
    const char* menu;
    const char* name;
    const char* text;
    const char* shortcut;
};

constexpr MenuRow kMenuTable[] = {
    {nullptr, "FileMenu", "&File", ""},
    {"FileMenu", "FileLoadmap", "&Load map", "Ctrl+L"},
    {"FileMenu", "FileReadscripts", "&Read scripts", "Ctrl+R"},
    {"FileMenu", "Filej", "-", ""},
    {"FileMenu", "FileQuit", "&Quit", "Ctrl+Q"},
    {nullptr, "EditMenu", "&Edit", ""},
    {"EditMenu", "EditUndo", "&Undo", "Ctrl+Z"},
    {"EditMenu", "UntitledMenu1", "-", ""},
    {"EditMenu", "EditCut", "Cu&t", "Ctrl+X"},
    {"EditMenu", "EditCopy", "&Copy", "Ctrl+C"},
    {"EditMenu", "EditPaste", "&Paste", "Ctrl+V"},
    {"EditMenu", "EditClear", "&Delete", ""},
    {"EditMenu", "UntitledMenu0", "-", ""},
    {"EditMenu", "EditSelectAll", "Select &All", "Ctrl+A"},
    {nullptr, "aboutMenu", "&About", ""},
};

bool HasItems(const char* menu) {
    for (const MenuRow& row : kMenuTable)
        if (row.menu && qstrcmp(row.menu, menu) == 0) return true;
    return false;
}

// The Edit items work on whichever text field has the focus, as a desktop
// framework's standard Edit menu does; in Tarnfold that is the script field.
template <typename Operation>
void OnFocusedField(Operation operation) {
    if (auto* field = qobject_cast<QPlainTextEdit*>(QApplication::focusWidget())) operation(*field);
}

void DeleteSelection(QPlainTextEdit& field) {
    QTextCursor cursor = field.textCursor();
    cursor.removeSelectedText();
    field.setTextCursor(cursor);
}

void ConnectStandardItem(QAction* item) {
    const QString name = item->objectName();
    const auto on = [item](auto operation) {
        QObject::connect(item, &QAction::triggered, item, [operation] { OnFocusedField(operation); });
    };
    if (name == "FileQuit") {
        item->setMenuRole(QAction::QuitRole);
        QObject::connect(item, &QAction::triggered, qApp, &QCoreApplication::quit, Qt::QueuedConnection);
    } else if (name == "EditUndo") {
        on([](QPlainTextEdit& field) { field.undo(); });
    } else if (name == "EditCut") {
        on([](QPlainTextEdit& field) { field.cut(); });
    } else if (name == "EditCopy") {
        on([](QPlainTextEdit& field) { field.copy(); });
    } else if (name == "EditPaste") {
        on([](QPlainTextEdit& field) { field.paste(); });
    } else if (name == "EditClear") {
        on(DeleteSelection);
    } else if (name == "EditSelectAll") {
        on([](QPlainTextEdit& field) { field.selectAll(); });
    }
}

QPointer<MenuBar1>& TheInstance() {
    static QPointer<MenuBar1> instance;
    return instance;
}

}  // namespace

MenuBar1* MenuBar1::Instance() {
    QPointer<MenuBar1>& instance = TheInstance();
    if (!instance) instance = new MenuBar1;
    return instance;
}

void MenuBar1::Release() { delete TheInstance().data(); }

MenuBar1::MenuBar1() : QMenuBar(nullptr) {
    setObjectName("MenuBar1");
    for (const MenuRow& row : kMenuTable) {
        QAction* item = nullptr;
        if (!row.menu && HasItems(row.name)) {
            QMenu* menu = addMenu(QString::fromUtf8(row.text));
            menu->setObjectName(row.name);
            item = menu->menuAction();
        } else if (!row.menu) {
            item = addAction(QString::fromUtf8(row.text));
        } else {
            // A separator keeps no text: Qt would draw it as a section title.
            QMenu* menu = findChild<QMenu*>(row.menu);
            item = qstrcmp(row.text, "-") == 0 ? menu->addSeparator() : menu->addAction(QString::fromUtf8(row.text));
        }
        item->setObjectName(row.name);
        item->setShortcut(QKeySequence::fromString(row.shortcut, QKeySequence::PortableText));
        // The About window has the menu bar too (on macOS, literally): its
        // shortcuts work from every window of the app.
        item->setShortcutContext(Qt::ApplicationShortcut);
        ConnectStandardItem(item);
    }
}

QAction* MenuBar1::Item(const QString& name) const { return findChild<QAction*>(name); }

}  // namespace tarnfold::app
