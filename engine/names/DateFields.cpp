#include "engine/names/DateFields.h"

#include "engine/RenameJob.h"
#include "engine/platform/PathNames.h"

#include <cstdio>
#include <cstring>

namespace {

// Each field's word in code page 932 bytes, and the parts of the date it writes: Y year,
// M month, D day, h hour, m minute, s second.
struct Field
{
    const char* word;
    const char* parts;
};

const Field kFields[] = {
    {"\x94\x4e", "Y"},            // year
    {"\x8c\x8e", "M"},            // month
    {"\x93\xfa", "D"},            // day
    {"\x8e\x9e", "h"},            // hour
    {"\x95\xaa", "m"},            // minute
    {"\x95\x62", "s"},            // second
    {"\x93\xfa\x95\x74", "YMD"},  // date
    {"\x8e\x9e\x8d\x8f", "hms"},  // time
};

// The field whose word stands between text[0] ("<") and the ">" at close; null when none.
const Field* FieldAt(const char* text, const char* close)
{
    const size_t length = static_cast<size_t>(close - text - 1);
    for (const Field& field : kFields) {
        if (std::strlen(field.word) == length && std::memcmp(field.word, text + 1, length) == 0)
            return &field;
    }
    return nullptr;
}

// The ">" that closes the "<" at text, walked character by character; null when none does.
// No second byte of a double-byte character is as low as ">", but a "<" opens a new field.
const char* CloseOf(const char* text, const FileServices& fs)
{
    for (const char* p = text + 1; *p; p += CharacterLength(p, fs)) {
        if (*p == '>')
            return p;
        if (*p == '<')
            return nullptr;
    }
    return nullptr;
}

void AppendDigits(std::string& out, int value, int width)
{
    char digits[4];
    for (int i = width - 1; i >= 0; --i) {
        digits[i] = static_cast<char>('0' + value % 10);
        value /= 10;
    }
    out.append(digits, static_cast<size_t>(width));
}

void AppendParts(std::string& out, const char* parts, const CivilTime& civil)
{
    for (const char* part = parts; *part; ++part) {
        switch (*part) {
        case 'Y':
            AppendDigits(out, civil.year, 4);
            break;
        case 'M':
            AppendDigits(out, civil.month, 2);
            break;
        case 'D':
            AppendDigits(out, civil.day, 2);
            break;
        case 'h':
            AppendDigits(out, civil.hour, 2);
            break;
        case 'm':
            AppendDigits(out, civil.minute, 2);
            break;
        default:
            AppendDigits(out, civil.second, 2);
            break;
        }
    }
}

}  // namespace

bool HoldsDateField(const char* text, const FileServices& fs)
{
    // The text's own "<" is rare: most patterns are passed over by the first search.
    if (text == nullptr || std::strchr(text, '<') == nullptr)
        return false;
    for (const char* p = text; *p; p += CharacterLength(p, fs)) {
        const char* close = *p == '<' ? CloseOf(p, fs) : nullptr;
        if (close && FieldAt(p, close))
            return true;
    }
    return false;
}

bool JobWritesDate(const RenameJob& job, const FileServices& fs)
{
    return HoldsDateField(job.prefix.Data(), fs) || HoldsDateField(job.suffix.Data(), fs);
}

bool FindUnknownField(const char* text, const FileServices& fs, std::string& unknown)
{
    for (const char* p = text; *p; p += CharacterLength(p, fs)) {
        if (*p != '<')
            continue;
        const char* close = CloseOf(p, fs);
        if (close == nullptr)
            continue;
        if (FieldAt(p, close) == nullptr) {
            unknown.assign(p, static_cast<size_t>(close - p + 1));
            return true;
        }
        p = close;
    }
    return false;
}

void ExpandDateFields(const char* text, int64_t localSeconds, const FileServices& fs, std::string& out)
{
    CivilTime civil = CivilTime();
    CivilTimeOf(localSeconds, civil);
    const char* p = text;
    while (*p) {
        const char* close = *p == '<' ? CloseOf(p, fs) : nullptr;
        const Field* field = close ? FieldAt(p, close) : nullptr;
        if (field) {
            AppendParts(out, field->parts, civil);
            p = close + 1;
            continue;
        }
        const int width = CharacterLength(p, fs);
        out.append(p, static_cast<size_t>(width));
        p += width;
    }
}

bool CivilTimeOf(int64_t localSeconds, CivilTime& civil)
{
    // 0000-01-01 and 9999-12-31 23:59:59, counted from 1970-01-01.
    const int64_t first = -62167219200LL, last = 253402300799LL;
    const int64_t seconds = localSeconds < first ? first : (localSeconds > last ? last : localSeconds);
    int64_t days = seconds / 86400, rest = seconds % 86400;
    if (rest < 0) {
        rest += 86400;
        --days;
    }
    // The civil date of a day count, by eras of 400 years that begin on 1 March.
    days += 719468;
    const int64_t era = (days >= 0 ? days : days - 146096) / 146097;
    const int64_t dayOfEra = days - era * 146097;
    const int64_t yearOfEra = (dayOfEra - dayOfEra / 1460 + dayOfEra / 36524 - dayOfEra / 146096) / 365;
    const int64_t dayOfYear = dayOfEra - (365 * yearOfEra + yearOfEra / 4 - yearOfEra / 100);
    const int64_t shiftedMonth = (5 * dayOfYear + 2) / 153;
    civil.day = static_cast<int>(dayOfYear - (153 * shiftedMonth + 2) / 5 + 1);
    civil.month = static_cast<int>(shiftedMonth < 10 ? shiftedMonth + 3 : shiftedMonth - 9);
    civil.year = static_cast<int>(yearOfEra + era * 400 + (civil.month <= 2 ? 1 : 0));
    civil.hour = static_cast<int>(rest / 3600);
    civil.minute = static_cast<int>(rest / 60 % 60);
    civil.second = static_cast<int>(rest % 60);
    return seconds == localSeconds;
}

void FormatOrderDate(int64_t localSeconds, int32_t nanoseconds, char (&text)[kOrderDateSize])
{
    CivilTime civil = CivilTime();
    const bool inRange = CivilTimeOf(localSeconds, civil);
    // The clamp keeps every field to its width; the compiler cannot tell.
    char wide[64];
    int length = std::snprintf(wide, sizeof wide, "%04d/%02d/%02d %02d:%02d:%02d", civil.year, civil.month, civil.day,
                               civil.hour, civil.minute, civil.second);
    // A burst of photos taken within one second reads in its order only with the fraction.
    if (nanoseconds > 0 && nanoseconds < 1000000000 && inRange) {
        length += std::snprintf(wide + length, sizeof wide - static_cast<size_t>(length), ".%09d", nanoseconds);
        while (wide[length - 1] == '0')
            wide[--length] = '\0';
    }
    std::memcpy(text, wide, sizeof text - 1);
    text[sizeof text - 1] = '\0';
}
