#pragma once

class QPainter;

// Draws the program's own picture of a toolbar command into the 16 × 15 box
// at the painter's origin; the painter's scale makes it as large as needed,
// so the pictures stay sharp on high-density screens. False for an id
// without a picture.
bool drawCommandPicture(int id, QPainter& painter);
// The program's icon: a kalimba, in a 64 × 64 box.
void drawProgramPicture(QPainter& painter);
