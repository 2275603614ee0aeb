#include "MenuBar1.h"

#include <QAction>
#include <QApplication>
#include <QCoreApplication>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPointer>
#include <QTextCursor>
#include <algorithm>

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
    bool submenu = false;  // a menu inside `menu`, filled while the app runs
};

// The texts are translated when the bar is made (context "MenuBar1").
constexpr MenuRow kMenuTable[] = {
    {nullptr, "FileMenu", QT_TRANSLATE_NOOP("MenuBar1", "&File"), ""},
    {"FileMenu", "FileLoadmap", QT_TRANSLATE_NOOP("MenuBar1", "&Load map"), "Ctrl+L"},
    {"FileMenu", "FileRecentmaps", QT_TRANSLATE_NOOP("MenuBar1", "Recent &maps"), "", true},
    {"FileMenu", "FileReadscripts", QT_TRANSLATE_NOOP("MenuBar1", "&Read scripts"), "Ctrl+R"},
    {"FileMenu", "UntitledMenu2", "-", ""},
    {"FileMenu", "FileOpenscript", QT_TRANSLATE_NOOP("MenuBar1", "&Open script…"), "Ctrl+O"},
    {"FileMenu", "FileRecentscripts", QT_TRANSLATE_NOOP("MenuBar1", "Recent s&cripts"), "", true},
    {"FileMenu", "FileSavescript", QT_TRANSLATE_NOOP("MenuBar1", "&Save script"), "Ctrl+S"},
    {"FileMenu", "FileSavescriptas", QT_TRANSLATE_NOOP("MenuBar1", "Save script &as…"), "Ctrl+Shift+S"},
    {"FileMenu", "Filej", "-", ""},
    {"FileMenu", "FileQuit", QT_TRANSLATE_NOOP("MenuBar1", "&Quit"), "Ctrl+Q"},
    {nullptr, "EditMenu", QT_TRANSLATE_NOOP("MenuBar1", "&Edit"), ""},
    {"EditMenu", "EditUndo", QT_TRANSLATE_NOOP("MenuBar1", "&Undo"), "Ctrl+Z"},
    {"EditMenu", "UntitledMenu1", "-", ""},
    {"EditMenu", "EditCut", QT_TRANSLATE_NOOP("MenuBar1", "Cu&t"), "Ctrl+X"},
    {"EditMenu", "EditCopy", QT_TRANSLATE_NOOP("MenuBar1", "&Copy"), "Ctrl+C"},
    {"EditMenu", "EditPaste", QT_TRANSLATE_NOOP("MenuBar1", "&Paste"), "Ctrl+V"},
    {"EditMenu", "EditClear", QT_TRANSLATE_NOOP("MenuBar1", "&Delete"), ""},
    {"EditMenu", "UntitledMenu0", "-", ""},
    {"EditMenu", "EditSelectAll", QT_TRANSLATE_NOOP("MenuBar1", "Select &All"), "Ctrl+A"},
    {nullptr, "aboutMenu", QT_TRANSLATE_NOOP("MenuBar1", "&About"), ""},
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

// Each window may refuse to close (its script has unsaved changes and the
// user cancels): the app quits only once every window has closed.
void QuitAfterClosingWindows() {
    QApplication::closeAllWindows();
    const QWidgetList windows = QApplication::topLevelWidgets();
    if (std::none_of(windows.begin(), windows.end(),
                     [](QWidget* window) { return window->isVisible() && window->testAttribute(Qt::WA_QuitOnClose); }))
        QCoreApplication::quit();
}

void ConnectStandardItem(QAction* item) {
    const QString name = item->objectName();
    const auto on = [item](auto operation) {
        QObject::connect(item, &QAction::triggered, item, [operation] { OnFocusedField(operation); });
    };
    if (name == "FileQuit") {
        item->setMenuRole(QAction::QuitRole);
        QObject::connect(item, &QAction::triggered, qApp, QuitAfterClosingWindows, Qt::QueuedConnection);
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
        const QString text = QCoreApplication::translate("MenuBar1", row.text);
        QAction* item = nullptr;
        if (!row.menu && HasItems(row.name)) {
            QMenu* menu = addMenu(text);
            menu->setObjectName(row.name);
            item = menu->menuAction();
        } else if (!row.menu) {
            item = addAction(text);
        } else if (row.submenu) {
            QMenu* menu = findChild<QMenu*>(row.menu)->addMenu(text);
            menu->setObjectName(row.name);
            item = menu->menuAction();
        } else {
            // A separator keeps no text: Qt would draw it as a section title.
            QMenu* menu = findChild<QMenu*>(row.menu);
            item = qstrcmp(row.text, "-") == 0 ? menu->addSeparator() : menu->addAction(text);
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
