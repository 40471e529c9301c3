#pragma once

#include <QString>

// Text values of the group "Settings" in the program's settings store
// (organisation "Zolva", application "Zolva Reader").

// The stored text of key, or the empty text when it is absent.
QString readSettingText(const char* key);
// Stores text exactly as given.
void writeSettingText(const char* key, const QString& text);
// The leading integer of text: blanks, an optional sign, then digits; 0 without digits.
long leadingIntegerOf(const QString& text);
