// The desktop app on Qt's offscreen platform: the compile command with its
// error paths, and the About window. Messages and the map
// dialog go through the window's seams, so nothing waits for a click.
#include <QAction>
#include <QMimeData>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QtTest>
#include <fstream>
#include <memory>

#include "About.h"
#include "App.h"
#include "TestSupport.h"
#include "Window1.h"
#include "compiler/Tarnfold.h"

using namespace tarnfold;
using namespace tarnfold::app;
using tarnfold::testing::Intro;
using tarnfold::testing::ReadFileBytes;

namespace {

// A main window whose messages are recorded and whose map dialog answers
// with `chosen`.
struct Harness {
    std::unique_ptr<Window1> window = std::make_unique<Window1>();
    std::vector<Message> messages;
    std::filesystem::path chosen;

    Harness() {
        window->Messages = [this](QWidget*, const Message& message) { messages.push_back(message); };
        window->ChooseMap = [this] { return chosen; };
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

bool Warns(const Message& message, const char* text) {
    return message.kind == Message::Kind::Warning && message.text.contains(text);
}

}  // namespace

class AppTest : public QObject {
    Q_OBJECT
    QTemporaryDir dir;
    std::filesystem::path Path(const char* name) const { return dir.filePath(name).toStdString(); }

private slots:
    void aboutIsOneWindow() {
        Harness h;
        h.window->aboutMenu()->trigger();
        About* about = About::Instance();
        h.window->aboutMenu()->trigger();
        int open = 0;
        for (QWidget* widget : QApplication::topLevelWidgets()) open += qobject_cast<About*>(widget) != nullptr;
        QCOMPARE(open, 1);
        QVERIFY(about->isVisible());
        // Closed, it is gone; the next showing makes a new one.
        QPointer<About> closed(about);
        about->close();
        QTRY_VERIFY(closed.isNull());
        h.window->aboutMenu()->trigger();
        QVERIFY(About::Instance()->isVisible());
        About::Instance()->close();
    }

    // The button compiles the field into the loaded map, as the core does,
    // and compiles it again after an edit.
    void compileThroughTheButton() {
        BuildSyntheticMap().Save(Path("app.map"));
        BuildSyntheticMap().Save(Path("core.map"));
        Harness h;
        h.Load(Path("app.map"));
        const Message done = h.Compile(Intro());
        QCOMPARE(done.kind, Message::Kind::Information);
        QCOMPARE(done.text, QString("done!"));
        QCOMPARE(h.window->ScriptFld->toPlainText().toStdString(), Intro());
        CompileDocument(Path("core.map"), Intro());
        QVERIFY(ReadFileBytes(Path("app.map")) == ReadFileBytes(Path("core.map")));

        std::string edited = Intro();
        edited.replace(edited.find("30"), 2, "31");
        QCOMPARE(h.Compile(edited).text, QString("done!"));
        CompileDocument(Path("core.map"), edited);
        QVERIFY(ReadFileBytes(Path("app.map")) == ReadFileBytes(Path("core.map")));
    }

    // The keyboard and the loaded map: the title names the map, Tab leaves
    // the field, Ctrl+Return compiles, File > Read scripts fills the field
    // (undoably), and a cancelled load leaves no map and says so.
    void keyboardTitleAndReadScripts() {
        BuildSyntheticMap().Save(Path("keys.map"));
        Harness h;
        QCOMPARE(h.window->windowTitle(), QString("Compiler"));
        h.Load(Path("keys.map"));
        QCOMPARE(h.window->windowTitle(), QString::fromUtf8("Compiler \u2014 keys.map"));
        QApplication::setActiveWindow(h.window.get());
        h.window->ScriptFld->setPlainText(QString::fromStdString(Intro()));
        h.window->ScriptFld->setFocus();
        QTest::keyClick(h.window->ScriptFld, Qt::Key_Tab);
        QVERIFY(!h.window->ScriptFld->toPlainText().contains('\t'));
        QVERIFY(!h.window->ScriptFld->hasFocus());
        h.messages.clear();
        QTest::keyClick(h.window.get(), Qt::Key_Return, Qt::ControlModifier);
        QCOMPARE(h.messages.size(), size_t{1});
        QCOMPARE(h.messages.front().text, QString("done!"));
        h.window->ScriptFld->setPlainText("<typed/>");
        h.window->FileReadscripts()->trigger();
        QCOMPARE(h.window->ScriptFld->toPlainText().toStdString(), ReadScripts(Path("keys.map")));
        h.window->ScriptFld->undo();
        QCOMPARE(h.window->ScriptFld->toPlainText(), QString("<typed/>"));
        h.Load({});
        QCOMPARE(h.window->windowTitle(), QString("Compiler"));
    }

    // Files dropped as a file manager drops them: a .xml file replaces the
    // field's text (undoably), any other file is loaded as the map, on the
    // field as on the rest of the window.
    void droppedFilesLoadTheScriptOrTheMap() {
        BuildSyntheticMap().Save(Path("dropped.map"));
        std::ofstream(Path("dropped.xml")) << Intro();
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
        QCOMPARE(h.window->ScriptFld->toPlainText().toStdString(), Intro());
        h.window->ScriptFld->undo();
        QCOMPARE(h.window->ScriptFld->toPlainText(), QString("<typed/>"));

        for (QWidget* target : {field, static_cast<QWidget*>(h.window.get())}) {
            h.window->LoadedMap.map.clear();
            QVERIFY(drop(target, Path("dropped.map")));
            QCOMPARE(h.window->LoadedMap.map, Path("dropped.map"));
        }
        QCOMPARE(h.window->ScriptFld->toPlainText(), QString("<typed/>"));
        QVERIFY(h.messages.empty());
    }

    void errorsAreShownAndChangeNothing() {
        const auto synthetic = BuildSyntheticMap();
        synthetic.Save(Path("good.map"));
        const auto foreign = BuildSyntheticMap({.stringDataSize = 1036});
        foreign.Save(Path("foreign.map"));
        std::ofstream(Path("broken.map")) << "dae";
        Harness h;
        QVERIFY(Warns(h.Compile(Intro()), "no map is loaded: load a map first"));

        h.Load(Path("good.map"));
        QVERIFY(Warns(h.Compile("<scripts>\n  <script>"), "line 2, column"));
        QVERIFY(Warns(h.Compile(""), "XML error"));

        h.Load("");  // cancelled
        QVERIFY(h.messages.empty());
        QVERIFY(Warns(h.Compile(Intro()), "load a map first"));

        h.Load(Path("broken.map"));
        QCOMPARE(h.messages.size(), size_t{1});
        QVERIFY(Warns(h.messages.front(), "too short to be a map"));
        QVERIFY(Warns(h.Compile(Intro()), "load a map first"));

        h.Load(Path("foreign.map"));
        QVERIFY(Warns(h.Compile(Intro()), "another tool compiled"));
        QVERIFY(ReadFileBytes(Path("foreign.map")) == foreign.bytes);
        QVERIFY(ReadFileBytes(Path("good.map")) == synthetic.bytes);

        // The window goes on working; the compiler's warnings come with "done!".
        h.Load(Path("good.map"));
        std::string noted = Intro();
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
