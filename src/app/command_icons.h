#pragma once

#include <QIcon>

struct CommandInfo;

// A toolbar button's picture: the desktop theme's icon where a standard one
// fits, otherwise (or when the theme lacks it) the program's own drawing.
QIcon commandIcon(const CommandInfo& command);
// The program's own picture of a command id; null when it has none.
QIcon bundledCommandIcon(int id);
// The program's icon, for its windows.
QIcon programIcon();
