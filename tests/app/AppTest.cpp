// The desktop app on Qt's offscreen platform: the compile command and its
// messages, the map panel, the editor, the script's file and the About
// window. Every dialog goes through the window's seams, so nothing waits for a click.
#include <QAction>
#include <QLabel>
#include <QMessageBox>
#include <QMimeData>
#include <QPushButton>
#include <QScreen>
#include <QSettings>
#include <QTemporaryDir>
#include <QTextBlock>
#include <QtTest>
#include <fstream>
#include <memory>

#include "About.h"
#include "App.h"
#include "BracketMatcher.h"
#include "CompilerMessage.h"
#include "HscHighlighter.h"
#include "MapPanel.h"
#include "MessageList.h"
#include "ScriptEditor.h"
#include "ScriptFiles.h"
#include "ScriptSource.h"
#include "TestSupport.h"
#include "Window1.h"
#include "compiler/Tarnfold.h"

using namespace tarnfold;
using namespace tarnfold::app;
using tarnfold::testing::Intro;
using tarnfold::testing::ReadFileBytes;
using Level = CompilerMessage::Level;

namespace {

// A main window whose boxes are recorded, whose file dialogs answer `chosen`
// and whose save question answers `answer`.
struct Harness {
    std::unique_ptr<Window1> window = std::make_unique<Window1>();
    std::vector<Message> messages;
    std::filesystem::path chosen;
    QStringList asked;  // the scripts the save question named, and what the replace question named
    SaveAnswer answer = SaveAnswer::Discard;
    bool replace = false;  // the answer to "Replace the scripts another tool compiled?"

    Harness() {
        Dialogs& dialogs = window->UserDialogs;
        dialogs.Messages = [this](QWidget*, const Message& message) { messages.push_back(message); };
        dialogs.ChooseMap = [this] { return chosen; };
        dialogs.ChooseScript =
            dialogs.ChooseScriptName = [this](const std::filesystem::path&) { return chosen; };
        dialogs.AskToSave = [this](QWidget*, const QString& name) {
            asked << name;
            return answer;
        };
        dialogs.AskToReplace = [this](QWidget*, const QString& what) {
            asked << what;
            return replace;
        };
        window->show();
        QApplication::setActiveWindow(window.get());
    }
    void Load(const std::filesystem::path& path) {
        messages.clear();
        chosen = path;
        window->FileLoadmap()->trigger();
    }
    // Puts `script` into the field and clicks the button; returns what the
    // compile said, a line each: the box's text, then the listed messages.
    QString Compile(const std::string& script) {
        window->ScriptFld->setPlainText(QString::fromStdString(script));
        messages.clear();
        QTest::mouseClick(window->BtnCompileScript, Qt::LeftButton);
        QStringList said;
        for (const Message& message : messages) said << message.text;
        for (int row = 0; row < Rows(); ++row) said << List().At(row).Where() + ' ' + List().At(row).text;
        return said.join('\n');
    }
    MessageList& List() const { return *window->MessageList1; }
    int Rows() const { return List().isVisible() ? List().topLevelItemCount() : 0; }
    QString Text() const { return window->ScriptFld->toPlainText(); }
    void Type(const QString& text) { QTest::keyClicks(window->ScriptFld, text); }
};

std::string WithNotes(std::string document, int count) {
    std::string notes;
    for (int i = 0; i < count; ++i) notes += "<Note/>\n";
    return document.insert(document.rfind("</script>"), notes);
}

}  // namespace

class AppTest : public QObject {
    Q_OBJECT
    QTemporaryDir dir;
    std::filesystem::path Path(const char* name) const { return dir.filePath(name).toStdString(); }

private slots:
    // One About window at a time; Escape closes it; its credits leave room for one more line.
    void aboutIsOneWindow() {
        Harness h;
        h.window->aboutMenu()->trigger();
        About* about = About::Instance();
        h.window->aboutMenu()->trigger();
        int open = 0;
        for (QWidget* widget : QApplication::topLevelWidgets())
            open += qobject_cast<About*>(widget) != nullptr;
        QCOMPARE(open, 1);
        QVERIFY(about->isVisible());
        const QLabel* credits = about->StaticText1;
        QVERIFY(credits->heightForWidth(credits->width()) + credits->fontMetrics().lineSpacing() <=
                credits->height());
        QVERIFY(!credits->text().contains(QLatin1String("  ")));
        QPointer<About> closed(about);
        QApplication::setActiveWindow(about);
        QTest::keyClick(about, Qt::Key_Escape);
        QTRY_VERIFY(closed.isNull());
        h.window->aboutMenu()->trigger();
        QVERIFY(About::Instance()->isVisible());
        About::Instance()->close();
    }

