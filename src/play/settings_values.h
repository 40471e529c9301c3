#pragma once

// The program's own values in the settings store: group "Settings" under
// organisation "Zolva", application "Zolva Reader".

// The leading integer of key's text; fallback when the key is absent or empty.
long readSettingNumber(const char* key, long fallback);
// Stores value as decimal text.
void writeSettingNumber(const char* key, long value);
