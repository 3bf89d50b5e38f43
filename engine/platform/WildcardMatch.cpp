#include "engine/platform/WildcardMatch.h"

#include "engine/platform/AsciiFold.h"

#include <cstring>
#include <vector>

namespace {

// The masks that take every name, told apart before any work: they are the usual ones, and
// a run over a large folder matches every name it lists.
bool TakesEveryName(const char* mask)
{
    return std::strcmp(mask, "*") == 0 || std::strcmp(mask, "*.*") == 0;
}

enum TokenKind
{
    TokenLiteral,
    // Any run of characters.
    TokenStar,
    // Any run of characters up to the name's last dot, which it may take as its end.
    TokenDosStar,
    // One character; nothing at a dot or at the end of the name.
    TokenDosQuestion,
    // A dot, or nothing at the end of the name.
    TokenDosDot
};

struct Token
{
    TokenKind kind;
    char32_t character;
};

std::vector<Token> Translate(const std::u32string& mask)
{
    std::vector<Token> tokens;
    size_t length = mask.size();
    for (size_t i = 0; i < length; ++i) {
        char32_t c = mask[i];
        if (c == '*') {
            tokens.push_back(Token{TokenStar, 0});
        } else if (c == '?') {
            tokens.push_back(Token{TokenDosQuestion, 0});
        } else if (c == '.' && i + 1 == length && i > 0 && mask[i - 1] == '*') {
            tokens.back().kind = TokenDosStar;
        } else if (c == '.' && i + 1 < length && (mask[i + 1] == '?' || mask[i + 1] == '*')) {
            tokens.push_back(Token{TokenDosDot, 0});
        } else {
            tokens.push_back(Token{TokenLiteral, c});
        }
    }
    return tokens;
}

// Windows drops the dots and spaces that end a path before it searches, so "a." looks for
// "a". Only "*." keeps its dot: it takes the names without one.
std::u32string AsSearched(const std::u32string& mask)
{
    size_t end = mask.size();
    while (end > 0 && (mask[end - 1] == '.' || mask[end - 1] == ' '))
        --end;
    if (end == mask.size() || (end > 0 && mask[end - 1] == '*' && mask[end] == '.'))
        return mask;
    return mask.substr(0, end);
}

bool SameAsciiFolded(char32_t a, char32_t b)
{
    return a == b || (a < 0x100 && b < 0x100 &&
                      FoldAscii(static_cast<unsigned char>(a)) == FoldAscii(static_cast<unsigned char>(b)));
}

}  // namespace

// matches[i][j]: the name from character i on matches the tokens from j on. Filled from the
// ends backwards, so every answer a cell needs is there before it: quadratic at worst, and
// names and masks are short.
bool MatchesMask(const std::u32string& name, const std::u32string& mask, SameCharacter same)
{
    if (name.empty() || mask.empty())
        return false;
    if (mask == U"*" || mask == U"*.*")
        return true;
    std::vector<Token> tokens = Translate(AsSearched(mask));
    if (tokens.empty())
        return false;
    const size_t n = name.size();
    const size_t m = tokens.size();
    size_t lastDot = name.rfind('.');
    std::vector<char> matches((n + 1) * (m + 1), 0);
    auto at = [&](size_t i, size_t j) -> char& { return matches[j * (n + 1) + i]; };
    at(n, m) = 1;
    for (size_t j = m; j-- > 0;) {
        const Token& token = tokens[j];
        for (size_t i = n + 1; i-- > 0;) {
            bool more = i < n;
            bool dot = more && name[i] == '.';
            bool match = false;
            switch (token.kind) {
            case TokenLiteral:
                match = more && same(name[i], token.character) && at(i + 1, j + 1);
                break;
            case TokenStar:
                match = at(i, j + 1) || (more && at(i + 1, j));
                break;
            case TokenDosStar:
                match = at(i, j + 1) || (more && (!dot || i != lastDot) && at(i + 1, j)) ||
                        (dot && i == lastDot && at(i + 1, j + 1));
                break;
            case TokenDosQuestion:
                match = (!more || dot) ? at(i, j + 1) : at(i + 1, j + 1);
                break;
            case TokenDosDot:
                match = more ? dot && at(i + 1, j + 1) : at(i, j + 1);
                break;
            }
            at(i, j) = match ? 1 : 0;
        }
    }
    return at(0, 0) != 0;
}

static std::u32string Characters(const char* bytes)
{
    std::u32string characters;
    for (const unsigned char* p = reinterpret_cast<const unsigned char*>(bytes); *p; ++p)
        characters.push_back(*p);
    return characters;
}

bool MatchesMask(const char* name, const char* mask)
{
    if (name[0] != '\0' && TakesEveryName(mask))
        return true;
    return MatchesMask(Characters(name), Characters(mask), SameAsciiFolded);
}
