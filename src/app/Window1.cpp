#include "Window1.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QDropEvent>
#include <QLabel>
#include <QMenu>
#include <QMimeData>
#include <QPushButton>
#include <QSettings>
#include <QShortcut>
#include <QSplitter>
#include <exception>

#include "About.h"
#include "CompileField.h"
#include "LockLayout.h"
#include "MapPanel.h"
#include "MenuBar1.h"
#include "MessageList.h"
#include "RecentFiles.h"
#include "ScriptEditor.h"
#include "ScriptFile.h"
#include "ScriptFiles.h"
#include "ScriptSource.h"
#include "WorkArea.h"
#include "runtime/Error.h"
#include "runtime/Utf8Path.h"

namespace tarnfold::app {

namespace {

// The content area below the menu bar, as designed, and its limits.
constexpr QSize kDesignSize(323, 382);
constexpr QSize kMinimumSize(130, 200);
constexpr QSize kMaximumSize(32000, 32000);

const QString kGeometryKey = QStringLiteral("window/geometry");

QFont SystemFont(int pointSize) {
    QFont font;
    font.setPointSize(pointSize);
    return font;
}

QString FileName(const std::filesystem::path& path) { return QString::fromStdU16String(path.filename().u16string()); }

// The one local file a drag carries, or an empty path.
std::filesystem::path DraggedFile(const QMimeData* data) {
    if (!data || data->urls().size() != 1 || !data->urls().front().isLocalFile()) return {};
    return data->urls().front().toLocalFile().toStdU16String();
}

QMenu* MenuOf(QAction* item) { return item ? item->menu() : nullptr; }

}  // namespace

Window1::Window1() : UserDialogs(Dialogs::Standard(this)) {
    Layout();
    CreateControls();
    AddMenuHandlers();
    setAcceptDrops(true);
    restoreGeometry(QSettings().value(kGeometryKey).toByteArray());
    ShowTitle();
}

// The menu bar outlives the window: hand it back before the window deletes
// its children.
Window1::~Window1() {
    if (auto* bar = qobject_cast<MenuBar1*>(menuWidget())) bar->setParent(nullptr);
}

void Window1::Layout() {
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

    // Created in the order the focus goes round: field, messages, map panel.
    ScriptFld = new ScriptEditor(nullptr);
    ScriptFld->setObjectName("ScriptFld");
    ScriptFld->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    // A focus frame, so the field shows when it has the keyboard.
    ScriptFld->setStyleSheet(QStringLiteral("QPlainTextEdit:focus { border: 2px solid palette(highlight); }"));
    // A file dragged over the field is the window's to take, not text to insert.
    ScriptFld->viewport()->installEventFilter(this);
    MessageList1 = new MessageList(nullptr);
    ScriptColumn = new QSplitter(Qt::Vertical);
    ScriptColumn->setObjectName("ScriptColumn");
    ScriptColumn->setChildrenCollapsible(false);
    ScriptColumn->addWidget(ScriptFld);
    ScriptColumn->addWidget(MessageList1);
    ScriptColumn->setStretchFactor(0, 1);
    ScriptColumn->setStretchFactor(1, 0);
    MapPanel1 = new MapPanel(nullptr);
    Work = new WorkArea(MapPanel1, ScriptColumn, centralWidget());
    layout->Add(Work, {0, 0, 323, 348}, {.Left = true, .Top = true, .Right = true, .Bottom = true});

    CaretLbl = new QLabel(centralWidget());
    CaretLbl->setObjectName("CaretLbl");
    CaretLbl->setFont(SystemFont(10));
    layout->Add(CaretLbl, {4, 353, 198, 22}, {.Left = true, .Right = true, .Bottom = true});
    const auto showCaret = [this](int line, int column) {
        CaretLbl->setText(tr("Line %1, column %2").arg(line).arg(column));
    };
    connect(ScriptFld, &ScriptEditor::CaretMoved, this, showCaret);
    showCaret(1, 1);

    BtnCompileScript = new QPushButton(tr("Compile Script"), centralWidget());
    BtnCompileScript->setObjectName("BtnCompileScript");
    BtnCompileScript->setFont(SystemFont(10));
    BtnCompileScript->setFocusPolicy(Qt::NoFocus);
    // Wider than designed only when larger text (a high font DPI) needs it.
    BtnCompileScript->setMinimumWidth(BtnCompileScript->fontMetrics().horizontalAdvance(BtnCompileScript->text()) + 6);
    layout->Add(BtnCompileScript, {206, 353, 97, 22}, {.Right = true, .Bottom = true});
    connect(BtnCompileScript, &QPushButton::clicked, this, &Window1::BtnCompileScript_Action);
    // The button takes no focus, so the keyboard needs a way to compile.
    BtnCompileScript->setToolTip(tr("Compile the script into the loaded map (Ctrl+Return)"));
    for (const QKeyCombination keys : {Qt::CTRL | Qt::Key_Return, Qt::CTRL | Qt::Key_Enter})
        connect(new QShortcut(keys, this), &QShortcut::activated, this, &Window1::BtnCompileScript_Action);

    Files = new ScriptFiles(ScriptFld, UserDialogs, this);
    connect(Files, &ScriptFiles::Changed, this, &Window1::ShowTitle);
    connect(ScriptFld, &QPlainTextEdit::textChanged, this, &Window1::ShowTitle);
    connect(MessageList1, &MessageList::PlaceChosen, ScriptFld, &ScriptEditor::GoTo);
    connect(MapPanel1, &MapPanel::ScriptChosen, this, &Window1::ShowScriptSource);
    ScriptFld->setFocus();
}

// The title names the loaded map and the field's script, marked "*" when
// changed, so a failed load or an unsaved edit is seen at once.
void Window1::ShowTitle() {
    QStringList parts{tr("Compiler")};
    if (!LoadedMap.map.empty()) parts << FileName(LoadedMap.map);
    if (!Files->Path().empty() || Files->Modified()) parts << Files->Name() + (Files->Modified() ? "*" : "");
    setWindowTitle(parts.join(QStringLiteral(" \u2014 ")));
}

// A panel that appears gets the room it asks for; after that the divider
// stays where the user put it.
void Window1::ShowLoadedMap() {
    const bool appears = MapPanel1->isHidden();
    MapPanel1->Show(LoadedMap);
    if (appears && !MapPanel1->isHidden()) Work->Fit(MapPanel1, Work->orientation() == Qt::Horizontal ? 0.4 : 0.35);
    ShowTitle();
}

void Window1::ShowMessages(const std::vector<CompilerMessage>& messages) {
    const bool appears = MessageList1->isHidden();
    MessageList1->Show(messages);
    if (appears && !messages.empty()) {
        const int total = ScriptColumn->height();
        const int list = std::min(MessageList1->sizeHint().height(), total / 2);
        ScriptColumn->setSizes({total - list, list});
    }
    MessageList1->scrollToTop();
}

void Window1::AddMenuHandlers() {
    connect(aboutMenu(), &QAction::triggered, this, &Window1::aboutMenu_Action);
    connect(FileLoadmap(), &QAction::triggered, this, &Window1::FileLoadmap_Action);
    connect(FileReadscripts(), &QAction::triggered, this, &Window1::FileReadscripts_Action);
    connect(FileOpenscript(), &QAction::triggered, Files, &ScriptFiles::OpenChosen);
    connect(FileSavescript(), &QAction::triggered, Files, &ScriptFiles::Save);
    connect(FileSavescriptas(), &QAction::triggered, Files, &ScriptFiles::SaveAs);
    const auto loadMap = [this](const std::filesystem::path& path) { LoadMapFile(path); };
    const auto openScript = [this](const std::filesystem::path& path) { LoadScriptFile(path); };
    recentMaps_ = new RecentFiles(QStringLiteral("recent/maps"), MenuOf(FileRecentmaps()), loadMap, this);
    recentScripts_ = new RecentFiles(QStringLiteral("recent/scripts"), MenuOf(FileRecentscripts()), openScript, this);
    connect(Files, &ScriptFiles::Used, recentScripts_, &RecentFiles::Add);
}

QAction* Window1::Item(const char* name) const {
    const auto* bar = qobject_cast<const MenuBar1*>(menuWidget());
    return bar ? bar->Item(QString::fromLatin1(name)) : nullptr;
}

void Window1::Attempt(const std::function<void()>& command) {
    try {
        command();
    } catch (const std::exception& error) {
        UserDialogs.Messages(this, {Message::Kind::Warning, QString::fromStdString(error.what()), {}});
    }
}

void Window1::BtnCompileScript_Action() {
    // Scripts another tool compiled are replaced only when the user says so.
    const bool foreign = LoadedMap.hasScripts && !LoadedMap.compiledByTarnfold;
    if (foreign && !UserDialogs.AskToReplace(this, tr("the %1 scripts and %2 globals that another tool compiled")
                                                       .arg(LoadedMap.scripts)
                                                       .arg(qint64(LoadedMap.globalList.size()))))
        return;
    // A compile of a large map takes a moment, and may wait for another compile of it.
    QApplication::setOverrideCursor(Qt::WaitCursor);
    FieldCompile compile = CompileField(LoadedMap.map, ScriptFld->toPlainText(), Files->Name(), foreign);
    QApplication::restoreOverrideCursor();
    if (!compile.done) return ShowMessages(compile.messages);
    // The panel shows the map as the compile left it; what the game's load
    // would fail on is among the compile's warnings.
    Attempt([this] { LoadedMap = DescribeMap(LoadedMap.map); });
    ShowLoadedMap();
    const bool loads = compile.summary.check.loads;
    ShowMessages(compile.messages);

    const CompileSummary& summary = compile.summary;
    QStringList detail{
        tr("Syntax nodes: %1 of %2").arg(MapPanel::Count(summary.nodes), MapPanel::Count(summary.nodeCapacity))};
    if (!loads)
        detail << tr("The game would not load these scripts: see the messages below the script.");
    else if (!compile.messages.empty())
        detail << tr("Warnings: %1").arg(MapPanel::Count(qint64(compile.messages.size())));  // listed below the field
    UserDialogs.Messages(this, {loads ? Message::Kind::Information : Message::Kind::Warning, tr("done!"),
                                detail.join('\n')});
}

void Window1::aboutMenu_Action() {
    About* about = About::Instance();
    about->setWindowState(about->windowState() & ~Qt::WindowMinimized);
    about->show();
    about->raise();
    about->activateWindow();
}

void Window1::FileLoadmap_Action() { LoadMapFile(UserDialogs.ChooseMap()); }

bool Window1::TakeFromMap(const QString& text) {
    if (!Files->MayReplace()) return false;
    // Through a cursor, not setPlainText, so that Undo brings the old text back.
    ScriptFld->ReplaceText(text);
    // The text is the map's now, not the file's: saving it asks where.
    Files->Detach();
    return true;
}

void Window1::FileReadscripts_Action() {
    Attempt([this] { TakeFromMap(QString::fromStdString(ReadScripts(LoadedMap.map))); });
}

void Window1::ShowScriptSource(const QString& name) {
    Attempt([this, &name] {
        SourceRange found = FindScriptSource(ScriptFld->toPlainText(), name);
        if (found.start < 0) {
            const QString source = QString::fromStdString(ReadScriptsAsHsc(LoadedMap.map, std::nullopt));
            if (FindScriptSource(source, name).start < 0)
                throw Error("the map's scripts read back as HSC hold no script " + name.toStdString());
            if (!TakeFromMap(source)) return;
            found = FindScriptSource(ScriptFld->toPlainText(), name);
        }
        QTextCursor cursor = ScriptFld->textCursor();
        cursor.setPosition(int(found.start));
        ScriptFld->setTextCursor(cursor);
        ScriptFld->centerCursor();
        ScriptFld->setFocus();
    });
}

void Window1::LoadMapFile(const std::filesystem::path& path) {
    if (path.empty()) return;  // a cancelled choice keeps the map
    // A map that fails a check leaves none loaded: a compile must not go into the previous one unseen.
    LoadedMap = MapReport();
    Attempt([this, &path] {
        LoadedMap = DescribeMap(path);
        recentMaps_->Add(path);
        Files->StartFolder = path.parent_path();
    });
    ShowLoadedMap();
}

void Window1::LoadScriptFile(const std::filesystem::path& path) { Files->Open(path); }

void Window1::TakeDrop(QDropEvent* event) {
    const std::filesystem::path file = DraggedFile(event->mimeData());
    if (file.empty()) return event->ignore();
    event->acceptProposedAction();
    if (event->type() != QEvent::Drop) return;
    if (IsScriptFile(file))
        LoadScriptFile(file);
    else
        LoadMapFile(file);
}

void Window1::dragEnterEvent(QDragEnterEvent* event) { TakeDrop(event); }
void Window1::dropEvent(QDropEvent* event) { TakeDrop(event); }

bool Window1::eventFilter(QObject* watched, QEvent* event) {
    const QEvent::Type type = event->type();
    const bool dragging = type == QEvent::DragEnter || type == QEvent::DragMove || type == QEvent::Drop;
    if (watched == ScriptFld->viewport() && dragging) {
        auto* drop = static_cast<QDropEvent*>(event);
        if (!DraggedFile(drop->mimeData()).empty()) {
            TakeDrop(drop);
            return true;
        }
    }
    return QMainWindow::eventFilter(watched, event);
}

void Window1::closeEvent(QCloseEvent* event) {
    if (!Files->MayReplace()) return event->ignore();
    QSettings().setValue(kGeometryKey, saveGeometry());
    QMainWindow::closeEvent(event);
}

}  // namespace tarnfold::app
