#include "tests/stress/Oracle.h"

#include "tests/stress/OrderModel.h"
#include "tests/stress/Scenario.h"
#include "tests/support/NameModel.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <set>

namespace {

const int64_t kLargestNumber = 2147483647;
const size_t kLongestName = 255;

unsigned char Fold(unsigned char c)
{
    return (c >= 'A' && c <= 'Z') ? static_cast<unsigned char>(c + 0x20) : c;
}

int CompareNoCaseModel(const std::string& a, const std::string& b)
{
    size_t n = std::min(a.size(), b.size());
    for (size_t i = 0; i < n; ++i) {
        unsigned char x = Fold(static_cast<unsigned char>(a[i]));
        unsigned char y = Fold(static_cast<unsigned char>(b[i]));
        if (x != y)
            return x < y ? -1 : 1;
    }
    if (a.size() == b.size())
        return 0;
    return a.size() < b.size() ? -1 : 1;
}

struct Candidate
{
    std::string key;
    std::string stem;
    std::string extension;
    // The date a date order orders it by.
    int64_t seconds;
    int32_t nanoseconds;
};

int CompareCandidates(const Candidate& a, const Candidate& b, int order)
{
    int byExtension = CompareNoCaseModel(a.extension, b.extension);
    int byStem = CompareNoCaseModel(a.stem, b.stem);
    if (order == 0 || order == 2) {
        int c = byExtension != 0 ? byExtension : byStem;
        return order == 0 ? c : -c;
    }
    int c = byStem != 0 ? byStem : byExtension;
    return order == 1 ? c : -c;
}

// Orders 6 to 11: by date and its fraction, equal dates in natural order; or in natural
// order, which reads the stem and then the extension. Names equal there go by stem and
// extension. Orders 7, 9 and 11 are 6, 8 and 10 reversed whole, ties included.
int CompareLaterOrders(const Candidate& a, const Candidate& b, int order, bool cp932)
{
    int c = 0;
    if (order <= 9 && (a.seconds != b.seconds || a.nanoseconds != b.nanoseconds))
        c = (a.seconds != b.seconds ? a.seconds < b.seconds : a.nanoseconds < b.nanoseconds) ? -1 : 1;
    if (c == 0)
        c = CompareNaturalModel(a.stem, b.stem, cp932);
    if (c == 0)
        c = CompareNaturalModel(a.extension, b.extension, cp932);
    if (c == 0)
        c = CompareCandidates(a, b, 1);
    return order % 2 == 1 ? -c : c;
}

void Shuffle(std::vector<Candidate>& items, uint32_t state)
{
    size_t n = items.size();
    for (size_t i = 0; i < n; ++i) {
        state = state * 214013u + 2531011u;
        size_t j = ((state >> 16) & 0x7FFF) % n;
        std::swap(items[i], items[j]);
    }
}

}  // namespace

bool HoldsSeparatorModel(const std::string& mask, bool cp932)
{
    for (size_t i = 0; i < mask.size(); ++i) {
        unsigned char c = static_cast<unsigned char>(mask[i]);
        if (IsLeadModel(c, cp932)) {
            ++i;
            continue;
        }
        if (c == '/' || c == static_cast<unsigned char>(PathSeparator()))
            return true;
    }
    return false;
}