    // The button compiles the field into the loaded map, as the core does,
    // and compiles it again after an edit.
    void compileThroughTheButton() {
        BuildSyntheticMap({.nodeCapacity = 19001}).Save(Path("app.map"));
        BuildSyntheticMap({.nodeCapacity = 19001}).Save(Path("core.map"));
        Harness h;
        h.Load(Path("app.map"));
        QVERIFY(h.Compile(Intro()).startsWith("done!"));
        // alpha and beta are no function and no global: the game would not load the result
        QCOMPARE(h.messages.front().kind, Message::Kind::Warning);
        CompileDocument(Path("core.map"), Intro());
        QVERIFY(ReadFileBytes(Path("app.map")) == ReadFileBytes(Path("core.map")));

        std::string edited = Intro();
        edited.replace(edited.find("30"), 2, "31");
        QVERIFY(h.Compile(edited).startsWith("done!"));
        CompileDocument(Path("core.map"), edited);
        QVERIFY(ReadFileBytes(Path("app.map")) == ReadFileBytes(Path("core.map")));
    }

    // The map in view: the panel shows the node table's use and the scripts,
    // a compile updates it, a script's double-click shows its source, and a
    // cancelled load keeps the map.
    void mapPanelAndTitle() {
        BuildSyntheticMap({.nodeCapacity = 19001}).Save(Path("panel.map"));
        Harness h;
        QCOMPARE(h.window->windowTitle(), QString("Compiler"));
        QVERIFY(!h.window->MapPanel1->isVisible());
        h.Load(Path("panel.map"));
        QCOMPARE(h.window->windowTitle(), QString::fromUtf8("Compiler \u2014 panel.map"));
        QCOMPARE(h.window->MapPanel1->Value("Nodes"), QString("0 of 19,001"));
        QVERIFY(h.Compile("(script dormant one (sleep 30))\n(script static boolean two true)")
                    .startsWith("done!"));
        QCOMPARE(h.window->MapPanel1->Value("Nodes"),
                 QString("%1 of 19,001").arg(DescribeMap(Path("panel.map")).nodes));
        QCOMPARE(h.window->MapPanel1->Value("Compiled by"), QString("Tarnfold"));

        h.window->ScriptFld->setPlainText("<typed/>");
        QTreeWidgetItem* two =
            h.window->MapPanel1->findItems("two", Qt::MatchExactly | Qt::MatchRecursive).front();
        emit h.window->MapPanel1->itemActivated(two, 0);
        QCOMPARE(h.Text().toStdString(), ReadScriptsAsHsc(Path("panel.map"), std::nullopt));
        QCOMPARE(h.window->ScriptFld->textCursor().position(), FindScriptSource(h.Text(), u"two").start);
        QVERIFY(h.window->windowTitle().endsWith(QString::fromUtf8("panel.map \u2014 untitled*")));
        h.window->ScriptFld->undo();
        QCOMPARE(h.Text(), QString("<typed/>"));
        h.window->FileReadscripts()->trigger();
        QCOMPARE(h.Text().toStdString(), ReadScripts(Path("panel.map")));

        h.Load({});  // cancelled
        QCOMPARE(h.window->LoadedMap.map, Path("panel.map"));
        QVERIFY(h.window->MapPanel1->isVisible());
    }

