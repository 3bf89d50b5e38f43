#include "tests/stress/OrderModel.h"

#include "engine/platform/FileServices.h"
#include "tests/stress/Scenario.h"
#include "tests/stress/StressFolder.h"
#include "tests/support/NameModel.h"

#include <vector>

namespace {

// A character, or a whole run of digits. A run stands where the byte "0" would, and holds its
// digits without the zeros in front; a character holds its bytes, a single one folded.
struct Piece
{
    unsigned char first;
    bool number;
    std::string rest;
};

int DigitModel(const std::string& name, size_t at, bool cp932, size_t& width)
{
    unsigned char c = static_cast<unsigned char>(name[at]);
    width = 1;
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c == 0x82 && cp932 && at + 1 < name.size()) {
        unsigned char second = static_cast<unsigned char>(name[at + 1]);
        width = 2;
        if (second >= 0x4F && second <= 0x58)
            return second - 0x4F;
    }
    return -1;
}

std::vector<Piece> Pieces(const std::string& name, bool cp932)
{
    std::vector<Piece> pieces;
    size_t at = 0;
    while (at < name.size()) {
        size_t width = 1;
        int digit = DigitModel(name, at, cp932, width);
        if (digit >= 0) {
            Piece run = {'0', true, ""};
            while (at < name.size() && (digit = DigitModel(name, at, cp932, width)) >= 0) {
                if (digit != 0 || !run.rest.empty())
                    run.rest += static_cast<char>('0' + digit);
                at += width;
            }
            pieces.push_back(run);
            continue;
        }
        unsigned char c = static_cast<unsigned char>(name[at]);
        if (IsLeadModel(c, cp932) && at + 1 < name.size()) {
            pieces.push_back(Piece{c, false, name.substr(at + 1, 1)});
            at += 2;
        } else {
            pieces.push_back(Piece{c >= 'A' && c <= 'Z' ? static_cast<unsigned char>(c + 0x20) : c, false, ""});
            at += 1;
        }
    }
    return pieces;
}

int ComparePieces(const Piece& a, const Piece& b)
{
    if (a.first != b.first)
        return a.first < b.first ? -1 : 1;
    if (a.number && a.rest.size() != b.rest.size())
        return a.rest.size() < b.rest.size() ? -1 : 1;
    int c = a.rest.compare(b.rest);
    return c < 0 ? -1 : (c > 0 ? 1 : 0);
}

}  // namespace

int CompareNaturalModel(const std::string& a, const std::string& b, bool cp932)
{
    std::vector<Piece> x = Pieces(a, cp932), y = Pieces(b, cp932);
    for (size_t i = 0; i < x.size() && i < y.size(); ++i) {
        if (int c = ComparePieces(x[i], y[i]))
            return c;
    }
    return x.size() == y.size() ? 0 : (x.size() < y.size() ? -1 : 1);
}

void OrderDateModel(const DateSpec& date, bool takenOrder, int64_t& seconds, int32_t& nanoseconds)
{
    if (takenOrder && !date.offline && date.taken != TakenAbsent) {
        nanoseconds = date.takenNanoseconds;
        if (date.taken == TakenAsWritten)
            seconds = date.takenSeconds;
        else
            seconds = PlatformFileServices().LocalClock(date.takenSeconds -
                                                        (date.taken == TakenOffset ? date.offsetMinutes * 60 : 0));
        return;
    }
    seconds = PlatformFileServices().LocalClock(date.written);
    nanoseconds = date.writtenNanoseconds;
}
