// Start-up, File > Open, the recent files and the life of documents and their
// windows, with a fake MIDI output and files copied to a folder of the test's own.
#include "app/zolva_app.h"

#include "app/child_frame.h"
#include "app/command_table.h"
#include "app/document_registry.h"
#include "app/mainframe.h"
#include "app/message_box_sink.h"
#include "doc/zolva_doc.h"
#include "failing_allocations.h"
#include "fake_midi_devices.h"
#include "play/midi_session.h"
#include "recording_sink.h"
#include "shell_fixture.h"
#include "url_recorder.h"
#include "app/zolva_view.h"
#include "xml/xpxml_node.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QMdiArea>
#include <QMenu>
#include <QMenuBar>
#include <QDropEvent>
#include <QMimeData>
#include <QUrl>
#include <QMdiSubWindow>
#include <QStyle>
#include <QStyleOptionTitleBar>
#include <QMessageBox>
#include <QPointer>
#include <QScrollBar>
#include <QTemporaryDir>
#include <QTimer>

#include <optional>

namespace {

const QString kExamples = QStringLiteral(ZOLVA_SOURCE_DIR "/examples/");

QByteArray fileBytes(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

class ZolvaAppTest : public ShellTest {
protected:
    ZolvaAppTest() : app(sink, devices, urls.opener()) { app.setProgramFolder(dir.path() + "/program/"); }

    // A copy of an example in a folder of the test's own.
    QString copyExample(const QString& name, const QString& folder = "songs")
    {
        QDir().mkpath(dir.path() + "/" + folder);
        const QString path = dir.path() + "/" + folder + "/" + name;
        QFile::copy(kExamples + name, path);
        return path;
    }
    QStringList windowTitles() const
    {
        QStringList titles;
        for (CChildFrame* frame : app.mainFrame()->documents().allViews())
            titles << frame->windowTitle();
        return titles;
    }

    QTemporaryDir dir;
    RecordingSink sink;
    FakeMidiDevices devices;
    UrlRecorder urls;
    CZolvaApp app;
};

TEST_F(ZolvaAppTest, FirstStartDefaults)
{
    ASSERT_TRUE(app.StartUp({}));
    EXPECT_EQ(app.midi().midiDevice(), -1);
    EXPECT_EQ(app.midi().midiInstrument(), 9);
    EXPECT_EQ(app.midi().mute(), 0);
    EXPECT_EQ(app.playDelay(), 0);
    EXPECT_EQ(devices.openedIds, (std::vector<int>{-1}));
    EXPECT_TRUE(QDir(app.musicFolder()).exists());
    EXPECT_TRUE(QDir(app.templatesFolder()).exists());
    EXPECT_EQ(app.musicFolder(), dir.path() + "/program/Music/");
    EXPECT_EQ(app.openFolder(), QDir::homePath()) << "no music yet and no examples beside the program";
    EXPECT_EQ(app.mainFrame()->documents().documentCount(), 0);
    EXPECT_TRUE(app.mainFrame()->isVisible());
    EXPECT_EQ(app.ShutDown(7), 7);
    EXPECT_TRUE(devices.opened.back()->isClosed());
}

TEST_F(ZolvaAppTest, FoldersThatCannotBeMadeLeaveOpenAtHome)
{
    QFile blocker(dir.path() + "/blocker");
    ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    app.setProgramFolder(dir.path() + "/blocker/");
    ASSERT_TRUE(app.StartUp({}));
    EXPECT_EQ(app.openFolder(), QDir::homePath());
}

TEST_F(ZolvaAppTest, TheFirstOpenStartsWhereThereIsMusic)
{
    struct Row {
        bool ownMusic, examplesBeside, examplesInstalled;
        QString expected; // relative to the test's folder; empty: home
    };
    const Row rows[] = {
        {false, false, false, ""},
        {false, false, true, "share/zolva-reader/examples"},
        {false, true, true, "bin/examples"},
        {true, true, false, "bin/Music/"}, // not installed: installed, own music is in the data folder
    };
    for (const Row& row : rows) {
        QTemporaryDir root;
        auto make = [&root](const QString& path) {
            QDir().mkpath(QFileInfo(root.filePath(path)).path());
            QFile(root.filePath(path)).open(QIODevice::WriteOnly);
        };
        if (row.examplesBeside)
            make("bin/examples/song.zvm");
        if (row.examplesInstalled)
            make("share/zolva-reader/examples/song.zvm");
        app.setProgramFolder(root.path() + "/bin/");
        if (row.ownMusic)
            make("bin/Music/mine.zvm");
        make("bin/Music/notes.txt");
        EXPECT_EQ(app.openFolder(), row.expected.isEmpty() ? QDir::homePath() : root.filePath(row.expected))
            << row.expected.toStdString();
    }
}

TEST_F(ZolvaAppTest, MuteIsOnlyRead)
{
    set("Mute", "1");
    ASSERT_TRUE(app.StartUp({}));
    EXPECT_EQ(app.midi().mute(), 1);
    app.mainFrame()->close();
    app.ShutDown(0);
    EXPECT_EQ(get("Mute"), "1");
}

// Notes whether the main window had a document when it was first shown.
class ShowWatcher : public QObject {
public:
    int documentsAtShow = -1;
    bool eventFilter(QObject* object, QEvent* event) override
    {
        if (auto* frame = qobject_cast<CMainFrame*>(object); frame && event->type() == QEvent::Show
                                                            && documentsAtShow < 0)
            documentsAtShow = frame->documents().documentCount();
        return false;
    }
};

TEST_F(ZolvaAppTest, CommandLineFileOpensBeforeTheWindowShows)
{
    ShowWatcher watcher;
    qApp->installEventFilter(&watcher);
    ASSERT_TRUE(app.StartUp({copyExample("ode_to_joy.zvm")}));
    qApp->removeEventFilter(&watcher);
    EXPECT_EQ(watcher.documentsAtShow, 1);
    EXPECT_EQ(app.mainFrame()->windowTitle(), "Zolva Reader - ode_to_joy.zvm");
    // Sized to the area it appeared in, not to a window not yet laid out,
    // and showing the cursor on the opening bar.
    CChildFrame* child = app.mainFrame()->activeChild();
    EXPECT_GT(child->width(), app.mainFrame()->mdiArea()->width() / 2);
    EXPECT_GT(child->height(), app.mainFrame()->mdiArea()->height() / 2);
    CZolvaView* view = child->view();
    view->layout().setViewport(view->verticalScrollBar()->value(), view->viewport()->height());
    EXPECT_TRUE(view->layout().IsPartlyVisible(view->cursor().element.load()));
    // A maximised document window names its document once, in brackets.
    app.mainFrame()->activeChild()->showMaximized();
    QCoreApplication::processEvents();
    EXPECT_EQ(app.mainFrame()->windowTitle(), "Zolva Reader - [ode_to_joy.zvm]");
    app.mainFrame()->activeChild()->showNormal();
    QCoreApplication::processEvents();
    EXPECT_EQ(app.mainFrame()->windowTitle(), "Zolva Reader - ode_to_joy.zvm");
}

TEST_F(ZolvaAppTest, FileOpenTakesEveryChosenFileInOrder)
{
    const QStringList chosen{copyExample("ode_to_joy.zvm", "a"), copyExample("amazing_grace.zvm", "b"),
                             copyExample("frere_jacques_packed.zvm", "c")};
    QStringList startFolders;
    QStringList answer = chosen;
    app.setFileChooser([&](QWidget*, const QString& folder) {
        startFolders << folder;
        return std::exchange(answer, {});
    });
    ASSERT_TRUE(app.StartUp({}));
    app.mainFrame()->commandAction(57601)->trigger();
    EXPECT_EQ(windowTitles(), (QStringList{"ode_to_joy.zvm", "amazing_grace.zvm", "frere_jacques_packed.zvm"}));
    EXPECT_EQ(get("LastOpenPath"), dir.path() + "/c/");

    // A cancelled dialog changes nothing; the next one starts where the last file was.
    app.mainFrame()->commandAction(57601)->trigger();
    EXPECT_EQ(startFolders, (QStringList{QDir::homePath(), dir.path() + "/c/"}));
    EXPECT_EQ(app.mainFrame()->documents().documentCount(), 3);
    EXPECT_EQ(get("LastOpenPath"), dir.path() + "/c/");
}

TEST_F(ZolvaAppTest, FilesDroppedFromAFileManagerOpenOthersAreRefused)
{
    struct Row {
        const char* name;
        std::function<void(QMimeData&)> fill;
        QStringList titles; // the windows after the drop; empty: refused
    };
    const QString ode = copyExample("ode_to_joy.zvm", "a"), grace = copyExample("amazing_grace.zvm", "b");
    const std::vector<Row> rows = {
        {"two music files", [&](QMimeData& d) { d.setUrls({QUrl::fromLocalFile(ode), QUrl::fromLocalFile(grace)}); },
         {"ode_to_joy.zvm", "amazing_grace.zvm"}},
        {"text", [](QMimeData& d) { d.setText(QStringLiteral("ode_to_joy.zvm")); }, {}},
        {"a web address", [](QMimeData& d) { d.setUrls({QUrl(QStringLiteral("https://example.org/a.zvm"))}); }, {}},
        {"a folder", [&](QMimeData& d) { d.setUrls({QUrl::fromLocalFile(dir.path() + "/a")}); }, {}},
    };
    ASSERT_TRUE(app.StartUp({}));
    CMainFrame& frame = *app.mainFrame();
    for (const Row& row : rows) {
        while (frame.activeChild())
            frame.commandAction(57602)->trigger(); // File > Close
        QMimeData data;
        row.fill(data);
        const QPoint at = frame.rect().center();
        QDragEnterEvent enter(at, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QCoreApplication::sendEvent(&frame, &enter);
        EXPECT_EQ(enter.isAccepted(), !row.titles.isEmpty()) << row.name;
        QDropEvent drop(at, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QCoreApplication::sendEvent(&frame, &drop);
        EXPECT_EQ(windowTitles(), row.titles) << row.name;
    }
}

TEST_F(ZolvaAppTest, AFileThatFailsStillSetsTheFolder)
{
    const QString bad = dir.path() + "/bad/notes.zvm";
    QDir().mkpath(dir.path() + "/bad");
    QFile file(bad);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("<!-- no music here -->");
    file.close();
    app.setFileChooser([&](QWidget*, const QString&) { return QStringList{bad}; });
    ASSERT_TRUE(app.StartUp({}));
    app.mainFrame()->commandAction(57601)->trigger();
    EXPECT_EQ(app.mainFrame()->documents().documentCount(), 0);
    EXPECT_FALSE(sink.messages.empty());
    EXPECT_EQ(get("LastOpenPath"), dir.path() + "/bad/");
}

TEST_F(ZolvaAppTest, AnOpenFileIsBroughtToTheFront)
{
    const QString ode = copyExample("ode_to_joy.zvm");
    ASSERT_TRUE(app.StartUp({}));
    CZolvaDoc* first = app.OpenDocumentFile(ode);
    ASSERT_TRUE(first);
    ASSERT_TRUE(app.OpenDocumentFile(copyExample("amazing_grace.zvm")));
    EXPECT_EQ(app.OpenDocumentFile(ode), first);
    EXPECT_EQ(app.mainFrame()->documents().documentCount(), 2);
    EXPECT_EQ(app.mainFrame()->activeDocument(), first);
}

TEST_F(ZolvaAppTest, ADocumentLivesUntilItsLastWindowCloses)
{
    ASSERT_TRUE(app.StartUp({}));
    ASSERT_TRUE(app.OpenDocumentFile(copyExample("ode_to_joy.zvm")));
    CMainFrame& frame = *app.mainFrame();
    frame.commandAction(57648)->trigger(); // New Window
    EXPECT_EQ(windowTitles(), (QStringList{"ode_to_joy.zvm:1", "ode_to_joy.zvm:2"}));
    EXPECT_EQ(frame.documents().documentCount(), 1);

    frame.activeChild()->close();
    EXPECT_EQ(windowTitles(), (QStringList{"ode_to_joy.zvm"}));
    EXPECT_EQ(frame.documents().documentCount(), 1);
    QPointer<CZolvaDoc> doc = frame.activeDocument();
    frame.mdiArea()->setActiveSubWindow(frame.documents().allViews().front());
    frame.activeChild()->close();
    EXPECT_EQ(frame.documents().documentCount(), 0);
    EXPECT_FALSE(frame.commandAction(57602)->isEnabled());
    // Gone once its windows are deleted, not before.
    EXPECT_TRUE(doc);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_FALSE(doc);
}

// Memory running out at each step of opening an old file in turn: the open
// ends with the loader's message and leaves no window, document or recent
// file behind, the piece already open as it was, and the program opens the
// file once memory is back.
TEST_F(ZolvaAppTest, OutOfMemoryAtEachStepOfAnOpenLeavesNothingBehind)
{
    ASSERT_TRUE(app.StartUp({copyExample("ode_to_joy.zvm")}));
    DocumentRegistry& documents = app.mainFrame()->documents();
    // Read in place: counted allocations of one thread, none of the waiting window's.
    documents.setBackgroundLoad(loadInPlace);
    const CZolvaDoc* open = documents.documents().front();
    auto eventCount = [](const CZolvaDoc& doc) {
        int count = 0;
        for (XPxmlNode* event = doc.firstEvent(); event; event = event->nextElementSibling())
            ++count;
        return count;
    };
    const int openEvents = eventCount(*open);
    const QString old = copyExample("au_clair_de_la_lune_old.zvm");

    // Where the steps begin, counted in a trial open from the open's start.
    enum class From { OpenStart, Question, FirstLayout };
    std::optional<From> armAt;
    size_t armAfter = 0;
    size_t start = 0, question = 0, layout = 0;
    auto reached = [&](From point, size_t& count) {
        count = failingAllocations::allocationCount() - start;
        if (armAt == point)
            failingAllocations::failAfter(armAfter);
    };
    sink.whileAsking = [&] { reached(From::Question, question); };
    documents.setViewSetup([&](CZolvaView&) { reached(From::FirstLayout, layout); });
    // A first open counts the layout as the registry makes it. It also makes
    // what later opens reuse, so a second one, the way the steps open, counts
    // the way to the question.
    start = failingAllocations::allocationCount();
    ASSERT_NE(documents.openDocument(old).document, nullptr);
    const size_t laidOut = failingAllocations::allocationCount() - start - layout;
    for (CChildFrame* frame : documents.viewsOf(*documents.documents().back()))
        frame->close();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    start = failingAllocations::allocationCount();
    ASSERT_NE(app.OpenDocumentFile(old), nullptr);
    ASSERT_GT(layout, question);
    const size_t toQuestion = question;
    // The recorder's own share of the question, to find the last allocation before it.
    RecordingSink probe;
    size_t recording = 0;
    probe.whileAsking = [&] { recording = failingAllocations::allocationCount() - start; };
    start = failingAllocations::allocationCount();
    probe.askYesNo(sink.questions.front(), sink.questionFiles.front());
    for (CChildFrame* frame : documents.viewsOf(*documents.documents().back()))
        frame->close();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);

    const struct {
        const char* step;
        From from;
        size_t before;
    } steps[] = {
        {"parse", From::OpenStart, toQuestion / 2},
        {"completion", From::OpenStart, toQuestion - recording - 1}, // the version check's question text
        {"upgrade", From::Question, 0},
        {"first layout", From::FirstLayout, 0},
        {"first layout, part way", From::FirstLayout, laidOut / 4},
    };
    const std::string message = "Out of memory loading " + QFile::encodeName(old).toStdString();
    for (const auto& step : steps) {
        // Fresh lists, to record at the trial's cost.
        sink.messages.clear();
        sink.questions = std::vector<std::string>();
        sink.questionFiles = std::vector<std::string>();
        layout = 0;
        armAt = step.from;
        armAfter = step.before;
        start = failingAllocations::allocationCount();
        if (step.from == From::OpenStart)
            failingAllocations::failAfter(step.before);
        EXPECT_EQ(app.OpenDocumentFile(old), nullptr) << step.step;
        EXPECT_TRUE(failingAllocations::disarm()) << step.step;
        EXPECT_EQ(sink.questions.empty(), step.from == From::OpenStart) << step.step;
        EXPECT_EQ(layout != 0, step.from == From::FirstLayout) << step.step;
        EXPECT_EQ(sink.messages, std::vector<std::string>{message}) << step.step;
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        EXPECT_EQ(documents.documents(), std::vector<const CZolvaDoc*>{open}) << step.step;
        EXPECT_EQ(documents.allViews().size(), 1u) << step.step;
        EXPECT_FALSE(app.mainFrame()->recentFiles().files().contains(QDir::toNativeSeparators(old))) << step.step;
        EXPECT_EQ(eventCount(*open), openEvents) << step.step;
        EXPECT_FALSE(open->isModified()) << step.step;
    }
    armAt.reset();
    sink.messages.clear();
    ASSERT_NE(app.OpenDocumentFile(old), nullptr);
    EXPECT_TRUE(sink.messages.empty());
    EXPECT_EQ(documents.documentCount(), 2);
}

TEST_F(ZolvaAppTest, WindowMenuListsTheWindowsAndActivatesThem)
{
    ASSERT_TRUE(app.StartUp({}));
    CMainFrame& frame = *app.mainFrame();
    CZolvaDoc* ode = app.OpenDocumentFile(copyExample("ode_to_joy.zvm"));
    ASSERT_TRUE(app.OpenDocumentFile(copyExample("amazing_grace.zvm")));
    QMenu* window = nullptr;
    for (QAction* menu : frame.menuBar()->actions()) {
        if (menu->text() == "&Window")
            window = menu->menu();
    }
    ASSERT_TRUE(window);
    emit window->aboutToShow();
    QStringList texts;
    for (const QAction* action : window->actions())
        texts << (action->isSeparator() ? QString("|") : action->text());
    EXPECT_EQ(texts, (QStringList{"&New Window", "&Cascade", "&Tile", "&Arrange Icons", "|", "&1 ode_to_joy.zvm",
                                  "&2 amazing_grace.zvm"}));
    EXPECT_TRUE(window->actions().last()->isChecked());
    window->actions()[5]->trigger();
    EXPECT_EQ(frame.activeDocument(), ode);
    emit window->aboutToShow(); // built afresh, not added twice
    EXPECT_EQ(window->actions().size(), 7);
}

// New windows and Window > Cascade: each window a title bar lower and to the
// right of the one before, all the area less four such steps in size, the
// sixth back at the top left.
TEST_F(ZolvaAppTest, WindowsCascadeTheClassicWay)
{
    ASSERT_TRUE(app.StartUp({}));
    CMainFrame& frame = *app.mainFrame();
    for (const QSize mainSize : {QSize(900, 700), QSize(640, 480)}) {
        SCOPED_TRACE(mainSize.width());
        frame.resize(mainSize);
        QCoreApplication::processEvents();
        ASSERT_TRUE(app.OpenDocumentFile(copyExample("ode_to_joy.zvm")));
        for (int i = 0; i < 5; ++i)
            frame.commandAction(cmd::WindowNew)->trigger();
        const QList<QMdiSubWindow*> windows = frame.mdiArea()->subWindowList(QMdiArea::CreationOrder);
        ASSERT_EQ(windows.size(), 6);
        QStyleOptionTitleBar option;
        option.initFrom(windows.front());
        const int step = windows.front()->style()->pixelMetric(QStyle::PM_TitleBarHeight, &option, windows.front());
        const QSize area = frame.mdiArea()->viewport()->size();
        auto expectPlace = [&](int window, int k, const char* what) {
            EXPECT_EQ(windows[window]->geometry(),
                      QRect(k * step, k * step, area.width() - 4 * step, area.height() - 4 * step))
                << what << " window " << window;
        };
        for (int i = 0; i < 6; ++i)
            expectPlace(i, i % 5, "opened");
        windows[2]->showMaximized();
        windows[3]->resize(100, 80);
        frame.mdiArea()->setActiveSubWindow(windows[1]);
        frame.commandAction(cmd::WindowCascade)->trigger();
        const QList<QMdiSubWindow*> stacked = frame.mdiArea()->subWindowList(QMdiArea::StackingOrder);
        EXPECT_EQ(stacked.back(), windows[1]) << "the active window stays on top";
        for (int i = 0; i < 6; ++i)
            expectPlace(i, int(stacked.indexOf(windows[i])) % 5, "cascaded");
        frame.commandAction(cmd::FileClose)->trigger();
        QCoreApplication::processEvents();
    }
}

TEST_F(ZolvaAppTest, ClosingAModifiedDocumentAsksNothingAndWritesNothing)
{
    const QString path = copyExample("ode_to_joy.zvm");
    const QByteArray before = fileBytes(path);
    ASSERT_TRUE(app.StartUp({}));
    CZolvaDoc* doc = app.OpenDocumentFile(path);
    ASSERT_TRUE(doc);
    app.mainFrame()->commandAction(57648)->trigger(); // two windows, one document
    doc->tree().rootElement()->setModified(true);
    doc->setModifiedFlag(true);
    ASSERT_TRUE(doc->isModified());

    app.mainFrame()->commandAction(57602)->trigger(); // File > Close: every window of it
    EXPECT_EQ(app.mainFrame()->documents().documentCount(), 0);
    EXPECT_TRUE(sink.questions.empty());
    EXPECT_EQ(fileBytes(path), before);

    // The same through closing the program.
    ASSERT_TRUE((doc = app.OpenDocumentFile(path)));
    doc->tree().rootElement()->setModified(true);
    app.mainFrame()->close();
    EXPECT_TRUE(sink.questions.empty());
    EXPECT_EQ(fileBytes(path), before);
}

TEST_F(ZolvaAppTest, RecentFilesReopenAndDropWhatIsGone)
{
    const QString ode = copyExample("ode_to_joy.zvm");
    const QString grace = copyExample("amazing_grace.zvm");
    ASSERT_TRUE(app.StartUp({}));
    ASSERT_TRUE(app.OpenDocumentFile(ode));
    ASSERT_TRUE(app.OpenDocumentFile(grace));
    CMainFrame& frame = *app.mainFrame();
    EXPECT_EQ(frame.commandAction(57616)->text(), "&1 " + shortenedPath(QDir::toNativeSeparators(grace), 30));
    EXPECT_TRUE(frame.commandAction(57617)->isEnabled());
    EXPECT_FALSE(frame.commandAction(57618)->isVisible());
    EXPECT_EQ(QSettings("Zolva", "Zolva Reader").value("Recent File List/File2").toString(),
              QDir::toNativeSeparators(ode));

    frame.commandAction(57602)->trigger();
    frame.commandAction(57602)->trigger();
    ASSERT_EQ(frame.documents().documentCount(), 0);
    frame.commandAction(57617)->trigger(); // the ode, second in the list
    EXPECT_EQ(windowTitles(), (QStringList{"ode_to_joy.zvm"}));
    EXPECT_EQ(frame.recentFiles().files().first(), QDir::toNativeSeparators(ode));

    QFile::remove(grace);
    frame.commandAction(57617)->trigger();
    EXPECT_EQ(frame.recentFiles().files(), QStringList{QDir::toNativeSeparators(ode)});
}

// The message boxes show a path or a tag in Windows-1252 as the views show
// it; a question about a file names it in the title.
TEST(MessageBoxSinkTest, ShowsTextThatIsNotUtf8AsWindows1252)
{
    struct Row {
        std::string bytes;
        std::string fileName; // a question about it when not empty
        QString shown;
        QString title;
    };
    const Row rows[] = {
        {"Error 2 reading /music/caf\xC3\xA9.zvm", "", QString::fromUtf8("Error 2 reading /music/caf\u00e9.zvm"),
         "Zolva Reader"},
        {"Error 2 reading /music/caf\xE9 \x80.zvm", "", QString::fromUtf8("Error 2 reading /music/caf\u00e9 \u20ac.zvm"),
         "Zolva Reader"},
        {"Upgrade?", "caf\xE9.zvm", "Upgrade?", QString::fromUtf8("Zolva Reader - caf\u00e9.zvm")},
    };
    for (const Row& row : rows) {
        QString seen, title;
        QTimer::singleShot(0, [&] {
            if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
                seen = box->text();
                title = box->windowTitle();
                box->done(0);
            }
        });
        MessageBoxSink sink;
        if (row.fileName.empty())
            sink.showMessage(row.bytes);
        else
            sink.askYesNo(row.bytes, row.fileName);
        EXPECT_EQ(seen, row.shown) << row.bytes;
        EXPECT_EQ(title, row.title) << row.bytes;
    }
}

} // namespace
