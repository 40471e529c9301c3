#pragma once

#include "xml/work_progress.h"

#include <QString>

#include <functional>

// Runs the slow part of opening a file: the caller's thread may hand it to
// another and keep its windows painting meanwhile, showing what as the work's
// name. Returns false when the player cancelled the work; the work has ended
// by then either way, and an exception it threw comes out here.
using BackgroundLoad = std::function<bool(const QString& what, const std::function<void(WorkProgress&)>& work)>;

// Runs work at once on the calling thread.
bool loadInPlace(const QString& what, const std::function<void(WorkProgress&)>& work);