namespace {

// Whether the engine can reach the file through the ANSI code page at all.
bool ReachableByEngine(const Scenario& scenario, const std::string& key, const std::string& entryFolder)
{
    if (!Representable(key))
        return false;
    if (scenario.questionMarksUnreachable && key.find('?') != std::string::npos)
        return false;
    if (PathTooLongForEngine(entryFolder + key))
        return false;
    return true;
}

// Characters no Windows name holds, in the text typed around the number.
bool HoldsForbiddenCharacter(const std::string& text, bool cp932)
{
    for (size_t i = 0; i < text.size(); ++i) {
        unsigned char c = static_cast<unsigned char>(text[i]);
        if (IsLeadModel(c, cp932) && i + 1 < text.size()) {
            ++i;
            continue;
        }
        if (c < 0x20 || std::strchr("\\/:*?\"<>|", c) != nullptr)
            return true;
    }
    return false;
}

bool EndsInDotOrSpace(const std::string& name)
{
    return !name.empty() && (name.back() == '.' || name.back() == ' ');
}

// CON, PRN, AUX, NUL, COM0 to COM9, LPT0 to LPT9 before the first dot, spaces behind ignored.
bool IsDeviceName(const std::string& name)
{
    std::string stem = name.substr(0, name.find('.'));
    while (!stem.empty() && stem.back() == ' ')
        stem.pop_back();
    for (char& c : stem)
        c = (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c;
    static const char* const devices[] = {"CON", "PRN", "AUX", "NUL"};
    for (const char* device : devices) {
        if (stem == device)
            return true;
    }
    return stem.size() == 4 && (stem.substr(0, 3) == "COM" || stem.substr(0, 3) == "LPT") && stem[3] >= '0' &&
           stem[3] <= '9';
}

// The first call that a fault of that kind hits; 0 when there is none.
int FaultAt(const Scenario& scenario, FaultKind kind)
{
    int first = 0;
    for (const FaultSpec& fault : scenario.faults) {
        if (fault.kind == kind && (first == 0 || fault.nth < first))
            first = fault.nth;
    }
    return first;
}

}  // namespace

void SplitPatternModel(const std::string& pattern, std::string& prefix, std::string& suffix)
{
    size_t first = pattern.find('?');
    size_t last = pattern.rfind('?');
    prefix.clear();
    suffix.clear();
    if (first == std::string::npos) {
        prefix = pattern;
    } else if (first == last && pattern.size() > 1) {
        prefix = pattern.substr(0, first);
        suffix = pattern.substr(first + 1);
    }
}

int32_t FirstFreeTempModel(const std::string& folder)
{
    std::set<std::string> names;
    for (const std::string& name : NamesIn(folder))
        names.insert(CaseFolded(name));
    for (int32_t number = 0;; ++number) {
        char temp[32];
        std::snprintf(temp, sizeof temp, "~ren%04d.tmp", static_cast<int>(number));
        if (names.count(CaseFolded(temp)) == 0)
            return number;
    }
}

bool MadeHiddenSystem(const Scenario& scenario, const std::string& key)
{
    for (const FileSpec& file : scenario.files) {
        if (CaseFolded(NameAsStored(NameInFolder(file.key))) == CaseFolded(key))
            return file.hidden && file.system;
    }
    return false;
}

Expected ExpectRun(const Scenario& scenario, const std::vector<Listed>& listing, const std::string& logKey,
                   const std::string& logName, const std::string& entryFolder, bool cp932, int32_t firstTemp)
{
    Expected expected;
    expected.refusal = RefusalNone;
    expected.unreachable = 0;
    expected.hiddenSystem = 0;

    if (HoldsSeparatorModel(scenario.mask, cp932)) {
        expected.refusal = RefusalMaskHoldsSeparator;
        return expected;
    }
    // A search that fails is asked after: the folder is there and can be listed, so the mask
    // is to blame.
    if (listing.empty() || FaultAt(scenario, FaultSearchFails) != 0) {
        expected.refusal =
            scenario.mask.find(';') != std::string::npos ? RefusalMaskHoldsSemicolon : RefusalNothingMatches;
        return expected;
    }

    // The listing is taken up to its end or up to the first name that cannot be numbered;
    // a search step that errs before that end breaks it off.
    std::vector<Candidate> candidates;
    int breakAt = FaultAt(scenario, FaultListingBreaks);
    for (size_t i = 0; i < listing.size(); ++i) {
        const Listed& found = listing[i];
        // A name longer than 255 bytes is left out and reported like one the code page cannot hold.
        bool unreachable = !ReachableByEngine(scenario, found.key, entryFolder) || found.key.size() > kLongestName;
        const bool hiddenSystem = found.hiddenSystem || (!kWindows && MadeHiddenSystem(scenario, found.key));
        if (!found.isDirectory && hiddenSystem) {
            // The folder's own file, whatever its name: neither renamed nor a failure.
            ++expected.hiddenSystem;
        } else if (!found.isDirectory && unreachable) {
            ++expected.unreachable;
        } else if (!found.isDirectory && found.key != logKey) {
            Candidate candidate = Candidate();
            candidate.key = found.key;
            SplitNameModel(found.key, cp932, candidate.stem, candidate.extension);
            // The first key of the file made it; a later one that names it too made nothing.
            for (const FileSpec& file : scenario.files) {
                if (NameInFolder(file.key) == found.key) {
                    OrderDateModel(file.date, scenario.order <= 7, candidate.seconds, candidate.nanoseconds);
                    break;
                }
            }
            candidates.push_back(candidate);
        }
        if (breakAt != 0 && static_cast<size_t>(breakAt) == i + 1) {
            expected.refusal = RefusalListingFailed;
            return expected;
        }
    }

    if (scenario.order >= 0 && scenario.order <= 3) {
        int order = scenario.order;
        std::stable_sort(candidates.begin(), candidates.end(), [order](const Candidate& a, const Candidate& b) {
            return CompareCandidates(a, b, order) < 0;
        });
    } else if (scenario.order == 5) {
        Shuffle(candidates, scenario.randomStateBefore);
    } else if (scenario.order >= 6 && scenario.order <= 11) {
        int order = scenario.order;
        std::stable_sort(candidates.begin(), candidates.end(), [order, cp932](const Candidate& a, const Candidate& b) {
            return CompareLaterOrders(a, b, order, cp932) < 0;
        });
    }

    std::string prefix, suffix;
    SplitPatternModel(scenario.pattern, prefix, suffix);
    int64_t first = scenario.startNumber;
    for (size_t n = 0; n < candidates.size(); ++n) {
        if (first + static_cast<int64_t>(n) > kLargestNumber) {
            expected.refusal = RefusalNumberTooLarge;
            expected.refusedName = candidates[n].key;
            expected.batch.clear();
            return expected;
        }
        int32_t number = static_cast<int32_t>(first + static_cast<int64_t>(n));
        std::string newName = prefix + NumberText(number, scenario.padDigits, scenario.digitCount) + suffix +
                              candidates[n].extension;
        RunRefusal refusal = RefusalNone;
        if (newName.size() > kLongestName)
            refusal = RefusalNewNameTooLong;
        else if (HoldsForbiddenCharacter(prefix, cp932) || HoldsForbiddenCharacter(suffix, cp932))
            refusal = RefusalForbiddenCharacter;
        else if (EndsInDotOrSpace(newName))
            refusal = RefusalEndsInDotOrSpace;
        else if (IsDeviceName(newName))
            refusal = RefusalDeviceName;
        if (refusal != RefusalNone) {
            expected.refusal = refusal;
            expected.refusedName = candidates[n].key;
            expected.batch.clear();
            return expected;
        }
        expected.batch.push_back(Planned{candidates[n].key, newName});
    }
    for (const Planned& planned : expected.batch) {
        // The log's name as typed may end in a dot, which the file system drops.
        if (!logName.empty() && CaseFolded(NameAsStored(planned.newName)) == CaseFolded(NameAsStored(logName))) {
            expected.refusal = RefusalNewNameIsLog;
            expected.refusedName = planned.key;
            expected.batch.clear();
            return expected;
        }
    }

    // Once every file has its new name, no file may have a path too long under it or under
    // the widest temporary name the run numbers: one for each file from the first free one,
    // or any the counter can make when the folder cannot be searched for leftover ones.
    int64_t widest = int64_t(firstTemp) + int64_t(expected.batch.size());
    if (FaultAt(scenario, FaultFolderTestErrs) != 0)
        widest = kLargestNumber;
    char widestTemp[32];
    std::snprintf(widestTemp, sizeof widestTemp, "~ren%04d.tmp", static_cast<int>(std::min(kLargestNumber, widest)));
    // A temporary name that does not fit is the cause for every file.
    if (!expected.batch.empty() && PathTooLongForRun(entryFolder + widestTemp)) {
        expected.refusal = RefusalTempPathTooLong;
        expected.refusedName = widestTemp;
        expected.batch.clear();
        return expected;
    }
    for (const Planned& planned : expected.batch) {
        if (PathTooLongForRun(entryFolder + planned.newName)) {
            expected.refusal = RefusalPathTooLong;
            expected.refusedName = planned.key;
            expected.batch.clear();
            return expected;
        }
    }
    return expected;
}
