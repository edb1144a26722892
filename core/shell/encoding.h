// Conversion at the file boundary: single-byte strings in files are
// Windows-1251, generated programs CP866; inside the program text is UTF-8.
#pragma once
#include <string>
#include <string_view>

namespace vemo {

std::string Cp1251ToUtf8(std::string_view bytes);
// Characters without a Windows-1251 form become '?'.
std::string Utf8ToCp1251(std::string_view text);
std::string Utf8ToCp866(std::string_view text);
// Number of characters of a UTF-8 text.
size_t Utf8Length(std::string_view text);
// The first n characters of a UTF-8 text.
std::string Utf8Left(std::string_view text, size_t n);

}  // namespace vemo
