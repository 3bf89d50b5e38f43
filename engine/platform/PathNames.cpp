#include "engine/platform/PathNames.h"

#include "core/CountedString.h"
#include "engine/platform/AsciiFold.h"
#include "engine/platform/NameEscape.h"

#include <algorithm>
#include <cstring>

bool EndsWithSeparator(const char* text, const FileServices& fs)
{
    // Only a last byte equal to the separator can be one; whether it is a second byte is
    // known only from the start.
    size_t length = std::strlen(text);
    if (length == 0 || text[length - 1] != fs.Separator())
        return false;
    bool lastIsSeparator = false;
    for (const char* p = text; *p; p += CharacterLength(p, fs))
        lastIsSeparator = *p == fs.Separator();
    return lastIsSeparator;
}

void EnsureFinalSeparator(CountedString& folder, const FileServices& fs)
{
    if (EndsWithSeparator(folder.Text(), fs))
        return;
    const char separator[2] = {fs.Separator(), '\0'};
    folder.Append(separator);
}

bool FolderFound(const char* folderText, FileServices& fs)
{
    // A root ("C:\" or "/") keeps its separator: without it, it would name something else.
    std::string folder(folderText);
    const size_t length = folder.size();
    if (length > 1 && EndsWithSeparator(folderText, fs) && folder[length - 2] != ':')
        folder.pop_back();
    return fs.FolderExists(folder.c_str());
}

namespace {

// Either separator: Windows takes "/" for one as well.
bool IsSeparatorByte(char c, const FileServices& fs)
{
    return c == fs.Separator() || c == '/';
}

// Moves p past the characters up to the next separator or the end; false when there are none.
bool TakeComponent(const char*& p, const FileServices& fs)
{
    const char* start = p;
    while (*p && !IsSeparatorByte(*p, fs))
        p += CharacterLength(p, fs);
    return p != start;
}

}  // namespace

bool HoldsSeparator(const char* name, const FileServices& fs)
{
    for (const char* p = name; *p; p += CharacterLength(p, fs)) {
        if (IsSeparatorByte(*p, fs))
            return true;
    }
    return false;
}

bool IsFullPath(const char* path, const FileServices& fs)
{
    if (fs.Separator() == '/')
        return path[0] == '/';
    const char letter = static_cast<char>(path[0] | 0x20);
    if (letter >= 'a' && letter <= 'z' && path[1] == ':')
        return IsSeparatorByte(path[2], fs);
    if (!IsSeparatorByte(path[0], fs) || !IsSeparatorByte(path[1], fs))
        return false;
    const char* p = path + 2;
    if (!TakeComponent(p, fs) || *p == '\0')
        return false;
    ++p;
    return TakeComponent(p, fs);
}

const char* FinalComponent(const char* path, const FileServices& fs)
{
    const char* final = path;
    for (const char* p = path; *p; p += CharacterLength(p, fs)) {
        if (*p == fs.Separator() || *p == '/')
            final = p + 1;
    }
    return final;
}

// An escaped character is folded to its upper case, as the system's table has it, and
// written again, so that "<U+00C9>" and "<U+00E9>" make one key.
static size_t FoldEscape(std::string& name, size_t at, const FileServices& fs)
{
    char32_t codePoint = 0;
    const int length = ReadEscape(name.c_str() + at, codePoint);
    if (length == 0)
        return 0;
    std::string folded;
    AppendEscape(folded, fs.UpperCase(codePoint));
    name.replace(at, static_cast<size_t>(length), folded);
    return folded.size();
}

void FoldName(std::string& name, const FileServices& fs)
{
    // The second byte of a double-byte character is no letter: ア and ヂ differ only there.
    for (size_t i = 0; i < name.size();) {
        const size_t escape = name[i] == '<' ? FoldEscape(name, i, fs) : 0;
        if (escape > 0) {
            i += escape;
            continue;
        }
        name[i] = static_cast<char>(FoldAscii(static_cast<unsigned char>(name[i])));
        i += static_cast<size_t>(CharacterLength(name.c_str() + i, fs));
    }
}

std::string FoldedName(const char* name, const FileServices& fs)
{
    std::string folded(name);
    FoldName(folded, fs);
    return folded;
}

void AssignNameKey(std::string& key, const char* name, const FileServices& fs)
{
    key.assign(name);
    if (fs.IgnoresCase())
        FoldName(key, fs);
}

std::string NameKey(const char* name, const FileServices& fs)
{
    std::string key;
    AssignNameKey(key, name, fs);
    return key;
}

// Spaces and quotes are bytes below any second byte of a double-byte character, so the ends
// can be read byte by byte.
static void TrimSpaces(const char* text, size_t& begin, size_t& end)
{
    while (begin < end && text[begin] == ' ')
        ++begin;
    while (end > begin && text[end - 1] == ' ')
        --end;
}

bool TrimPastedPath(CountedString& path)
{
    if (path.IsAbsent())
        return false;
    const std::string text(path.Data());
    size_t begin = 0, end = text.size();
    TrimSpaces(text.c_str(), begin, end);
    if (end - begin >= 2 && text[begin] == '"' && text[end - 1] == '"') {
        ++begin;
        --end;
        TrimSpaces(text.c_str(), begin, end);
    }
    if (begin == 0 && end == text.size())
        return false;
    path.Assign(text.substr(begin, end - begin).c_str());
    return true;
}

// Windows measures a path in UTF-16 units. Every character of a double-byte code page, 932
// among them, is one unit, and an escape is the one or two units it stands for, so this count
// is the length Windows sees; bytes would overcount and refuse paths that fit. The texts of a
// run come from the platform's own conversions (the folder search, the window's fields), so
// they hold whole characters only.
int PathCharacters(const char* text, const FileServices& fs)
{
    int count = 0;
    for (const char* p = text; *p;) {
        char32_t codePoint = 0;
        const int escape = *p == '<' ? ReadEscape(p, codePoint) : 0;
        count += escape > 0 ? EscapeUnits(codePoint) : 1;
        p += escape > 0 ? escape : CharacterLength(p, fs);
    }
    return count;
}

bool PathOutOfReach(const char* path, FileServices& fs)
{
    return std::max(PathCharacters(path, fs), PathCharacters(fs.FullPath(path).c_str(), fs)) > fs.LongestPath();
}
