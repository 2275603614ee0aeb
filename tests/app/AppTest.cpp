// The desktop app on Qt's offscreen platform: menus, layout, the About window
// and the compile command with its error paths. Messages and the map dialog
// go through the window's seams, so nothing waits for a click.
#include <QAction>
#include <QLabel>
#include <QMenu>
#include <QMimeData>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QtTest>
#include <fstream>
#include <memory>

#include "About.h"
#include "App.h"
#include "Canvas.h"
#include "MenuBar1.h"
#include "SyntheticMap.h"
#include "Window1.h"
#include "compiler/ScriptCompilier.h"
#include "runtime/Xml.h"

using namespace tarnfold;
using namespace tarnfold::app;
using tarnfold::testing::BuildSyntheticMap;
using tarnfold::testing::ReadFileBytes;
using tarnfold::testing::ReadText;

namespace {

// A main window whose messages are recorded and whose map dialog answers
// with `chosen`.
struct Harness {
    std::unique_ptr<Window1> window = std::make_unique<Window1>();
    std::vector<Message> messages;
    std::filesystem::path chosen;
    int choices = 0;

    Harness() {
        window->Messages = [this](QWidget*, const Message& message) { messages.push_back(message); };
        window->ChooseMap = [this] {
            ++choices;
            return chosen;
        };
        window->show();
    }
    void Load(const std::filesystem::path& path) {
        messages.clear();
        chosen = path;
        window->FileLoadmap()->trigger();
    }
    // Types `script` into the field and clicks the button; returns the one
    // message the compile showed.
    Message Compile(const std::string& script) {
        window->ScriptFld->setPlainText(QString::fromStdString(script));
        messages.clear();
        QTest::mouseClick(window->BtnCompileScript, Qt::LeftButton);
        return messages.size() == 1 ? messages.front() : Message{Message::Kind::Warning, "no single message", {}};
    }
};

}  // namespace

class AppTest : public QObject {
    Q_OBJECT
    QTemporaryDir dir;
    std::filesystem::path Path(const char* name) const { return dir.filePath(name).toStdString(); }
    const std::string intro = ReadText(TARNFOLD_EXAMPLES_DIR "/intro.xml");

private slots:
    void menuBarHoldsTheTableAndIsShared() {
        const QStringList expected = {
            "FileMenu|&File|",      "FileLoadmap|&Load map|Ctrl+L", "Filej|-|",     "FileQuit|&Quit|Ctrl+Q",
            "EditMenu|&Edit|",      "EditUndo|&Undo|Ctrl+Z",       "UntitledMenu1|-|", "EditCut|Cu&t|Ctrl+X",
            "EditCopy|&Copy|Ctrl+C", "EditPaste|&Paste|Ctrl+V",    "EditClear|&Delete|", "UntitledMenu0|-|",
            "EditSelectAll|Select &All|Ctrl+A", "aboutMenu|&About|"};
        Harness h;
        QStringList actual;
        for (QAction* entry : h.window->menuWidget()->actions()) {
            actual << entry->objectName() + "|" + entry->text() + "|" + entry->shortcut().toString();
            if (entry->menu()) {
                for (QAction* item : entry->menu()->actions())
                    actual << item->objectName() + "|" + (item->isSeparator() ? "-" : item->text()) + "|" +
                                  item->shortcut().toString();
            }
        }
        QCOMPARE(actual, expected);
        QVERIFY(h.window->aboutMenu()->menu() == nullptr);
        QCOMPARE(h.window->FileQuit()->menuRole(), QAction::QuitRole);

        // One instance for the process: the application's, and the window's
        // even after a window has come and gone.
        auto* app = static_cast<App*>(qApp);
        const QPointer<MenuBar1> bar = app->MenuBar();
        QCOMPARE(h.window->menuWidget(), bar.data());
        h.window.reset();
        QVERIFY(!bar.isNull());
        Harness again;
        QCOMPARE(again.window->menuWidget(), bar.data());
        QCOMPARE(again.window->EditUndo(), app->MenuBar()->Item("EditUndo"));
    }

