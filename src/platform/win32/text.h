// Text at the edge to the Windows functions: UTF-16 in wchar_t, and UTF-8.
#pragma once

#include <windows.h>

#include <cstddef>
#include <string>
#include <string_view>

#include "text/text.h"

namespace tarnwick::win32 {

// wchar_t and char16_t are both UTF-16 code units on Windows; text is copied
// between them at the edge to the system's functions.
static_assert(sizeof(wchar_t) == sizeof(char16_t));

std::wstring ToWide(TextView text);
Text FromWide(std::wstring_view text);

// UTF-8, with U+FFFD for a lone surrogate.
std::string ToUtf8(TextView text);

// The system's conversion functions count in int: `size` as their count.
// Throws std::length_error past what an int holds.
int CountFor(std::size_t size);

}  // namespace tarnwick::win32
