#include "core/CountedString.h"

#include <cstring>

CountedString::CountedString() : length(-1), data(nullptr) {}

CountedString::CountedString(int capacity) : length(-1), data(nullptr)
{
    Reserve(capacity);
}

CountedString::CountedString(const char* text) : length(-1), data(nullptr)
{
    Assign(text);
}

CountedString::CountedString(const CountedString& other) : length(-1), data(nullptr)
{
    Assign(other);
}

CountedString::~CountedString()
{
    delete[] data;
}

void CountedString::Release()
{
    delete[] data;
    data = nullptr;
    length = -1;
}

char* CountedString::Reserve(int n)
{
    Release();
    if (n <= 0)
        return nullptr;
    data = new char[n]();
    length = n - 1;
    return data;
}

CountedString& CountedString::Assign(const char* text)
{
    if (text == data && data != nullptr)
        return *this;
    Release();
    if (text == nullptr)
        return *this;
    size_t n = std::strlen(text);
    data = new char[n + 1];
    std::memcpy(data, text, n + 1);
    length = static_cast<int>(n);
    return *this;
}

CountedString& CountedString::Assign(const CountedString& other)
{
    if (&other == this)
        return *this;
    Release();
    if (other.length < 0)
        return *this;
    data = new char[other.length + 1];
    std::memcpy(data, other.data, static_cast<size_t>(other.length) + 1);
    length = other.length;
    return *this;
}

CountedString CountedString::Concat(const char* text) const
{
    if (text == nullptr)
        return CountedString(*this);
    int left = length < 0 ? 0 : length;
    int textLength = static_cast<int>(std::strlen(text));
    CountedString joined(left + textLength + 1);
    if (length > 0)
        std::strcpy(joined.data, data);
    std::strcpy(joined.data + std::strlen(joined.data), text);
    return joined;
}

void CountedString::Append(const char* text)
{
    if (text == nullptr)
        return;
    size_t oldText = data ? std::strlen(data) : 0;
    size_t textLength = std::strlen(text);
    size_t capacity = static_cast<size_t>(length < 0 ? 0 : length) + textLength + 1;
    char* joined = new char[capacity];
    std::memcpy(joined, data ? data : "", oldText);
    std::memcpy(joined + oldText, text, textLength + 1);
    delete[] data;
    data = joined;
    length = static_cast<int>(oldText + textLength);
}

bool CountedString::Equals(const char* text) const
{
    if (data == nullptr || text == nullptr)
        return data == text;
    return std::strcmp(data, text) == 0;
}
