// Files handed to the running program in one process: opening them may wait
// in an event loop of its own (a message, a long load) while the later start,
// answered already, closes its end and goes.
#include "app/single_instance.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <future>

namespace {

TEST(SingleInstance, FilesOpenedInAnEventLoopOfTheirOwnOutliveTheSocket)
{
    QTemporaryDir folder;
    const QString name = QDir(folder.path()).filePath(QStringLiteral("handed"));
    SingleInstance running;
    ASSERT_TRUE(running.listen(name));
    std::vector<QStringList> opened;
    running.deliverTo([&](const QStringList& files) {
        // As a message box does: events run, the closed socket is deleted.
        QElapsedTimer waited;
        waited.start();
        while (waited.elapsed() < 300) {
            QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
            QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        }
        opened.push_back(files);
    });

    const QStringList files{QStringLiteral("/music/a.zvm"), QStringLiteral("/music/b.mid")};
    auto handed = std::async(std::launch::async, [&] { return SingleInstance::handOver(name, files); });
    QElapsedTimer waited;
    waited.start();
    while ((opened.empty() || handed.wait_for(std::chrono::seconds(0)) != std::future_status::ready) &&
           waited.elapsed() < 10000)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(handed.get());
    EXPECT_EQ(opened, std::vector<QStringList>{files});
}

} // namespace
