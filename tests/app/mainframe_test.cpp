// The main window's way to the information commands until the full menus exist.
#include "app/mainframe.h"

#include "doc/zolva_doc.h"
#include "recording_sink.h"
#include "url_recorder.h"

#include <QAction>
#include <QMenu>
#include <QMenuBar>

#include <gtest/gtest.h>

namespace {

QStringList menuTexts(QMenu* menu)
{
    QStringList texts;
    for (const QAction* action : menu->actions())
        texts << action->text();
    return texts;
}

TEST(MainFrame, HelpAndEditMenusReachTheInformationCommands)
{
    RecordingSink sink;
    UrlRecorder urls;
    CMainFrame frame;
    frame.addInformationCommands(sink, urls.opener());

    QStringList menus;
    for (const QAction* action : frame.menuBar()->actions())
        menus << action->text();
    EXPECT_EQ(menus, (QStringList{"&Edit", "&Help"}));
    EXPECT_EQ(menuTexts(frame.menuBar()->actions().last()->menu()),
              (QStringList{"&About Zolva Reader...", "Online Documentation", "&License"}));

    QAction* authorInfo = frame.commandAction(32824);
    ASSERT_NE(authorInfo, nullptr);
    EXPECT_EQ(authorInfo->text(), "Author &Info");
    EXPECT_FALSE(authorInfo->isEnabled()); // no document window yet

    CZolvaDoc doc(sink);
    frame.setActiveDocument(&doc);
    EXPECT_TRUE(authorInfo->isEnabled());
    frame.setActiveDocument(nullptr);
    EXPECT_FALSE(authorInfo->isEnabled());

    frame.commandAction(32837)->trigger();
    ASSERT_EQ(urls.requests.size(), 1);
    EXPECT_TRUE(urls.requests.first().isLocalFile());
}

} // namespace

