#pragma once

#include <cstdint>
#include <string_view>

// Node kind codes. Lookups by kind take the table name ("element", "text",
// "all" …), compared without regard to case.
namespace XPxmlKind {
inline constexpr uint16_t Undefined = 0;
inline constexpr uint16_t Element = 1;
inline constexpr uint16_t Attribute = 2;
inline constexpr uint16_t Text = 3;
inline constexpr uint16_t CDataSection = 4;
inline constexpr uint16_t EntityReference = 5;
inline constexpr uint16_t Entity = 6;
inline constexpr uint16_t ProcessingInstruction = 7;
inline constexpr uint16_t Comment = 8;
inline constexpr uint16_t Document = 9;
inline constexpr uint16_t DocumentType = 10;
inline constexpr uint16_t DocumentFragment = 11;
inline constexpr uint16_t Notation = 12;
inline constexpr uint16_t ElementDeclaration = 99; // made only by the parser; has no table name
inline constexpr uint16_t All = 65535;              // wildcard in lookups

// The code of a table name; 0 (undefined) for a name not in the table or null.
uint16_t codeOf(const char* kindName);
// The table name of a code, or nullptr for a code without one (such as 99).
const char* nameOf(uint16_t code);
} // namespace XPxmlKind

// Case-insensitive comparison of two 8-bit names (ASCII letters only fold).
bool xpxmlNameEquals(const char* a, const char* b);
// The same for names that carry their length.
bool xpxmlNameEquals(std::string_view a, std::string_view b);