    // Messages in the list, not a box: 300 warnings make 300 rows and no
    // window taller than the screen; double-click or Enter on one moves the
    // caret to its place, counted in bytes as the compiler counts.
    void messagesInTheList() {
        BuildSyntheticMap({.nodeCapacity = 19001}).Save(Path("list.map"));
        Harness h;
        h.Load(Path("list.map"));
        const std::string clean = TranslateHsc("(script dormant flood (sleep 30))", "flood", Engine::Custom);
        QVERIFY(h.Compile(WithNotes(clean, 300)).startsWith("done!"));
        QCOMPARE(h.Rows(), 300);
        QCOMPARE(h.List().At(299).level, Level::Warning);
        const int screen = h.window->screen()->availableGeometry().height();
        auto box = MakeMessageBox(h.window.get(), h.messages.front());
        box->show();
        for (QWidget* window : QApplication::topLevelWidgets())
            if (window->isVisible())
                QVERIFY2(window->frameGeometry().height() <= screen, qPrintable(window->objectName()));
        QVERIFY(box->informativeText().contains("300"));

        const QRect row = h.List().visualItemRect(h.List().topLevelItem(2));
        // A double-click as the window system delivers it: a click, then the second press.
        QTest::mouseClick(h.List().viewport(), Qt::LeftButton, {}, row.center());
        QTest::mouseDClick(h.List().viewport(), Qt::LeftButton, {}, row.center());
        QCOMPARE(h.window->ScriptFld->CaretLine(), h.List().At(2).line);
        QCOMPARE(h.window->ScriptFld->CaretColumn(), h.List().At(2).column);

        const QString said = h.Compile("(script startup a (print \"\u00e9\") (ai_plce x))");
        QVERIFY2(said.contains("untitled:1:33 ai_plce is not a function"), qPrintable(said));
        QCOMPARE(h.List().At(0).level, Level::Error);
        h.List().setCurrentItem(h.List().topLevelItem(0));
        QTest::keyClick(&h.List(), Qt::Key_Return);
        QCOMPARE(h.window->ScriptFld->CaretColumn(), 32);  // "é" is two bytes
        QVERIFY(h.messages.empty());
    }

    void parsesCompilerMessages() {
        const struct {
            const char* raw;
            Level level;
            const char* where;
            const char* text;
        } cases[] = {
            {"intro.hsc:3:6: error: ai_plce is not a function", Level::Error, "intro.hsc:3:6",
             "ai_plce is not a function"},
            {"C:\\maps\\a.hsc:12:1: warning: w", Level::Warning, "C:\\maps\\a.hsc:12:1", "w"},
            {"element \"Note\" at line 4, column 3: makes no node", Level::Error, "f.xml:4:3",
             "element \"Note\": makes no node"},
            {"element \"s\" at line 2, column 1 is taken for a script", Level::Error, "f.xml:2:1",
             "element \"s\" is taken for a script"},
            {"XML error at line 2, column 5: not well-formed", Level::Error, "f.xml:2:5",
             "XML error: not well-formed"},
            {"no map is loaded: load a map first", Level::Error, "", "no map is loaded: load a map first"},
        };
        for (const auto& c : cases) {
            const CompilerMessage message = ParseCompilerMessage(c.raw, Level::Error, "f.xml");
            QCOMPARE(message.level, c.level);
            QCOMPARE(message.Where(), QString(c.where));
            QCOMPARE(message.text, QString(c.text));
        }
    }

