#include "Window1.h"

#include <QAction>
#include <QDropEvent>
#include <QFile>
#include <QMimeData>
#include <QPlainTextEdit>
#include <QKeyEvent>
#include <QPushButton>
#include <QShortcut>
#include <QTextCursor>
#include <exception>

#include "About.h"
#include "LockLayout.h"
#include "MapChooser.h"
#include "MenuBar1.h"
#include "compiler/Tarnfold.h"
#include "runtime/Error.h"
#include "runtime/Utf8Path.h"

namespace tarnfold::app {

namespace {

// The content area below the menu bar, as designed, and its limits.
constexpr QSize kDesignSize(323, 382);
constexpr QSize kMinimumSize(130, 200);
constexpr QSize kMaximumSize(32000, 32000);

QFont SystemFont(int pointSize) {
    QFont font;
    font.setPointSize(pointSize);
    return font;
}

// The one local file a drag carries, or an empty path.
std::filesystem::path DraggedFile(const QMimeData* data) {
    if (!data || data->urls().size() != 1 || !data->urls().front().isLocalFile()) return {};
    return data->urls().front().toLocalFile().toStdU16String();
}

}  // namespace

Window1::Window1() : ChooseMap(MapDialogChooser(this)) {
    Layout();
    CreateControls();
    AddMenuHandlers();
    setAcceptDrops(true);
}

// The menu bar outlives the window: hand it back before the window deletes
// its children.
Window1::~Window1() {
    if (auto* bar = qobject_cast<MenuBar1*>(menuWidget())) bar->setParent(nullptr);
}

void Window1::Layout() {
    setWindowTitle(QStringLiteral("Compiler"));
    setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                   Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint);
    setMenuBar(MenuBar1::Instance());

    auto* content = new QWidget(this);
    content->setMinimumSize(kMinimumSize);
    content->setMaximumSize(kMaximumSize);
    setMaximumSize(kMaximumSize);
    setCentralWidget(content);
    const int barHeight = menuWidget()->heightForWidth(kDesignSize.width());
    resize(kDesignSize + QSize(0, barHeight > 0 ? barHeight : menuWidget()->sizeHint().height()));
}

void Window1::CreateControls() {
    auto* layout = new LockLayout(centralWidget(), kDesignSize);

    ScriptFld = new QPlainTextEdit(centralWidget());
    ScriptFld->setObjectName("ScriptFld");
    ScriptFld->setFont(SystemFont(10));
    ScriptFld->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    ScriptFld->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    // Tab moves the focus on, so the field shows when it has the focus.
    ScriptFld->setTabChangesFocus(true);
    ScriptFld->installEventFilter(this);
    ScriptFld->setStyleSheet(QStringLiteral("QPlainTextEdit:focus { border: 2px solid palette(highlight); }"));
    // A file dragged over the field is the window's to take, not text to insert.
    ScriptFld->viewport()->installEventFilter(this);
    layout->Add(ScriptFld, {0, 0, 323, 348}, {.Left = true, .Top = true, .Right = true, .Bottom = true});

    BtnCompileScript = new QPushButton(QStringLiteral("Compile Script"), centralWidget());
    BtnCompileScript->setObjectName("BtnCompileScript");
    BtnCompileScript->setFont(SystemFont(10));
    BtnCompileScript->setFocusPolicy(Qt::NoFocus);
    layout->Add(BtnCompileScript, {206, 353, 97, 22}, {.Right = true, .Bottom = true});
    connect(BtnCompileScript, &QPushButton::clicked, this, &Window1::BtnCompileScript_Action);
    // The button takes no focus, so the keyboard needs a way to compile.
    BtnCompileScript->setToolTip(QStringLiteral("Compile the script into the loaded map (Ctrl+Return)"));
    auto* compile = new QShortcut(QKeySequence(Qt::CTRL | Qt::Key_Return), this);
    connect(compile, &QShortcut::activated, this, &Window1::BtnCompileScript_Action);
    auto* compileEnter = new QShortcut(QKeySequence(Qt::CTRL | Qt::Key_Enter), this);
    connect(compileEnter, &QShortcut::activated, this, &Window1::BtnCompileScript_Action);
}

// The title names the loaded map, so a cancelled or failed load, which
// leaves none, is seen at once.
void Window1::ShowLoadedMap() {
    const QString name = QString::fromStdU16String(LoadedMap.f.filename().u16string());
    setWindowTitle(LoadedMap.f.empty() ? QStringLiteral("Compiler") : QStringLiteral("Compiler \u2014 ") + name);
}

