#pragma once

#include <QObject>

#include <cstdint>
#include <cstdio>
#include <memory>

class QTimer;

// How late the user-interface thread answers: a timer asks every
// millisecond, and each answer's lateness is written to a file as one line,
// "MICROS LATENESS" (the steady clock's microseconds, which bench/ui_stalls
// reads alongside its own actions, and microseconds late). Started by the
// program only when ZOLVA_UI_PROBE names the file; nothing is measured
// otherwise.
class UiLatencyProbe : public QObject {
public:
    // The probe writing to the file ZOLVA_UI_PROBE names, or null when it
    // names none or the file cannot be opened.
    static std::unique_ptr<UiLatencyProbe> fromEnvironment();
    ~UiLatencyProbe() override;

private:
    explicit UiLatencyProbe(std::FILE* file);
    void answer();

    std::FILE* m_file;
    QTimer* m_timer;
    int64_t m_last = 0; // µs of the last answer
};
