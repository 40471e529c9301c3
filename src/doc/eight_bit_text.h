#pragma once

#include <QString>

#include <string_view>

// Text of a music file as the user sees it: the bytes as UTF-8 when they are
// valid UTF-8, otherwise as Windows-1252 (the 8-bit text older files hold).
QString textFromBytes(std::string_view bytes);
