#pragma once

#include "doc/background_load.h"

#include <QPointer>
#include <QWidget>

// Opens (or exports) files on a thread of their own while the windows keep
// painting. Work that lasts shows its progress in a dialog whose Cancel stops
// it; until the dialog shows, keys and clicks wait for the work to end.
class ProgressWait {
public:
    static constexpr int kShowAfterMs = 400;
    // Files from this size on show the dialog as soon as their reading starts.
    static constexpr size_t kShowAtOnceBytes = size_t(8) << 20;

    explicit ProgressWait(QWidget* parent) : m_parent(parent) {}

    // A BackgroundLoad: false when the player cancelled. The dialog says
    // "VERB WHAT …".
    bool run(const QString& what, const std::function<void(WorkProgress&)>& work,
             const QString& verb = QStringLiteral("Opening"));
    BackgroundLoad load(const QString& verb = QStringLiteral("Opening"))
    {
        return [this, verb](const QString& what, const std::function<void(WorkProgress&)>& work) {
            return run(what, work, verb);
        };
    }

private:
    QPointer<QWidget> m_parent;
};
