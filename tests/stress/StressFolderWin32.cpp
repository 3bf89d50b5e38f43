// The tester's file system view on Windows. It goes through the wide calls, so it sees the
// names as they really are, also those the ANSI code page cannot hold, and long paths.
#include "tests/stress/StressFolder.h"

#include "tests/stress/MaskModel.h"
#include "tests/support/TempFolder.h"

#define WIN32_LEAN_AND_MEAN
#include <windows.h>

#include <cstdio>

namespace {

std::string BytesOf(const std::wstring& wide, bool& exact)
{
    exact = true;
    if (wide.empty())
        return std::string();
    BOOL usedDefault = FALSE;
    int count = WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, wide.data(), static_cast<int>(wide.size()), nullptr,
                                    0, nullptr, &usedDefault);
    std::string bytes(static_cast<size_t>(count), '\0');
    WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, wide.data(), static_cast<int>(wide.size()), &bytes[0], count,
                        nullptr, &usedDefault);
    exact = !usedDefault && WideOf(bytes) == wide;
    return bytes;
}

std::string KeyOf(const std::wstring& name)
{
    bool exact = false;
    std::string bytes = BytesOf(name, exact);
    if (exact && name.find(L'<') == std::wstring::npos)
        return bytes;
    // Character by character: "<" too is escaped, or it would read as an escape.
    std::string key;
    for (size_t i = 0; i < name.size();) {
        const size_t units = IS_HIGH_SURROGATE(name[i]) && IS_LOW_SURROGATE(name[i + 1]) ? 2 : 1;
        bytes = BytesOf(name.substr(i, units), exact);
        const unsigned codePoint =
            units == 2 ? 0x10000 + ((name[i] - 0xD800u) << 10) + (name[i + 1] - 0xDC00u) : name[i];
        char escape[16];
        std::snprintf(escape, sizeof escape, "<U+%04X>", codePoint);
        key += exact && name[i] != L'<' ? bytes : std::string(escape);
        i += units;
    }
    return key;
}

// A name or path of keys in UTF-16.
std::wstring WideName(const std::string& text)
{
    std::wstring wide;
    size_t run = 0;
    for (size_t at = 0; at < text.size(); ++at) {
        unsigned codePoint = 0;
        const size_t length = EscapeAt(text, at, codePoint);
        if (length == 0)
            continue;
        wide += WideOf(text.substr(run, at - run));
        if (codePoint > 0xFFFF)
            wide += static_cast<wchar_t>(0xD800 + ((codePoint - 0x10000) >> 10));
        wide += static_cast<wchar_t>(codePoint > 0xFFFF ? 0xDC00 + (codePoint & 0x3FF) : codePoint);
        at += length - 1;
        run = at + 1;
    }
    return wide + WideOf(text.substr(run));
}

// The long form, so that names near 255 characters and deep folders stay reachable.
std::wstring LongPath(const std::string& folder, const std::string& key)
{
    std::wstring path = L"\\\\?\\" + WideName(folder);
    size_t start = 0;
    while (start <= key.size()) {
        size_t slash = key.find('/', start);
        if (slash == std::string::npos)
            slash = key.size();
        path += L"\\" + WideName(key.substr(start, slash - start));
        start = slash + 1;
    }
    return path;
}

std::wstring LongFolder(const std::string& folder)
{
    return L"\\\\?\\" + WideName(folder);
}

// A path as typed, as the file calls take it: once too long for the short form, resolved
// ("." and a final dot gone) and in the long form.
std::wstring CallPath(const std::string& path)
{
    std::wstring wide = WideName(path);
    if (wide.size() < MAX_PATH - 12)
        return wide;
    std::wstring full(32768, L'\0');
    full.resize(GetFullPathNameW(wide.c_str(), static_cast<DWORD>(full.size()), &full[0], nullptr));
    return L"\\\\?\\" + full;
}

