#ifndef QUILLOWBY_CORE_COUNTED_STRING_H
#define QUILLOWBY_CORE_COUNTED_STRING_H

// A byte string in the ANSI code page that owns its buffer and keeps its length apart.
// An absent string (length -1, no buffer) is not the same as an empty one. Lengths and
// indexes count bytes; nothing here knows about double-byte characters.
class CountedString
{
public:
    CountedString();
    explicit CountedString(int capacity);
    CountedString(const char* text);
    CountedString(const CountedString& other);
    ~CountedString();

    CountedString& operator=(const CountedString& other) { return Assign(other); }
    CountedString& operator=(const char* text) { return Assign(text); }

    // Drops the old buffer and takes a zero-filled one of n bytes that a platform call can
    // fill; length becomes n - 1 whatever is written later. n <= 0 makes the string absent.
    char* Reserve(int n);
    CountedString& Assign(const char* text);
    // Copies the whole stored buffer, bytes behind an earlier NUL included.
    CountedString& Assign(const CountedString& other);

    char* Data() const { return data; }
    int Length() const { return length; }
    bool IsAbsent() const { return data == nullptr; }
    // The text, an absent string reading as an empty one.
    const char* Text() const { return data ? data : ""; }
    char* LastChar() const { return length > 0 ? data + length - 1 : nullptr; }
    char* CharAt(int i) const { return data + i; }

    // The stored length plus the text's length: a string reserved larger than its text
    // gives a result with zeros behind the joined text.
    CountedString Concat(const char* text) const;
    // Afterwards the length is the joined text's length again.
    void Append(const char* text);
    // Byte-exact up to the first NUL; two absent sides are equal.
    bool Equals(const char* text) const;

private:
    void Release();

    int length;
    char* data;
};

#endif
