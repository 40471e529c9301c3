#pragma once

#include <cstdint>
#include <string_view>

// The "~Pos" text of an element: "position,height". Positions are 64-bit so
// that no spacing, however absurd, can wrap them.
struct EventPosition {
    int64_t position = 0; // the top edge of the band, growing upward
    int64_t height = 0;
};

// Missing or unreadable parts read as 0.
EventPosition parsePosition(const char* text);
// Reads text only when it is exactly what formatPosition writes, so that a
// position equal to it needs no writing; false otherwise.
bool parseWrittenPosition(const char* text, int64_t& position, int64_t& height);

// Room for two 64-bit numbers, a comma and the terminator.
struct PositionText {
    char text[48];
    uint8_t length = 0; // before the terminator

    std::string_view view() const { return {text, length}; }
};
PositionText formatPosition(int64_t position, int64_t height);
