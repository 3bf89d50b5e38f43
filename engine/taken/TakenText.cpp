#include "engine/taken/TakenText.h"

namespace {

bool IsDigit(char c)
{
    return c >= '0' && c <= '9';
}

// The number written at text[at..at+count), all digits; -1 otherwise.
int Number(const char* text, size_t at, size_t count)
{
    int value = 0;
    for (size_t i = at; i < at + count; ++i) {
        if (!IsDigit(text[i]))
            return -1;
        value = value * 10 + (text[i] - '0');
    }
    return value;
}

// Whether the text ends at `at`: nothing, NULs or blanks follow.
bool EndsAt(const char* text, size_t length, size_t at)
{
    for (size_t i = at; i < length; ++i) {
        if (text[i] != '\0' && text[i] != ' ')
            return false;
    }
    return true;
}

bool IsLeapYear(int year)
{
    return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
}

int DaysInMonth(int year, int month)
{
    static const int days[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    return month == 2 && IsLeapYear(year) ? 29 : days[month - 1];
}

// Days from 1970-01-01 to the given day of the proleptic Gregorian calendar.
int64_t DaysFromCivil(int year, int month, int day)
{
    int64_t y = year - (month <= 2 ? 1 : 0);
    int64_t era = (y >= 0 ? y : y - 399) / 400;
    int64_t yearOfEra = y - era * 400;
    int64_t dayOfYear = (153 * (month + (month > 2 ? -3 : 9)) + 2) / 5 + day - 1;
    int64_t dayOfEra = yearOfEra * 365 + yearOfEra / 4 - yearOfEra / 100 + dayOfYear;
    return era * 146097 + dayOfEra - 719468;
}

}  // namespace

bool ParseDateText(const char* text, size_t length, int64_t& seconds)
{
    const size_t kDateLength = 19;
    if (length < kDateLength || !EndsAt(text, length, kDateLength))
        return false;
    // Exif writes colons between the parts of the date; some programs write dashes instead.
    char dateMark = text[4];
    if ((dateMark != ':' && dateMark != '-') || text[7] != dateMark || (text[10] != ' ' && text[10] != 'T') ||
        text[13] != ':' || text[16] != ':')
        return false;
    int year = Number(text, 0, 4);
    int month = Number(text, 5, 2);
    int day = Number(text, 8, 2);
    int hour = Number(text, 11, 2);
    int minute = Number(text, 14, 2);
    int second = Number(text, 17, 2);
    if (year < 1 || month < 1 || month > 12 || day < 1 || day > DaysInMonth(year, month) || hour < 0 || hour > 23 ||
        minute < 0 || minute > 59 || second < 0 || second > 59)
        return false;
    seconds = DaysFromCivil(year, month, day) * 86400 + hour * 3600 + minute * 60 + second;
    return true;
}

int32_t ParseSubSecText(const char* text, size_t length)
{
    size_t digits = 0;
    while (digits < length && IsDigit(text[digits]))
        ++digits;
    if (digits == 0 || !EndsAt(text, length, digits))
        return 0;
    int32_t nanoseconds = 0;
    for (size_t i = 0; i < 9; ++i)
        nanoseconds = nanoseconds * 10 + (i < digits ? text[i] - '0' : 0);
    return nanoseconds;
}

bool ParseOffsetText(const char* text, size_t length, int32_t& minutes)
{
    if (length < 6 || (text[0] != '+' && text[0] != '-') || text[3] != ':' || !EndsAt(text, length, 6))
        return false;
    int hours = Number(text, 1, 2);
    int rest = Number(text, 4, 2);
    // No clock in the world is more than 14 hours from UTC (they run from 12 behind to 14
    // ahead); one bound for both signs is enough to refuse what no camera writes.
    if (hours < 0 || rest < 0 || rest > 59 || hours * 60 + rest > 14 * 60)
        return false;
    minutes = (hours * 60 + rest) * (text[0] == '-' ? -1 : 1);
    return true;
}
