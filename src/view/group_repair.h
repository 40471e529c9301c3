#pragma once

#include "view/event_facts.h"

// Removes "Beam" and then "Tuplet" marks that do not form a group: F opens,
// Y continues and L closes a group of notes within one measure, and a note
// without tines carries no mark. Reads and updates the marks in events, and
// removes the attributes from their elements.
void RepairGroups(EventTable& events);
