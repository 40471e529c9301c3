#pragma once

#include <QPixmap>

// The About box's picture: a kalimba seen from above, its tines fanning out
// from the centre, drawn rather than loaded so it scales with the screen.
QPixmap kalimbaPicture(int width = 96);
