// Opening on a thread of its own: the window keeps running, a long open shows
// its progress, Cancel stops it and a failure on the thread comes back here.
#include "app/progress_wait.h"

#include <QApplication>
#include <QProgressDialog>
#include <QPushButton>
#include <QTimer>

#include <gtest/gtest.h>

#include <new>
#include <thread>

namespace {

TEST(ProgressWait, ALongOpenShowsProgressAndCancelStopsIt)
{
    QWidget window;
    ProgressWait wait(&window);
    int ticks = 0;
    QString label;
    int value = -1;
    QTimer watch;
    QObject::connect(&watch, &QTimer::timeout, [&] {
        ++ticks;
        // Cancelled once the dialog shows how far the work has come, however
        // long a loaded machine takes to show it.
        if (auto* dialog = qobject_cast<QProgressDialog*>(QApplication::activeModalWidget());
            dialog && value < 0 && dialog->value() >= 0) {
            label = dialog->labelText();
            value = dialog->value();
            dialog->findChild<QPushButton*>()->click();
        }
    });
    watch.start(10);
    // Work that would last until cancelled, half done.
    const bool finished = wait.run("big.zvm", [](WorkProgress& progress) {
        progress.total = 100;
        progress.done = 50;
        while (!progress.cancelled)
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
    });
    EXPECT_FALSE(finished);
    EXPECT_EQ(label, "Opening big.zvm …");
    EXPECT_NEAR(value, 500, 1);
    EXPECT_GE(ticks, ProgressWait::kShowAfterMs / 10 / 2) << "the window's timers ran meanwhile";

    EXPECT_TRUE(wait.run("quick.zvm", [](WorkProgress&) {}));
    EXPECT_THROW(wait.run("huge.zvm", [](WorkProgress&) { throw std::bad_alloc(); }), std::bad_alloc);
}

} // namespace