struct WideItem
{
    std::wstring name;
    bool isDirectory;
};

std::vector<WideItem> WideItems(const std::wstring& folder)
{
    std::vector<WideItem> items;
    WIN32_FIND_DATAW data;
    HANDLE search = FindFirstFileW((folder + L"\\*").c_str(), &data);
    if (search == INVALID_HANDLE_VALUE)
        return items;
    do {
        std::wstring name = data.cFileName;
        if (name != L"." && name != L"..")
            items.push_back(WideItem{name, (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0});
    } while (FindNextFileW(search, &data));
    FindClose(search);
    return items;
}

void ReadInto(const std::wstring& folder, const std::string& prefix, Tree& tree)
{
    for (const WideItem& child : WideItems(folder)) {
        std::wstring path = folder + L"\\" + child.name;
        std::string key = prefix + KeyOf(child.name);
        Item item = Item();
        item.isDirectory = child.isDirectory;
        if (item.isDirectory)
            ReadInto(path, key + "/", tree);
        else
            item.unreadable = !ReadWholeFile(path, item.content);
        tree[key] = item;
    }
}

}  // namespace

char PathSeparator()
{
    return '\\';
}

bool NamesIgnoreCase()
{
    return true;
}

std::string CaseFolded(const std::string& key)
{
    std::string folded;
    for (size_t i = 0; i < key.size(); ++i) {
        const unsigned char c = static_cast<unsigned char>(key[i]);
        unsigned codePoint = 0;
        const size_t escape = EscapeAt(key, i, codePoint);
        if (escape > 0) {
            // The system's own upper-case table, as the file system's: É and é are one name.
            std::wstring character = WideName(key.substr(i, escape));
            CharUpperBuffW(&character[0], static_cast<DWORD>(character.size()));
            folded += KeyOf(character);
            i += escape - 1;
        } else if (IsDBCSLeadByte(c) && i + 1 < key.size()) {
            folded += key.substr(i++, 2);
        } else {
            folded += static_cast<char>(c >= 'A' && c <= 'Z' ? c + 0x20 : c);
        }
    }
    return folded;
}

size_t EscapeAt(const std::string& text, size_t at, unsigned& codePoint)
{
    int length = 0;
    if (text.compare(at, 3, "<U+") != 0 || std::sscanf(text.c_str() + at, "<U+%X>%n", &codePoint, &length) != 1)
        return 0;
    return static_cast<size_t>(length);
}

std::string NameAsStored(const std::string& name)
{
    size_t end = name.find_last_not_of(". ");
    return end == std::string::npos ? name : name.substr(0, end + 1);
}

bool NamesADevice(const std::string& name)
{
    std::string stem = CaseFolded(name.substr(0, name.find('.')));
    static const char* const devices[] = {"con", "prn", "aux", "nul"};
    for (const char* device : devices) {
        if (stem == device)
            return true;
    }
    return stem.size() == 4 && (stem.compare(0, 3, "com") == 0 || stem.compare(0, 3, "lpt") == 0) && stem[3] >= '1' &&
           stem[3] <= '9';
}

size_t StoredBytes(const std::string& name)
{
    const std::wstring wide = WideName(name);
    return static_cast<size_t>(
        WideCharToMultiByte(CP_UTF8, 0, wide.data(), static_cast<int>(wide.size()), nullptr, 0, nullptr, nullptr));
}

bool PathTooLongForEngine(const std::string& path)
{
    return WideName(path).size() > 32767 - 6;
}

bool MakeFolder(const std::string& folder, const std::string& key)
{
    return CreateDirectoryW(LongPath(folder, key).c_str(), nullptr) != FALSE;
}

