#include "Window1.h"

#include <QAction>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTextCursor>
#include <exception>

#include "About.h"
#include "LockLayout.h"
#include "MapChooser.h"
#include "MenuBar1.h"
#include "compiler/Tarnfold.h"

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

}  // namespace

Window1::Window1() : ChooseMap(MapDialogChooser(this)) {
    Layout();
    CreateControls();
    AddMenuHandlers();
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
    ScriptFld->setTabChangesFocus(true);
    layout->Add(ScriptFld, {0, 0, 323, 348}, {.Left = true, .Top = true, .Right = true, .Bottom = true});

    BtnCompileScript = new QPushButton(QStringLiteral("Compile Script"), centralWidget());
    BtnCompileScript->setObjectName("BtnCompileScript");
    BtnCompileScript->setFont(SystemFont(10));
    BtnCompileScript->setFocusPolicy(Qt::NoFocus);
    layout->Add(BtnCompileScript, {206, 353, 97, 22}, {.Right = true, .Bottom = true});
    connect(BtnCompileScript, &QPushButton::clicked, this, &Window1::BtnCompileScript_Action);
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
    Attempt([this] {
        const CompileSummary summary = CompileDocument(LoadedMap.f, ScriptFld->toPlainText().toStdString());

        QStringList warnings;
        for (const std::string& warning : summary.warnings) warnings << QString::fromStdString(warning);
        Messages(this, {Message::Kind::Information, QStringLiteral("done!"), warnings.join('\n')});
    });
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
}

}  // namespace tarnfold::app
