#pragma once

#include "play/performance_render.h"

#include <QString>

class CZolvaView;
class MessageSink;

// What the exports of a performance (MIDI, audio) share.

// The name offered for a document's export: its own name with suffix (".mid"),
// in folder.
QString suggestedExportFile(const QString& documentPath, const QString& folder, const QString& suffix);

// view's music from its first element as Play would send it, at speed percent,
// with or without the metronome.
PerformanceMusic performanceMusicOf(CZolvaView& view, int speed, bool metronome);

// Says that the file at path holds only the first kLongestPerformance of music
// that repeats until it is stopped.
void reportCutPerformance(const QString& path, MessageSink& messages);

// Says "Unable to write PATH: REASON".
void reportUnwritable(const QString& path, const QString& reason, MessageSink& messages);