    // Brackets, colours and script forms follow the compiler's lexical rules.
    void editorReadsHscAsTheCompilerDoes() {
        BracketMatcher brackets;
        brackets.Reset(u"(a \"(\" ; (\n;* ) *; (b))");
        const qsizetype partners[][2] = {{0, 22},
                                         {21, 19},
                                         {4, BracketMatcher::kNotABracket},
                                         {9, BracketMatcher::kNotABracket},
                                         {14, BracketMatcher::kNotABracket}};
        for (const auto& [at, partner] : partners) QCOMPARE(brackets.Partner(at), partner);
        brackets.Reset(u"(a))");
        QCOMPARE(brackets.Partner(3), BracketMatcher::kUnmatched);

        ScriptEditor field(nullptr);
        field.setPlainText("(sleep 30) ;* (sleep\n2 *; (ai_place \"x\") sleep");
        const auto formatAt = [&](int line, int column) {
            for (const QTextLayout::FormatRange& range :
                 field.document()->findBlockByNumber(line).layout()->formats())
                if (range.start <= column && column < range.start + range.length) return range.format;
            return QTextCharFormat();
        };
        const HscHighlighter& colours = *field.Highlighter();
        QCOMPARE(formatAt(0, 1), colours.function);
        QCOMPARE(formatAt(0, 7), colours.number);
        QCOMPARE(formatAt(1, 0), colours.comment);
        QCOMPARE(formatAt(1, 6), colours.function);
        QCOMPARE(formatAt(1, 16), colours.string);
        QCOMPARE(formatAt(1, 21), QTextCharFormat());  // a function's name where no call names it

        const QString hsc =
            "; (script startup two)\n(script static boolean one true)\n(script dormant two (sleep 1))";
        QCOMPARE(FindScriptSource(hsc, u"ONE").start, hsc.indexOf("(script static"));
        QCOMPARE(FindScriptSource(hsc, u"two").length, 30);
        QCOMPARE(FindScriptSource(hsc, u"boolean").start, -1);
    }

    // Tab indents in the field, Shift+Tab takes it back, Ctrl+Tab leaves
    // the field, Ctrl+Return compiles.
    void keyboard() {
        Harness h;
        h.window->ScriptFld->setFocus();
        h.Type("(a");
        QTest::keyClick(h.window->ScriptFld, Qt::Key_Home);
        QTest::keyClick(h.window->ScriptFld, Qt::Key_Tab);
        QCOMPARE(h.Text(), QString("    (a"));
        QTest::keyClick(h.window->ScriptFld, Qt::Key_End);
        QTest::keyClick(h.window->ScriptFld, Qt::Key_Return);
        QCOMPARE(h.Text(), QString("    (a\n    "));
        h.window->ScriptFld->selectAll();
        QTest::keyClick(h.window->ScriptFld, Qt::Key_Backtab, Qt::ShiftModifier);
        QCOMPARE(h.Text(), QString("(a\n"));
        QTest::keyClick(h.window->ScriptFld, Qt::Key_Tab, Qt::ControlModifier);
        QVERIFY(!h.window->ScriptFld->hasFocus());
        QTest::keyClick(h.window.get(), Qt::Key_Return, Qt::ControlModifier);
        QVERIFY(h.List().At(0).text.contains("no map is loaded"));
    }

    // A changed field asks before it is lost: on Quit, Open and closing the window.
    void unsavedTextAsksFirst() {
        std::ofstream(Path("other.hsc")) << "(script startup other (sleep 1))";
        Harness h;
        h.Type("(typed");
        QCOMPARE(h.window->windowTitle(), QString::fromUtf8("Compiler \u2014 untitled*"));
        h.answer = SaveAnswer::Cancel;
        QTest::keyClick(h.window.get(), Qt::Key_Q, Qt::ControlModifier);
        QTRY_COMPARE(h.asked, QStringList{"untitled"});
        QVERIFY(h.window->isVisible());
        h.chosen = Path("other.hsc");
        h.window->FileOpenscript()->trigger();
        QCOMPARE(h.asked.size(), 2);
        QCOMPARE(h.Text(), QString("(typed"));
        QVERIFY(!h.window->close());
        h.answer = SaveAnswer::Discard;
        h.window->FileOpenscript()->trigger();
        QCOMPARE(h.Text(), QString("(script startup other (sleep 1))"));
        QVERIFY(h.window->close());
        QCOMPARE(h.asked.size(), 4);
    }