bool CreateNewFile(const std::string& folder, const std::string& key, const std::string& content, bool hidden,
                   bool readOnly, bool system)
{
    DWORD attributes = FILE_ATTRIBUTE_NORMAL;
    if (hidden || readOnly || system)
        attributes = (hidden ? FILE_ATTRIBUTE_HIDDEN : 0) | (readOnly ? FILE_ATTRIBUTE_READONLY : 0) |
                     (system ? FILE_ATTRIBUTE_SYSTEM : 0);
    HANDLE file =
        CreateFileW(LongPath(folder, key).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, attributes, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return false;
    DWORD written = 0;
    bool whole = ::WriteFile(file, content.data(), static_cast<DWORD>(content.size()), &written, nullptr) &&
                 written == content.size();
    CloseHandle(file);
    return whole;
}

bool RemoveFile(const std::string& folder, const std::string& key)
{
    std::wstring path = LongPath(folder, key);
    SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_NORMAL);
    return DeleteFileW(path.c_str()) != FALSE;
}

bool RenameFile(const std::string& folder, const std::string& from, const std::string& to)
{
    return MoveFileExW(LongPath(folder, from).c_str(), LongPath(folder, to).c_str(), 0) != FALSE;
}

bool SetWriteTime(const std::string& folder, const std::string& key, int64_t seconds, int32_t nanoseconds)
{
    return SetLastWriteTime(LongPath(folder, key), seconds, nanoseconds);
}

bool ItemExists(const std::string& folder, const std::string& key)
{
    return GetFileAttributesW(LongPath(folder, key).c_str()) != INVALID_FILE_ATTRIBUTES;
}

Tree ReadTree(const std::string& folder)
{
    Tree tree;
    ReadInto(LongFolder(folder), "", tree);
    return tree;
}

std::vector<std::string> NamesIn(const std::string& folder)
{
    std::vector<std::string> names;
    for (const WideItem& child : WideItems(LongFolder(folder)))
        names.push_back(KeyOf(child.name));
    return names;
}

bool ReadContent(const std::string& folder, const std::string& key, std::string& content)
{
    return ReadWholeFile(LongPath(folder, key), content);
}

const DWORD kHiddenSystem = FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM;

std::vector<Listed> ListMatching(const std::string& folder, const std::string& mask)
{
    std::vector<Listed> listed;
    WIN32_FIND_DATAW data;
    HANDLE search = FindFirstFileW(CallPath(folder + "\\" + mask).c_str(), &data);
    if (search == INVALID_HANDLE_VALUE)
        return listed;
    // The search also takes names whose short form matches (c.jpg_old for "*.jpg"), and Wine
    // takes fewer than Windows for some masks: a long name must match on both counts.
    do {
        std::string key = KeyOf(data.cFileName);
        if (MaskTakes(mask, key, true))
            listed.push_back(Listed{key, (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0,
                                    (data.dwFileAttributes & kHiddenSystem) == kHiddenSystem});
    } while (FindNextFileW(search, &data));
    FindClose(search);
    return listed;
}

bool ReadPath(const std::string& path, std::string& content)
{
    return ReadWholeFile(CallPath(path), content);
}

std::string OtherPathTo(const std::string& folder, const std::string& key, const std::string&)
{
    wchar_t shortPath[MAX_PATH * 2];
    DWORD length = GetShortPathNameW(LongPath(folder, key).c_str(), shortPath, MAX_PATH * 2);
    if (length > 0 && length < MAX_PATH * 2) {
        std::wstring path(shortPath, length);
        std::wstring name = path.substr(path.rfind(L'\\') + 1);
        std::string shortKey = KeyOf(name);
        if (shortKey != key)
            return folder + "\\" + shortKey;
    }
    return folder + "\\" + key + ".";
}

void* HoldOpen(const std::string& folder, const std::string& key)
{
    // Sharing reading alone, as a viewer does: no move, but the date can still be read.
    HANDLE file = CreateFileW(LongPath(folder, key).c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    return file == INVALID_HANDLE_VALUE ? nullptr : file;
}

void Release(void* held)
{
    CloseHandle(static_cast<HANDLE>(held));
}
