#include "tests/stress/DateFieldModel.h"

#include <cstdio>

namespace {

// The words in code page 932 bytes, and which of year, month, day, hour, minute and second
// (0 to 5) each writes.
struct FieldModel
{
    const char* word;
    int first;  // the first of the six numbers it writes
    int count;
};

const FieldModel kFieldModels[] = {
    {"\x94\x4e", 0, 1}, {"\x8c\x8e", 1, 1}, {"\x93\xfa", 2, 1},         {"\x8e\x9e", 3, 1},
    {"\x95\xaa", 4, 1}, {"\x95\x62", 5, 1}, {"\x93\xfa\x95\x74", 0, 3}, {"\x8e\x9e\x8d\x8f", 3, 3},
};

const FieldModel* FindField(const std::string& word)
{
    for (const FieldModel& field : kFieldModels) {
        if (word == field.word)
            return &field;
    }
    return nullptr;
}

// Where the ">" closing the "<" at open stands; npos when another "<" or the end comes first.
size_t CloseAt(const std::string& text, size_t open)
{
    size_t close = text.find_first_of("<>", open + 1);
    return close != std::string::npos && text[close] == '>' ? close : std::string::npos;
}

// Days from 2000-01-01, counted a year and a month at a time.
void Civil(int64_t seconds, int numbers[6])
{
    int64_t days = seconds / 86400 - 10957;
    int64_t rest = seconds % 86400;
    int year = 2000;
    while (days >= (year % 4 == 0 ? 366 : 365))
        days -= (year++ % 4 == 0 ? 366 : 365);
    const int lengths[12] = {31, year % 4 == 0 ? 29 : 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    int month = 0;
    while (days >= lengths[month])
        days -= lengths[month++];
    numbers[0] = year;
    numbers[1] = month + 1;
    numbers[2] = static_cast<int>(days) + 1;
    numbers[3] = static_cast<int>(rest / 3600);
    numbers[4] = static_cast<int>(rest / 60 % 60);
    numbers[5] = static_cast<int>(rest % 60);
}

}  // namespace

std::string UnknownFieldModel(const std::string& text)
{
    for (size_t open = text.find('<'); open != std::string::npos; open = text.find('<', open + 1)) {
        size_t close = CloseAt(text, open);
        if (close != std::string::npos && FindField(text.substr(open + 1, close - open - 1)) == nullptr)
            return text.substr(open, close - open + 1);
    }
    return "";
}

std::string ExpandFieldsModel(const std::string& text, int64_t seconds)
{
    int numbers[6];
    Civil(seconds, numbers);
    std::string out;
    for (size_t at = 0; at < text.size();) {
        size_t close = text[at] == '<' ? CloseAt(text, at) : std::string::npos;
        const FieldModel* field = close != std::string::npos ? FindField(text.substr(at + 1, close - at - 1)) : nullptr;
        if (field == nullptr) {
            out += text[at++];
            continue;
        }
        for (int i = field->first; i < field->first + field->count; ++i) {
            char digits[8];
            std::snprintf(digits, sizeof digits, i == 0 ? "%04d" : "%02d", numbers[i]);
            out += digits;
        }
        at = close + 1;
    }
    return out;
}
