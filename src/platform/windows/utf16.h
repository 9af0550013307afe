// UTF-8 (the program's own strings) to and from UTF-16 (the Windows API's "W" functions).
#pragma once

#include <string>

namespace platform {

std::wstring Utf8ToUtf16(const std::string& text);
std::string Utf16ToUtf8(const std::wstring& text);

}  // namespace platform
