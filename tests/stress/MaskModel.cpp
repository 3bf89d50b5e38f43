#include "tests/stress/MaskModel.h"

#include "tests/stress/StressFolder.h"
#include "tests/support/NameModel.h"

#include <vector>

namespace {

typedef std::vector<std::string> Characters;

Characters Split(const std::string& text, bool cp932)
{
    Characters characters;
    for (size_t i = 0; i < text.size();) {
        unsigned char c = static_cast<unsigned char>(text[i]);
        unsigned codePoint = 0;
        size_t width = EscapeAt(text, i, codePoint);
        // The search counts UTF-16 units: a character beyond U+FFFF is two.
        if (width > 0 && codePoint > 0xFFFF)
            characters.push_back(std::string());
        if (width == 0)
            width = IsLeadModel(c, cp932) && i + 1 < text.size() ? 2 : 1;
        characters.push_back(text.substr(i, width));
        i += width;
    }
    return characters;
}

std::string Upper(const std::string& character)
{
    if (character.size() == 1 && character[0] >= 'a' && character[0] <= 'z')
        return std::string(1, static_cast<char>(character[0] - 'a' + 'A'));
    return character;
}

class Matcher
{
public:
    Matcher(const Characters& mask, const Characters& name) : mask(mask), name(name)
    {
        lastDot = -1;
        for (size_t i = 0; i < name.size(); ++i) {
            if (name[i] == ".")
                lastDot = static_cast<int>(i);
        }
    }

    bool From(size_t m, size_t n) const
    {
        if (m == mask.size())
            return n == name.size();
        const std::string& c = mask[m];
        bool atEnd = n == name.size();
        bool atDot = !atEnd && name[n] == ".";
        if (c == "*" && m + 2 == mask.size() && mask[m + 1] == ".") {
            // What remains holds no dot, or its only last dot is the name's final character.
            return lastDot < static_cast<int>(n) || lastDot == static_cast<int>(name.size()) - 1;
        }
        if (c == "*") {
            for (size_t k = n; k <= name.size(); ++k) {
                if (From(m + 1, k))
                    return true;
            }
            return false;
        }
        if (c == "?")
            return (atEnd || atDot) ? From(m + 1, n) : From(m + 1, n + 1);
        if (c == "." && m + 1 < mask.size() && (mask[m + 1] == "?" || mask[m + 1] == "*"))
            return atEnd ? From(m + 1, n) : atDot && From(m + 1, n + 1);
        return !atEnd && Upper(name[n]) == Upper(c) && From(m + 1, n + 1);
    }

private:
    const Characters& mask;
    const Characters& name;
    int lastDot;
};

}  // namespace

bool MaskTakes(const std::string& mask, const std::string& key, bool cp932)
{
    if (mask.empty() || key.empty())
        return false;
    if (mask == "*" || mask == "*.*")
        return true;
    Characters maskCharacters = Split(mask, cp932);
    Characters nameCharacters = Split(key, cp932);
    return Matcher(maskCharacters, nameCharacters).From(0, 0);
}
