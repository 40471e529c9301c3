#pragma once

#include <QStringList>

class QMimeData;

// The files a drag carries from a file manager: the local paths of all its
// addresses, or none when it carries anything else (text, a web address).
QStringList droppedFiles(const QMimeData* data);
