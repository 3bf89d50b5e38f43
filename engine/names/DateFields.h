#ifndef QUILLOWBY_ENGINE_NAMES_DATE_FIELDS_H
#define QUILLOWBY_ENGINE_NAMES_DATE_FIELDS_H

#include <cstdint>
#include <string>

class FileServices;
class RenameJob;

// A name pattern may hold parts of a file's date between "<" and ">", which no Windows name
// can hold, so no pattern that names files without them reads differently: <year> (four
// digits), <month>, <day>, <hour>, <minute>, <second> (two digits each), <date> for
// <year><month><day> and <time> for <hour><minute><second>, each word spelt in Japanese in
// code page 932 (see DateFields.cpp).

// Whether the text holds a field; a text that holds none names files as it always has.
bool HoldsDateField(const char* text, const FileServices& fs);
// Whether the job's pattern writes parts of each file's date.
bool JobWritesDate(const RenameJob& job, const FileServices& fs);

// The first "<...>" of the text that is no field, brackets included; false when there is none.
// A "<" that no ">" closes opens nothing: it is the forbidden character it looks like.
bool FindUnknownField(const char* text, const FileServices& fs, std::string& unknown);

// Appends the text to out with every field written out for the local clock time (seconds
// from 1970-01-01 as if that clock were UTC); fields outside the years 0 to 9999 take the
// first or last second of that range.
void ExpandDateFields(const char* text, int64_t localSeconds, const FileServices& fs, std::string& out);

// A local clock time in its parts, clamped to the years 0 to 9999.
struct CivilTime
{
    int year;
    int month;
    int day;
    int hour;
    int minute;
    int second;
};

// false when the time lay outside the range and was clamped.
bool CivilTimeOf(int64_t localSeconds, CivilTime& civil);

// Room for a date with the fraction of its second, to the nanosecond, and the NUL.
const int kOrderDateSize = 30;

// "2019/05/01 10:00:00" for local clock seconds from 1970-01-01, and where a fraction of the
// second is given, it after a dot without its final zeros: "2019/05/01 10:00:00.25". Dates
// before the year 0 or after 9999 show as its first or last second.
void FormatOrderDate(int64_t localSeconds, int32_t nanoseconds, char (&text)[kOrderDateSize]);

#endif