    void shortcutsAndEditItemsReachTheField() {
        Harness h;
        QVERIFY(QTest::qWaitForWindowActive(h.window.get()));
        QTest::keyClick(h.window.get(), Qt::Key_L, Qt::ControlModifier);
        QCOMPARE(h.choices, 1);

        QPlainTextEdit* field = h.window->ScriptFld;
        field->setFocus();
        field->setPlainText("<scripts/>");
        h.window->EditSelectAll()->trigger();
        h.window->EditCut()->trigger();
        QCOMPARE(field->toPlainText(), QString());
        h.window->EditPaste()->trigger();
        h.window->EditPaste()->trigger();
        QCOMPARE(field->toPlainText(), QString("<scripts/><scripts/>"));
        h.window->EditSelectAll()->trigger();
        h.window->EditClear()->trigger();
        QCOMPARE(field->toPlainText(), QString());
        h.window->EditUndo()->trigger();
        QCOMPARE(field->toPlainText(), QString("<scripts/><scripts/>"));
    }

    void resizingFollowsTheLocks() {
        Harness h;
        QWidget* content = h.window->centralWidget();
        QCOMPARE(content->size(), QSize(323, 382));
        QCOMPARE(h.window->ScriptFld->geometry(), QRect(0, 0, 323, 348));
        QCOMPARE(h.window->BtnCompileScript->geometry(), QRect(206, 353, 97, 22));
        QVERIFY(!(h.window->windowFlags() & Qt::WindowMaximizeButtonHint));

        h.window->resize(h.window->size() + QSize(100, 50));
        QTRY_COMPARE(content->size(), QSize(423, 432));
        QCOMPARE(h.window->ScriptFld->geometry(), QRect(0, 0, 423, 398));
        QCOMPARE(h.window->BtnCompileScript->geometry(), QRect(306, 403, 97, 22));

        h.window->resize(10, 10);
        QTRY_COMPARE(content->size(), QSize(130, 200));
        QCOMPARE(h.window->BtnCompileScript->geometry(), QRect(13, 171, 97, 22));
    }

    void aboutIsOneFixedWindow() {
        Harness h;
        h.window->aboutMenu()->trigger();
        About* about = About::Instance();
        h.window->aboutMenu()->trigger();
        int open = 0;
        for (QWidget* widget : QApplication::topLevelWidgets()) open += qobject_cast<About*>(widget) != nullptr;
        QCOMPARE(open, 1);
        QVERIFY(about->isVisible());
        QCOMPARE(about->windowTitle(), QString("About"));
        QCOMPARE(about->size(), QSize(424, 185));
        QCOMPARE(about->minimumSize(), about->maximumSize());
        const Qt::WindowFlags flags = about->windowFlags();
        QVERIFY(flags & Qt::WindowMinimizeButtonHint && flags & Qt::WindowCloseButtonHint);
        QVERIFY(!(flags & Qt::WindowMaximizeButtonHint));
        QCOMPARE(about->Canvas1->geometry(), QRect(0, 0, 185, 185));
        QCOMPARE(about->Canvas1->Backdrop().size(), QSize(185, 185));
        QCOMPARE(about->StaticText1->geometry(), QRect(187, 0, 237, 185));

        const QStringList paragraphs = about->StaticText1->text().split("\n\n");
        QCOMPARE(paragraphs.size(), 2);
        QVERIFY(paragraphs[0].startsWith("Tarnfold 0.5 "));
        QVERIFY(paragraphs[1].startsWith(QString(46, ' ') + "Thanks"));

        // Closed, it is gone; the next showing makes a new one.
        QPointer<About> closed(about);
        about->close();
        QTRY_VERIFY(closed.isNull());
        h.window->aboutMenu()->trigger();
        QVERIFY(About::Instance()->isVisible());
        About::Instance()->close();
    }

    void compileThroughTheButton() {
        BuildSyntheticMap().Save(Path("app.map"));
        BuildSyntheticMap().Save(Path("core.map"));
        Harness h;
        h.Load(Path("app.map"));
        const Message done = h.Compile(intro);
        QCOMPARE(done.kind, Message::Kind::Information);
        QCOMPARE(done.text, QString("done!"));
        QCOMPARE(h.window->ScriptFld->toPlainText().toStdString(), intro);

        // The same bytes as the core makes of the same map and document.
        HaloPcMap map;
        map.LoadMap(Path("core.map"));
        XmlDocument document;
        document.LoadXml(intro);
        ScriptCompilier().BuildScriptData(map, document);
        const auto compiled = ReadFileBytes(Path("app.map"));
        QCOMPARE(compiled.size(), ReadFileBytes(Path("core.map")).size());
        QVERIFY(compiled == ReadFileBytes(Path("core.map")));
        QVERIFY(compiled != BuildSyntheticMap().bytes);
    }

