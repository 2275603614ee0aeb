#pragma once

#include <QMainWindow>
#include <filesystem>
#include <functional>

#include "MapChooser.h"
#include "MessageSink.h"
#include "compiler/Tarnfold.h"

class QAction;
class QDragEnterEvent;
class QDropEvent;
class QPlainTextEdit;
class QPushButton;

namespace tarnfold::app {

// The main window, "Compiler": the script field, the "Compile Script" button
// and the menu bar. It keeps what the core saw in the loaded map.
class Window1 : public QMainWindow {
    Q_OBJECT
public:
    Window1();
    ~Window1() override;

    // The map that Load map loaded: its path and what it holds. The path is
    // empty while no map is loaded.
    MapReport LoadedMap;

    QPlainTextEdit* ScriptFld = nullptr;
    QPushButton* BtnCompileScript = nullptr;

    // Where messages go and how a map is chosen: dialogs by default.
    MessageSink Messages = ShowMessageBox;
    FileChooser ChooseMap;

    // The compile command: parses the field and compiles it into LoadedMap.
    void BtnCompileScript_Action();
    // The menu handlers "_aboutMenu_Action" and "_FileLoadmap_Action" of the
    // window's design, without the leading underscore that C++ reserves.
    // Shows the About window, or brings the open one forward.
    void aboutMenu_Action();
    // Lets the user choose a map and loads it.
    void FileLoadmap_Action();
    // Puts the loaded map's scripts into the script field as a document; the
    // replacement is one step of the field's undo.
    void FileReadscripts_Action();
    // Loads `path` as if it had been chosen in the dialog (the command line's MAP).
    void LoadMapFile(const std::filesystem::path& path);
    // Puts the text of the script document at `path` into the field, as one
    // edit that Undo takes back.
    void LoadScriptFile(const std::filesystem::path& path);

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

protected:
    // A file dropped on the window: a .xml file goes into the script field,
    // any other file is loaded as the map.
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void TakeDrop(QDropEvent* event);
    void Layout();
    void CreateControls();
    void AddMenuHandlers();
    void ShowLoadedMap();
    QAction* Item(const char* name) const;
    // Runs a command; an error it raises is shown, and the window goes on.
    void Attempt(const std::function<void()>& command);
};

}  // namespace tarnfold::app
