#pragma once

#include <QMainWindow>
#include <filesystem>
#include <functional>
#include <vector>

#include "Dialogs.h"
#include "compiler/Tarnfold.h"

class QAction;
class QDragEnterEvent;
class QDropEvent;
class QLabel;
class QPushButton;
class QSplitter;

namespace tarnfold::app {

struct CompilerMessage;
class MapPanel;
class MessageList;
class RecentFiles;
class ScriptEditor;
class ScriptFiles;
class WorkArea;

// The main window, "Compiler": the script field, the "Compile Script" button
// and the menu bar, with the loaded map's panel beside or above the field,
// the last compile's messages below it and the caret's place beside the button.
class Window1 : public QMainWindow {
    Q_OBJECT
public:
    Window1();
    ~Window1() override;

    // The map that Load map loaded: its path and what it holds. The path is
    // empty while no map is loaded.
    MapReport LoadedMap;

    // How the window asks and tells: real dialogs by default.
    Dialogs UserDialogs;

    ScriptEditor* ScriptFld = nullptr;
    QPushButton* BtnCompileScript = nullptr;
    MapPanel* MapPanel1 = nullptr;
    MessageList* MessageList1 = nullptr;
    QLabel* CaretLbl = nullptr;
    WorkArea* Work = nullptr;
    QSplitter* ScriptColumn = nullptr;  // the field above the messages
    ScriptFiles* Files = nullptr;       // the field's file

    // The compile command: compiles the field into LoadedMap, lists what the
    // compile said and says "done!" when it wrote the map.
    void BtnCompileScript_Action();
    // The menu handlers "_aboutMenu_Action" and "_FileLoadmap_Action" of the
    // window's design, without the leading underscore that C++ reserves.
    // Shows the About window, or brings the open one forward.
    void aboutMenu_Action();
    // Lets the user choose a map and loads it; a cancelled choice keeps the map.
    void FileLoadmap_Action();
    // Puts the loaded map's scripts into the field as a document.
    void FileReadscripts_Action();
    // Loads `path` as if it had been chosen in the dialog (the command line's MAP).
    void LoadMapFile(const std::filesystem::path& path);
    // Opens the script file at `path` into the field, asking first when the
    // field's text would be lost.
    void LoadScriptFile(const std::filesystem::path& path);
    // Shows the loaded map's script `name` in the field: where the field
    // defines it, or else in the map's whole HSC source, which then replaces the field's text.
    void ShowScriptSource(const QString& name);

    // The items of the menu bar, by name.
    QAction* aboutMenu() const { return Item("aboutMenu"); }
    QAction* EditMenu() const { return Item("EditMenu"); }
    QAction* EditSelectAll() const { return Item("EditSelectAll"); }
    QAction* UntitledMenu0() const { return Item("UntitledMenu0"); }
    QAction* EditClear() const { return Item("EditClear"); }
    QAction* EditPaste() const { return Item("EditPaste"); }
    QAction* EditCopy() const { return Item("EditCopy"); }
    QAction* EditCut() const { return Item("EditCut"); }
    QAction* UntitledMenu1() const { return Item("UntitledMenu1"); }
    QAction* EditUndo() const { return Item("EditUndo"); }
    QAction* FileMenu() const { return Item("FileMenu"); }
    QAction* FileQuit() const { return Item("FileQuit"); }
    QAction* Filej() const { return Item("Filej"); }
    QAction* FileLoadmap() const { return Item("FileLoadmap"); }
    QAction* FileReadscripts() const { return Item("FileReadscripts"); }
    QAction* FileOpenscript() const { return Item("FileOpenscript"); }
    QAction* FileSavescript() const { return Item("FileSavescript"); }
    QAction* FileSavescriptas() const { return Item("FileSavescriptas"); }
    QAction* FileRecentmaps() const { return Item("FileRecentmaps"); }
    QAction* FileRecentscripts() const { return Item("FileRecentscripts"); }

protected:
    // A file dropped on the window: a .hsc or .xml file goes into the script
    // field, any other file is loaded as the map.
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    // Closing asks first when the field's text would be lost.
    void closeEvent(QCloseEvent* event) override;

private:
    void TakeDrop(QDropEvent* event);
    void Layout();
    void CreateControls();
    void AddMenuHandlers();
    void ShowLoadedMap();
    void ShowTitle();
    void ShowMessages(const std::vector<CompilerMessage>& messages);
    // Replaces the field's text with text read from the map, after asking as Open does.
    bool TakeFromMap(const QString& text);
    QAction* Item(const char* name) const;
    // Runs a command; an error it raises is shown, and the window goes on.
    void Attempt(const std::function<void()>& command);

    RecentFiles* recentMaps_ = nullptr;
    RecentFiles* recentScripts_ = nullptr;
};

}  // namespace tarnfold::app
