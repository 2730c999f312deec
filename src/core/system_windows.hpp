// Text between UTF-8, which the program's strings hold, and the UTF-16 of
// Windows' wide-character calls, the only ones that take every name.
// For the Windows files only.
#pragma once
#include <string>

std::wstring SYSTEMWide(const std::string& utf8);
std::string SYSTEMUtf8(const wchar_t* wide);