    // Files dropped as a file manager drops them: a .xml file replaces the
    // field's text (undoably), any other file is loaded as the map, on the
    // field as on the rest of the window.
    void droppedFilesLoadTheScriptOrTheMap() {
        BuildSyntheticMap().Save(Path("dropped.map"));
        std::ofstream(Path("dropped.xml")) << intro;
        Harness h;
        const auto drop = [](QWidget* target, const std::filesystem::path& file) {
            QMimeData data;
            data.setUrls({QUrl::fromLocalFile(QString::fromStdString(file.string()))});
            QDragEnterEvent enter({5, 5}, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
            QDropEvent dropped(QPointF(5, 5), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
            return QApplication::sendEvent(target, &enter) && enter.isAccepted() &&
                   QApplication::sendEvent(target, &dropped) && dropped.isAccepted();
        };
        QWidget* field = h.window->ScriptFld->viewport();
        QVERIFY(field->acceptDrops());
        h.window->ScriptFld->setPlainText("<typed/>");
        QVERIFY(drop(field, Path("dropped.xml")));
        QCOMPARE(h.window->ScriptFld->toPlainText().toStdString(), intro);
        h.window->ScriptFld->undo();
        QCOMPARE(h.window->ScriptFld->toPlainText(), QString("<typed/>"));

        for (QWidget* target : {field, static_cast<QWidget*>(h.window.get())}) {
            h.window->LoadedMap.f.clear();
            QVERIFY(drop(target, Path("dropped.map")));
            QCOMPARE(h.window->LoadedMap.f, Path("dropped.map"));
        }
        QCOMPARE(h.window->ScriptFld->toPlainText(), QString("<typed/>"));
        QVERIFY(h.messages.empty());
    }

    void errorsAreShownAndChangeNothing() {
        const auto synthetic = BuildSyntheticMap();
        synthetic.Save(Path("good.map"));
        auto used = BuildSyntheticMap({.stringDataSize = 1036});
        used.Save(Path("used.map"));
        std::ofstream(Path("broken.map")) << "dae";
        Harness h;
        const auto warns = [](const Message& message, const char* text) {
            return message.kind == Message::Kind::Warning && message.text.contains(text);
        };

        QVERIFY(warns(h.Compile(intro), "no map is loaded: load a map first"));

        h.Load(Path("good.map"));
        QVERIFY(warns(h.Compile("<scripts>\n  <script>"), "line 2, column"));
        QVERIFY(warns(h.Compile(""), "XML error"));

        h.Load("");  // cancelled
        QVERIFY(h.messages.empty());
        QVERIFY(h.window->LoadedMap.f.empty());
        QVERIFY(warns(h.Compile(intro), "load a map first"));

        h.Load(Path("broken.map"));
        QCOMPARE(h.messages.size(), size_t{1});
        QVERIFY(warns(h.messages.front(), "too short to be a map"));
        QVERIFY(h.window->LoadedMap.f.empty());

        h.Load(Path("used.map"));
        QVERIFY(warns(h.Compile(intro), "already holds compiled scripts"));
        QVERIFY(ReadFileBytes(Path("used.map")) == used.bytes);
        QVERIFY(ReadFileBytes(Path("good.map")) == synthetic.bytes);

        // The window goes on working; the compiler's warnings come with "done!".
        h.Load(Path("good.map"));
        QVERIFY(h.window->isVisible() && h.window->BtnCompileScript->isEnabled());
        std::string noted = intro;
        noted.replace(noted.find("</script>"), 0, "<Note/>");
        const Message done = h.Compile(noted);
        QCOMPARE(done.text, QString("done!"));
        QVERIFY(done.detail.contains("Note"));
    }
};

int main(int argc, char** argv) {
    App app(argc, argv);
    AppTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "AppTest.moc"