void Window1::AddMenuHandlers() {
    connect(aboutMenu(), &QAction::triggered, this, &Window1::aboutMenu_Action);
    connect(FileLoadmap(), &QAction::triggered, this, &Window1::FileLoadmap_Action);
    connect(FileReadscripts(), &QAction::triggered, this, &Window1::FileReadscripts_Action);
}

QAction* Window1::Item(const char* name) const {
    const auto* bar = qobject_cast<const MenuBar1*>(menuWidget());
    return bar ? bar->Item(QString::fromLatin1(name)) : nullptr;
}

void Window1::Attempt(const std::function<void()>& command) {
    try {
        command();
    } catch (const std::exception& error) {
        Messages(this, {Message::Kind::Warning, QString::fromStdString(error.what()), {}});
    }
}

void Window1::BtnCompileScript_Action() {
    // Warnings are shown under "done!", and under the error when the compile
    // fails: they often say why.
    QStringList warnings;
    CompileOptions options;
    options.onWarning = [&warnings](const std::string& warning) { warnings << QString::fromStdString(warning); };
    try {
        CompileScriptText(LoadedMap.f, ScriptFld->toPlainText().toStdString(), options);
        Messages(this, {Message::Kind::Information, QStringLiteral("done!"), warnings.join('\n')});
    } catch (const std::exception& error) {
        Messages(this, {Message::Kind::Warning, QString::fromStdString(error.what()), warnings.join('\n')});
    }
}

void Window1::aboutMenu_Action() {
    About* about = About::Instance();
    about->setWindowState(about->windowState() & ~Qt::WindowMinimized);
    about->show();
    about->raise();
    about->activateWindow();
}

void Window1::FileLoadmap_Action() {
    Attempt([this] { LoadedMap.LoadMap(ChooseMap); });
    ShowLoadedMap();
}

void Window1::FileReadscripts_Action() {
    Attempt([this] {
        const QString document = QString::fromStdString(ReadScripts(LoadedMap.f));
        // Through a cursor, not setPlainText, so that Undo brings the old text back.
        QTextCursor cursor(ScriptFld->document());
        cursor.beginEditBlock();
        cursor.select(QTextCursor::Document);
        cursor.insertText(document);
        cursor.endEditBlock();
    });
}

void Window1::LoadMapFile(const std::filesystem::path& path) {
    Attempt([this, &path] { LoadedMap.LoadMap(path); });
    ShowLoadedMap();
}

void Window1::LoadScriptFile(const std::filesystem::path& path) {
    Attempt([this, &path] {
        QFile file(path);
        if (!file.open(QIODevice::ReadOnly))
            throw Error("cannot open the script document '" + Utf8(path) + "': " + file.errorString().toStdString());
        // Replacing through a cursor keeps the field's undo history; setPlainText would clear it.
        QTextCursor all(ScriptFld->document());
        all.select(QTextCursor::Document);
        all.insertText(QString::fromUtf8(file.readAll()));
    });
}

void Window1::TakeDrop(QDropEvent* event) {
    const std::filesystem::path file = DraggedFile(event->mimeData());
    if (file.empty()) return event->ignore();
    event->acceptProposedAction();
    if (event->type() != QEvent::Drop) return;
    if (QString::fromStdU16String(file.extension().u16string()).compare(".xml", Qt::CaseInsensitive) == 0)
        LoadScriptFile(file);
    else
        LoadMapFile(file);
}

void Window1::dragEnterEvent(QDragEnterEvent* event) { TakeDrop(event); }
void Window1::dropEvent(QDropEvent* event) { TakeDrop(event); }

bool Window1::eventFilter(QObject* watched, QEvent* event) {
    const QEvent::Type type = event->type();
    if (watched == ScriptFld->viewport() && (type == QEvent::DragEnter || type == QEvent::DragMove || type == QEvent::Drop)) {
        auto* drop = static_cast<QDropEvent*>(event);
        if (!DraggedFile(drop->mimeData()).empty()) {
            TakeDrop(drop);
            return true;
        }
    }
    // Tab moves the focus on even though nothing else in the window takes
    // it (the button does not): then the field lets it go.
    if (watched == ScriptFld && type == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (key == Qt::Key_Tab || key == Qt::Key_Backtab) {
            if (!focusNextPrevChild(key == Qt::Key_Tab) || ScriptFld->hasFocus()) ScriptFld->clearFocus();
            return true;
        }
    }
    return QMainWindow::eventFilter(watched, event);
}

}  // namespace tarnfold::app