    // Open, edit, Save keeps the file's line ends; Save as adds the extension;
    // both go to the recent scripts.
    void openAndSaveRoundTrip() {
        const std::string original = "; \xc3\xa9\r\n(script startup a\r\n    (sleep 30))\r\n",
                          saved = original + ";";
        std::ofstream(Path("round.hsc"), std::ios::binary) << original;
        Harness h;
        h.chosen = Path("round.hsc");
        h.window->FileOpenscript()->trigger();
        QCOMPARE(h.Text(), QString::fromUtf8("; \xc3\xa9\n(script startup a\n    (sleep 30))\n"));
        QCOMPARE(h.window->windowTitle(), QString::fromUtf8("Compiler \u2014 round.hsc"));
        QTest::keyClick(h.window->ScriptFld, Qt::Key_End, Qt::ControlModifier);
        h.Type(";");
        QVERIFY(h.window->windowTitle().endsWith("round.hsc*"));
        h.window->FileSavescript()->trigger();
        QCOMPARE(ReadFileBytes(Path("round.hsc")), Bytes(saved.begin(), saved.end()));
        QVERIFY(h.window->windowTitle().endsWith("round.hsc"));
        h.chosen = Path("copy");
        h.window->FileSavescriptas()->trigger();
        QCOMPARE(ReadFileBytes(Path("copy.hsc")), ReadFileBytes(Path("round.hsc")));
        QCOMPARE(h.window->Files->Path(), Path("copy.hsc"));
        const QStringList recent = QSettings().value("recent/scripts").toStringList();
        QCOMPARE(recent.mid(0, 2), (QStringList{dir.filePath("copy.hsc"), dir.filePath("round.hsc")}));
    }

    // Files dropped as a file manager drops them: a .hsc or .xml file
    // replaces the field's text (undoably), any other file is loaded as the
    // map, on the field as on the rest of the window.
    void droppedFilesLoadTheScriptOrTheMap() {
        BuildSyntheticMap().Save(Path("dropped.map"));
        std::ofstream(Path("dropped.xml")) << Intro();
        std::ofstream(Path("dropped.hsc")) << "(script startup d (sleep 1))";
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
        QCOMPARE(h.Text().toStdString(), Intro());
        h.window->ScriptFld->undo();
        QCOMPARE(h.Text(), QString("<typed/>"));
        QVERIFY(drop(h.window.get(), Path("dropped.hsc")));
        QCOMPARE(h.Text(), QString("(script startup d (sleep 1))"));

        for (QWidget* target : {field, static_cast<QWidget*>(h.window.get())}) {
            h.window->LoadedMap.map.clear();
            QVERIFY(drop(target, Path("dropped.map")));
            QCOMPARE(h.window->LoadedMap.map, Path("dropped.map"));
        }
        QCOMPARE(h.Text(), QString("(script startup d (sleep 1))"));
        QVERIFY(h.messages.empty());
    }

    void errorsAreShownAndChangeNothing() {
        const auto synthetic = BuildSyntheticMap();
        synthetic.Save(Path("good.map"));
        const auto foreign = BuildSyntheticMap({.stringDataSize = 1036});
        foreign.Save(Path("foreign.map"));
        std::ofstream(Path("broken.map")) << "dae";
        Harness h;
        QVERIFY(h.Compile(Intro()).contains("no map is loaded: load a map first"));

        h.Load(Path("good.map"));
        QVERIFY(h.Compile("<scripts>\n  <script>").contains("untitled:2:"));
        QVERIFY(h.Compile("").contains("untitled:1:1 the document is empty"));

        h.Load(Path("broken.map"));
        QCOMPARE(h.messages.size(), size_t{1});
        QVERIFY(h.messages.front().text.contains("too short to be a map"));
        QVERIFY(h.Compile(Intro()).contains("load a map first"));

        // Another tool's scripts are replaced only when the user says so.
        h.Load(Path("foreign.map"));
        h.Compile(Intro());
        QVERIFY(h.messages.empty());  // nothing compiled, nothing to say
        QVERIFY(h.asked.back().contains("that another tool compiled"));
        QVERIFY(ReadFileBytes(Path("foreign.map")) == foreign.bytes);
        QVERIFY(ReadFileBytes(Path("good.map")) == synthetic.bytes);
        h.replace = true;
        QVERIFY(h.Compile(Intro()).startsWith("done!"));
        QVERIFY(DescribeMap(Path("foreign.map")).compiledByTarnfold);
    }
};

int main(int argc, char** argv) {
    // The tests' settings (recent files, the window's size) stay in their own folder.
    QTemporaryDir settings;
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, settings.path());
    App app(argc, argv);
    AppTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "AppTest.moc"
