#pragma once

#include <string>
#include <vector>

// Builds "KT" containers and plain ZIP archives in memory with libzip, for the
// cases a real packing tool would not produce.
struct ContainerRecipe {
    std::vector<std::string> members;   // texts, stored in this order
    std::vector<std::string> names;     // their names; "music<n>.zvm" where none is given
    bool deflate = true;                // false: stored without compression
    bool encrypt = true;
    std::string password = "Rq#m27V";
    bool ktMark = true;                 // false: leave the "PK" of a plain ZIP
};

std::vector<char> makeContainer(const ContainerRecipe& recipe);

// The text as a single deflated, encrypted member under the right password.
std::vector<char> makeContainer(const std::string& text);

// The text with one zero byte behind it, as real containers hold it.
std::string withZero(std::string text);
