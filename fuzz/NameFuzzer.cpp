// Fuzzes the pieces that take text straight from the user and from the folder listing: the
// pattern split, the name splitter, the new-name formation and the reader of the escapes that
// carry characters the code page cannot hold. Input layout:
//   byte 0      bit 0: padding; bit 1: code page 932 lead bytes; bits 2-7: digit count
//   bytes 1-4   the number, little-endian
//   the rest    pattern, a NUL byte, file name
// Any difference from the rules below aborts, and so do the sanitizers' findings.
#include "engine/FileEntry.h"
#include "engine/RenameJob.h"
#include "engine/platform/FileServices.h"
#include "engine/platform/NameEscape.h"
#include "engine/platform/NameParts.h"
#include "engine/platform/PathNames.h"
#include "tests/support/FaultyFileServices.h"
#include "tests/support/NameModel.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

namespace {

const size_t kLongestPart = 255;

void Require(bool holds, const char* rule)
{
    if (!holds) {
        std::fprintf(stderr, "broken: %s\n", rule);
        std::abort();
    }
}

size_t CountOf(const std::string& text, char c)
{
    size_t count = 0;
    for (char byte : text)
        count += byte == c ? 1 : 0;
    return count;
}

void CheckSplitPattern(const std::string& pattern, const RenameJob& job)
{
    Require(!job.prefix.IsAbsent() && !job.suffix.IsAbsent(), "prefix and suffix are present");
    std::string prefix = job.prefix.Data();
    std::string suffix = job.suffix.Data();
    size_t marks = CountOf(pattern, '?');
    if (marks == 0) {
        Require(prefix == pattern && suffix.empty(), "no \"?\": the whole pattern is the prefix");
    } else if (marks == 1 && pattern.size() > 1) {
        Require(prefix + "?" + suffix == pattern, "one \"?\": prefix and suffix are the text around it");
    } else {
        Require(prefix.empty() && suffix.empty(), "\"?\" alone or several: both empty");
    }
}

// The rule as written for the splitter: skip a drive designator, pass over double-byte
// characters whole, the file part begins behind the last separator, the extension at the last
// dot within it; each part cut to 255 bytes without splitting a character.
std::string Cut(const std::string& part, bool cp932)
{
    size_t taken = 0;
    while (taken < part.size()) {
        size_t width = IsLeadModel(static_cast<unsigned char>(part[taken]), cp932) && taken + 1 < part.size() ? 2 : 1;
        if (taken + width > kLongestPart)
            break;
        taken += width;
    }
    return part.substr(0, taken);
}

void ExpectedParts(const std::string& name, bool cp932, std::string& stem, std::string& extension)
{
    SplitNameModel(name, cp932, stem, extension);
    stem = Cut(stem, cp932);
    extension = Cut(extension, cp932);
}

void CheckSplitFileName(const std::string& name, bool cp932, const FileServices& fs)
{
    char stem[kNameSize];
    char extension[kNameSize];
    std::memset(stem, 0x7F, sizeof stem);
    std::memset(extension, 0x7F, sizeof extension);
    SplitFileName(name.c_str(), stem, extension, fs);
    Require(std::memchr(stem, 0, sizeof stem) != nullptr, "the stem ends within its 256 bytes");
    Require(std::memchr(extension, 0, sizeof extension) != nullptr, "the extension ends within its 256 bytes");

    std::string expectedStem, expectedExtension;
    ExpectedParts(name, cp932, expectedStem, expectedExtension);
    Require(expectedStem == stem, "the stem is the file part up to its last dot");
    Require(expectedExtension == extension, "the extension runs from the last dot of the file part");
    Require(extension[0] == '\0' || extension[0] == '.', "an extension starts with its dot");
    if (!cp932) {
        Require(std::strchr(extension + (extension[0] ? 1 : 0), '.') == nullptr, "one dot in an extension");
        Require(std::strpbrk(stem, "/\\") == nullptr && std::strpbrk(extension, "/\\") == nullptr,
                "no separator in either part");
    }

    char onlyExtension[kNameSize];
    SplitFileName(name.c_str(), nullptr, onlyExtension, fs);
    Require(std::strcmp(onlyExtension, extension) == 0, "the extension alone is the same");
}

void CheckFormNewName(const std::string& name, const RenameJob& job, int32_t number, FileServices& fs)
{
    FileEntry entry("folder", fs);
    std::strncpy(entry.currentName, name.c_str(), kNameSize - 1);
    entry.currentName[kNameSize - 1] = '\0';
    std::strcpy(entry.newName, "unchanged");

    char extension[kNameSize];
    SplitFileName(entry.currentName, nullptr, extension, fs);
    std::string expected = std::string(job.prefix.Data()) + NumberText(number, job.padDigits != 0, job.digitCount) +
                           job.suffix.Data() + extension;
    bool formed = entry.FormNewName(job, number, fs);
    if (expected.size() > kLongestPart) {
        Require(!formed, "a new name longer than 255 bytes is refused");
        Require(std::strcmp(entry.newName, "unchanged") == 0, "a refused new name leaves newName alone");
    } else {
        Require(formed, "a new name of up to 255 bytes is formed");
        Require(expected == entry.newName, "prefix, number, suffix and extension, in that order");
    }
}

}  // namespace

// Every escape read is one that writing its code point gives back byte for byte, so that no
// character has two spellings; a path is never measured longer than its bytes.
void CheckEscapes(const std::string& name, FileServices& fs)
{
    for (size_t at = name.find('<'); at != std::string::npos; at = name.find('<', at + 1)) {
        char32_t codePoint = 0;
        const int length = ReadEscape(name.c_str() + at, codePoint);
        if (length == 0)
            continue;
        Require(codePoint <= kLastCodePoint && length <= kLongestEscape, "an escape stands for a code point");
        std::string written;
        AppendEscape(written, codePoint);
        Require(written == name.substr(at, static_cast<size_t>(length)), "an escape reads back as it is written");
    }
    Require(PathCharacters(name.c_str(), fs) <= static_cast<int>(name.size()), "no more characters than bytes");
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size < 5)
        return 0;
    bool padDigits = (data[0] & 1) != 0;
    bool cp932 = (data[0] & 2) != 0;
    int digitCount = (data[0] >> 2) % 10 + 1;
    uint32_t raw = static_cast<uint32_t>(data[1]) | static_cast<uint32_t>(data[2]) << 8 |
                   static_cast<uint32_t>(data[3]) << 16 | static_cast<uint32_t>(data[4]) << 24;
    int32_t number = static_cast<int32_t>(raw);
    std::string rest(reinterpret_cast<const char*>(data + 5), size - 5);
    size_t split = rest.find('\0');
    std::string pattern = rest.substr(0, split);
    std::string name = split == std::string::npos ? std::string() : rest.substr(split + 1);
    name = name.substr(0, name.find('\0'));

    FaultyFileServices fs(PlatformFileServices());
    if (cp932)
        fs.UseCp932LeadBytes();

    RenameJob job;
    job.SplitPattern(pattern.c_str());
    CheckSplitPattern(pattern, job);
    CheckSplitFileName(name, cp932, fs);
    CheckEscapes(name, fs);

    job.padDigits = padDigits ? 1 : 0;
    job.digitCount = digitCount;
    CheckFormNewName(name, job, number, fs);
    return 0;
}
