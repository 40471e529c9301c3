#include "app/progress_wait.h"

#include <QAbstractEventDispatcher>
#include <QEventLoop>
#include <QProgressDialog>
#include <QTimer>

#include <atomic>
#include <exception>
#include <limits>
#include <thread>

namespace {

constexpr int kSteps = 1000;
constexpr int kTickMs = 50;

} // namespace

bool ProgressWait::run(const QString& what, const std::function<void(WorkProgress&)>& work, const QString& verb)
{
    WorkProgress progress;
    std::exception_ptr failure;
    std::atomic<bool> finished{false};
    QAbstractEventDispatcher* dispatcher = QAbstractEventDispatcher::instance();
    std::thread worker([&] {
        try {
            work(progress);
        } catch (...) {
            failure = std::current_exception();
        }
        finished = true;
        if (dispatcher)
            dispatcher->wakeUp();
    });

    // Kept on screen past the reading while the first window is laid out;
    // it goes when the event loop next runs.
    auto* dialog = new QProgressDialog(QStringLiteral("%1 %2 …").arg(verb, what), QStringLiteral("Cancel"), 0, 0, m_parent);
    dialog->setWindowTitle(QStringLiteral("Zolva Reader"));
    dialog->setWindowModality(Qt::ApplicationModal);
    dialog->setAutoReset(false);
    dialog->setAutoClose(false);
    // Shown by its own timer, not by the dialog's guess from the progress so far.
    dialog->setMinimumDuration(std::numeric_limits<int>::max());
    QTimer::singleShot(kShowAfterMs, dialog, [dialog] { dialog->show(); });
    QObject::connect(dialog, &QProgressDialog::canceled, [&progress] { progress.cancelled = true; });
    QTimer tick;
    QObject::connect(&tick, &QTimer::timeout, dialog, [&] {
        const size_t total = progress.total;
        if (total == 0)
            return;
        // A file this large takes a while whatever the machine.
        if (total >= kShowAtOnceBytes && !dialog->isVisible())
            dialog->show();
        dialog->setMaximum(kSteps);
        dialog->setValue(int(double(progress.done) / double(total) * (kSteps - 1)));
    });
    tick.start(kTickMs);

    QEventLoop loop;
    while (!finished) {
        // Keys and clicks wait until the dialog stands in front to take them.
        const auto input = dialog->isVisible() ? QEventLoop::AllEvents : QEventLoop::ExcludeUserInputEvents;
        loop.processEvents(input | QEventLoop::WaitForMoreEvents);
        if (dialog->wasCanceled())
            progress.cancelled = true;
    }
    tick.stop();
    if (dialog->isVisible() && !progress.cancelled)
        QTimer::singleShot(0, dialog, [dialog] { delete dialog; });
    else
        delete dialog;
    worker.join();
    if (failure)
        std::rethrow_exception(failure);
    return !progress.cancelled;
}
