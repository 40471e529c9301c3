#pragma once

class XPxmlNode;

// Brings the tree of a file from before bar elements up to date: spacing in
// the screen and print options, the options' switches, and the note list
// (convertOldNoteList). Missing elements are passed over.
void upgradeOldMusic(XPxmlNode* screenOptions, XPxmlNode* printOptions, XPxmlNode* options,
                     XPxmlNode* noteList);

// Old note lists carry "Timing", "Tempo" and "Measure" on the notes; this moves
// them onto "Bar" elements inserted before the notes, and puts a bar before
// the first and the last event as well.
void convertOldNoteList(XPxmlNode* noteList);
