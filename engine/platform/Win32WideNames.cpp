#include "engine/platform/Win32WideNames.h"

#include "engine/platform/NameEscape.h"

#define WIN32_LEAN_AND_MEAN
#include <windows.h>

#include <cstring>
#include <cwchar>

namespace {

// CreateDirectoryW takes no more in the short form: room is kept for an 8.3 name.
const size_t kLongestShortForm = MAX_PATH - 12;
// "\\?\UNC\" stands where a UNC path's "\\" stood.
const wchar_t kLongForm[] = L"\\\\?\\";
const wchar_t kLongUncForm[] = L"\\\\?\\UNC\\";

// The code page's bytes for the character of units (one, or a surrogate pair) when they lead
// back to exactly that character. A character it has no bytes for, or only a look-alike
// ("e" for an accented e, "\" for the yen sign), is held by none: a look-alike may name
// another file, or lead into another folder. "<" is held by none either: a name that holds
// one (no Windows name does, another system's may) must not read as an escape.
int HeldBytes(const wchar_t* units, int count, char (&bytes)[8])
{
    if (units[0] == L'<')
        return 0;
    BOOL usedDefault = FALSE;
    int length =
        WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, units, count, bytes, sizeof bytes, nullptr, &usedDefault);
    WCHAR back[2];
    bool exact = length > 0 && !usedDefault &&
                 MultiByteToWideChar(CP_ACP, MB_ERR_INVALID_CHARS, bytes, length, back, 2) == count &&
                 std::wmemcmp(back, units, static_cast<size_t>(count)) == 0;
    return exact ? length : 0;
}

// The escape that begins text in the engine's own spelling, and its UTF-16 units.
int ReadOwnEscape(const char* text, wchar_t (&units)[2], int& unitCount)
{
    char32_t codePoint = 0;
    const int length = ReadEscape(text, codePoint);
    if (length == 0)
        return 0;
    if (codePoint > 0xFFFF) {
        codePoint -= 0x10000;
        units[0] = static_cast<wchar_t>(0xD800 + (codePoint >> 10));
        units[1] = static_cast<wchar_t>(0xDC00 + (codePoint & 0x3FF));
        unitCount = 2;
        return length;
    }
    units[0] = static_cast<wchar_t>(codePoint);
    unitCount = 1;
    // Two escapes that make a pair are written as one.
    char32_t next = 0;
    if (IS_HIGH_SURROGATE(units[0]) && ReadEscape(text + length, next) > 0 && next <= 0xFFFF &&
        IS_LOW_SURROGATE(static_cast<wchar_t>(next)))
        return -1;
    char bytes[8];
    return HeldBytes(units, 1, bytes) > 0 ? -1 : length;
}

bool AppendAnsi(const char* text, size_t count, std::wstring& wide)
{
    if (count == 0)
        return true;
    const int length = MultiByteToWideChar(CP_ACP, 0, text, static_cast<int>(count), nullptr, 0);
    if (length <= 0)
        return false;
    const size_t at = wide.size();
    wide.resize(at + static_cast<size_t>(length));
    MultiByteToWideChar(CP_ACP, 0, text, static_cast<int>(count), &wide[at], length);
    return true;
}

}  // namespace

bool ToWide(const char* text, std::wstring& wide)
{
    wide.clear();
    const char* run = text;
    const char* p = text;
    while (*p) {
        wchar_t units[2];
        int unitCount = 0;
        const int escape = *p == '<' ? ReadOwnEscape(p, units, unitCount) : 0;
        if (escape < 0)
            return false;
        if (escape == 0) {
            p += IsDBCSLeadByte(static_cast<BYTE>(*p)) && p[1] != 0 ? 2 : 1;
            continue;
        }
        if (!AppendAnsi(run, static_cast<size_t>(p - run), wide))
            return false;
        wide.append(units, static_cast<size_t>(unitCount));
        p += escape;
        run = p;
    }
    return AppendAnsi(run, static_cast<size_t>(p - run), wide);
}

int ToEngine(const wchar_t* wide, char* out, int size)
{
    // Most names are held whole by the code page: two calls for all of it.
    if (std::wcschr(wide, L'<') == nullptr) {
        BOOL usedDefault = FALSE;
        const int length =
            WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, wide, -1, out, size, nullptr, &usedDefault);
        if (length > 0 && !usedDefault) {
            // A name's units fit on the stack; only a long path needs the heap.
            WCHAR nameBack[MAX_PATH + 1];
            std::wstring pathBack(length > MAX_PATH + 1 ? static_cast<size_t>(length) : 0, L'\0');
            WCHAR* back = pathBack.empty() ? nameBack : &pathBack[0];
            const int backLength = MultiByteToWideChar(CP_ACP, MB_ERR_INVALID_CHARS, out, length, back, length);
            if (backLength > 0 && std::wcscmp(back, wide) == 0)
                return length - 1;
        }
    }
    std::string engine;
    for (const wchar_t* unit = wide; *unit;) {
        const int count = IS_HIGH_SURROGATE(unit[0]) && IS_LOW_SURROGATE(unit[1]) ? 2 : 1;
        char bytes[8];
        const int held = HeldBytes(unit, count, bytes);
        if (held > 0)
            engine.append(bytes, static_cast<size_t>(held));
        else if (count == 2)
            AppendEscape(engine, 0x10000 + ((static_cast<char32_t>(unit[0]) - 0xD800) << 10) + (unit[1] - 0xDC00));
        else
            AppendEscape(engine, static_cast<char32_t>(unit[0]));
        unit += count;
    }
    if (engine.size() + 1 > static_cast<size_t>(size))
        return -1;
    std::memcpy(out, engine.c_str(), engine.size() + 1);
    return static_cast<int>(engine.size());
}

std::string ToEngine(const wchar_t* wide)
{
    std::string engine(std::wcslen(wide) * kLongestEscape + 1, '\0');
    const int length = ToEngine(wide, &engine[0], static_cast<int>(engine.size()));
    engine.resize(length < 0 ? 0 : static_cast<size_t>(length));
    return engine;
}

std::wstring FullWidePath(const std::wstring& path)
{
    const DWORD length = GetFullPathNameW(path.c_str(), 0, nullptr, nullptr);
    std::wstring full(length, L'\0');
    const DWORD written = length == 0 ? 0 : GetFullPathNameW(path.c_str(), length, &full[0], nullptr);
    if (written == 0 || written >= length)
        return std::wstring();
    full.resize(written);
    return full;
}

std::wstring WidePath(const char* path)
{
    std::wstring wide;
    if (!ToWide(path, wide) || wide.empty())
        return std::wstring();
    if (wide.size() < kLongestShortForm || wide.compare(0, 4, kLongForm) == 0 || wide.compare(0, 4, L"\\\\.\\") == 0)
        return wide;
    // The long form is taken as it stands: "." and ".." and "/" must be resolved first.
    const std::wstring full = FullWidePath(wide);
    if (full.empty() || full.compare(0, 4, kLongForm) == 0)
        return full;
    if (full.compare(0, 2, L"\\\\") == 0)
        return kLongUncForm + full.substr(2);
    return kLongForm + full;
}
