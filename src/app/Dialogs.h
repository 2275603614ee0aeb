#pragma once

#include "MapChooser.h"
#include "MessageSink.h"
#include "ReplaceQuestion.h"
#include "SaveQuestion.h"
#include "ScriptChooser.h"

namespace tarnfold::app {

// Every way the main window talks to the user through a dialog. The app uses
// the real dialogs; tests put answers in their place, so nothing waits.
struct Dialogs {
    MessageSink Messages = ShowMessageBox;
    FileChooser ChooseMap;
    ScriptChooser ChooseScript;      // File > Open script
    ScriptChooser ChooseScriptName;  // File > Save script as
    SaveQuestion AskToSave = AskSaveBox;
    ReplaceQuestion AskToReplace = AskReplaceBox;  // before a compile replaces another tool's scripts

    // The real dialogs, over `parent`.
    static Dialogs Standard(QWidget* parent) {
        return {ShowMessageBox, MapDialogChooser(parent), OpenScriptDialog(parent), SaveScriptDialog(parent),
                AskSaveBox, AskReplaceBox};
    }
};

}  // namespace tarnfold::app
