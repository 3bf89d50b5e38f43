#ifndef QUILLOWBY_ENGINE_PLATFORM_WIN32_WIDE_NAMES_H
#define QUILLOWBY_ENGINE_PLATFORM_WIN32_WIDE_NAMES_H

#include <cstddef>
#include <string>

// Between the engine's names (bytes of the ANSI code page, a character it cannot hold as an
// escape: NameEscape.h) and the UTF-16 names Windows keeps. Windows only.

// The UTF-16 text an engine text stands for. False when it spells a character otherwise than
// the engine's own form does (an escape of a character the code page holds, a surrogate pair
// written as two escapes): no file is reached by such a text.
bool ToWide(const char* text, std::wstring& wide);

// A UTF-16 name or path in the engine's form, ended by a NUL, into out; its length, or -1
// when it does not fit in size bytes.
int ToEngine(const wchar_t* wide, char* out, int size);
std::string ToEngine(const wchar_t* wide);

// The path joined to the current folder, "." and ".." taken out, as GetFullPathNameW gives it;
// empty when it cannot be had.
std::wstring FullWidePath(const std::wstring& path);

// The path as the wide file calls take it: in the long form ("\\?\C:\..." or
// "\\?\UNC\server\share\...") once it is too long for the short one. Empty when the text is
// no path of the engine's form.
std::wstring WidePath(const char* path);

#endif
