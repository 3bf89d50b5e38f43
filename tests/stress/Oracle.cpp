#include "tests/stress/Oracle.h"

#include "tests/stress/DateFieldModel.h"
#include "tests/stress/OrderModel.h"
#include "tests/stress/Scenario.h"
#include "tests/support/NameModel.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <map>
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
    // The date a date order orders it by, or the name writes.
    int64_t seconds;
    int32_t nanoseconds;
    // The date is one the camera wrote, not the last-write time standing in.
    bool taken;
    // What the new name keeps of the name, and the files that share its number.
    std::string kept;
    size_t group;
    // The date the new name writes: the group's.
    int64_t groupSeconds;
};

// Files of one photo: names equal without their extensions as the platform compares them,
// and a file named after another's whole name with that file. Groups go where their first
// file stood, in a date order by their earliest date taken (earliest date where none has
// one), reversed for 7 and 9, ties as they stood; inside a group by the part the names keep.
void GroupModel(std::vector<Candidate>& candidates, int order)
{
    std::map<std::string, size_t> byName;
    for (size_t i = 0; i < candidates.size(); ++i)
        byName.emplace(CaseFolded(candidates[i].key), i);
    std::vector<size_t> keepFrom(candidates.size());
    // A file named after another's whole name has the longer name, so the earlier are done.
    std::vector<size_t> byLength(candidates.size());
    for (size_t i = 0; i < byLength.size(); ++i)
        byLength[i] = i;
    std::stable_sort(byLength.begin(), byLength.end(),
                     [&](size_t a, size_t b) { return candidates[a].key.size() < candidates[b].key.size(); });
    for (size_t i : byLength) {
        const Candidate& c = candidates[i];
        keepFrom[i] = c.key.size() - c.extension.size();
        auto named = byName.find(CaseFolded(c.key.substr(0, keepFrom[i])));
        if (keepFrom[i] > 0 && named != byName.end() && named->second != i)
            keepFrom[i] = keepFrom[named->second];
    }
    struct GroupRow
    {
        size_t first;
        int64_t seconds;
        int32_t nanoseconds;
        bool taken;
        std::vector<size_t> members;
    };
    std::vector<GroupRow> groups;
    std::map<std::string, size_t> groupOf;
    for (size_t i = 0; i < candidates.size(); ++i) {
        Candidate& c = candidates[i];
        c.kept = c.key.substr(keepFrom[i]);
        size_t g = groups.size();
        if (keepFrom[i] > 0)
            g = groupOf.emplace(CaseFolded(c.key.substr(0, keepFrom[i])), groups.size()).first->second;
        if (g == groups.size())
            groups.push_back(GroupRow{i, c.seconds, c.nanoseconds, c.taken, {}});
        GroupRow& row = groups[g];
        bool earlier = c.seconds != row.seconds ? c.seconds < row.seconds : c.nanoseconds < row.nanoseconds;
        if ((c.taken && !row.taken) || (c.taken == row.taken && earlier)) {
            row.seconds = c.seconds;
            row.nanoseconds = c.nanoseconds;
            row.taken = c.taken;
        }
        row.members.push_back(i);
    }
    if (order >= 6 && order <= 9) {
        std::stable_sort(groups.begin(), groups.end(), [order](const GroupRow& a, const GroupRow& b) {
            if (a.seconds == b.seconds && a.nanoseconds == b.nanoseconds)
                return false;
            bool earlier = a.seconds != b.seconds ? a.seconds < b.seconds : a.nanoseconds < b.nanoseconds;
            return order % 2 == 1 ? !earlier : earlier;
        });
    }
    std::vector<Candidate> grouped;
    for (size_t g = 0; g < groups.size(); ++g) {
        std::vector<size_t>& members = groups[g].members;
        std::stable_sort(members.begin(), members.end(), [&](size_t a, size_t b) {
            return CompareNoCaseModel(candidates[a].kept, candidates[b].kept) < 0;
        });
        for (size_t i : members) {
            grouped.push_back(candidates[i]);
            grouped.back().group = g;
            grouped.back().groupSeconds = groups[g].seconds;
        }
    }
    candidates.swap(grouped);
}

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

// Whether the engine can reach the file at all.
bool ReachableByEngine(const Scenario& scenario, const std::string& key, const std::string& entryFolder)
{
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

// The run refuses for name, before any file of the batch moves.
Expected Refused(Expected expected, RunRefusal refusal, const std::string& name)
{
    expected.refusal = refusal;
    expected.refusedName = name;
    expected.batch.clear();
    return expected;
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

    if (HoldsSeparatorModel(scenario.mask, cp932))
        return Refused(expected, RefusalMaskHoldsSeparator, "");
    // A search that fails is asked after: the folder is there and can be listed, so the mask
    // is to blame.
    std::string prefix, suffix;
    SplitPatternModel(scenario.pattern, prefix, suffix);
    expected.refusedName = UnknownFieldModel(prefix);
    if (expected.refusedName.empty())
        expected.refusedName = UnknownFieldModel(suffix);
    if (!expected.refusedName.empty()) {
        expected.refusal = RefusalUnknownField;
        return expected;
    }
    if (listing.empty() || FaultAt(scenario, FaultSearchFails) != 0) {
        const bool semicolon = scenario.mask.find(';') != std::string::npos;
        return Refused(expected, semicolon ? RefusalMaskHoldsSemicolon : RefusalNothingMatches, "");
    }

    // The listing is taken up to its end or up to the first name that cannot be numbered;
    // a search step that errs before that end breaks it off.
    std::vector<Candidate> candidates;
    int breakAt = FaultAt(scenario, FaultListingBreaks);
    for (size_t i = 0; i < listing.size(); ++i) {
        const Listed& found = listing[i];
        // A name longer than 255 bytes (in the engine's form) is left out and reported as unreachable.
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
                    // Outside the date orders a name that writes the date reads it as 6 and 7 do.
                    const bool takenOrder = scenario.order != 8 && scenario.order != 9;
                    OrderDateModel(file.date, takenOrder, candidate.seconds, candidate.nanoseconds);
                    candidate.taken = !takenOrder || (!file.date.offline && file.date.taken != TakenAbsent);
                    break;
                }
            }
            candidates.push_back(candidate);
        }
        if (breakAt != 0 && static_cast<size_t>(breakAt) == i + 1)
            return Refused(expected, RefusalListingFailed, "");
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

    if (scenario.sameNumber) {
        GroupModel(candidates, scenario.order);
    } else {
        for (size_t n = 0; n < candidates.size(); ++n) {
            candidates[n].group = n;
            candidates[n].kept = candidates[n].extension;
            candidates[n].groupSeconds = candidates[n].seconds;
        }
    }
    // Each text the date fields give counts from the start number on its own; a group counts once.
    const bool writesDate = scenario.pattern.find('<') != std::string::npos;
    std::map<std::string, int64_t> counted;
    std::string before = prefix, after = suffix;
    int64_t first = scenario.startNumber, offset = -1;
    for (size_t n = 0; n < candidates.size(); ++n) {
        if (n == 0 || candidates[n].group != candidates[n - 1].group) {
            if (writesDate) {
                before = ExpandFieldsModel(prefix, candidates[n].groupSeconds);
                after = ExpandFieldsModel(suffix, candidates[n].groupSeconds);
                offset = counted[before + "<" + after]++;
            } else {
                ++offset;
            }
        }
        if (first + offset > kLargestNumber)
            return Refused(expected, RefusalNumberTooLarge, candidates[n].key);
        int32_t number = static_cast<int32_t>(first + offset);
        std::string newName =
            before + NumberText(number, scenario.padDigits, scenario.digitCount) + after + candidates[n].kept;
        RunRefusal refusal = RefusalNone;
        if (newName.size() > kLongestName)
            refusal = RefusalNewNameTooLong;
        else if (HoldsForbiddenCharacter(before, cp932) || HoldsForbiddenCharacter(after, cp932))
            refusal = RefusalForbiddenCharacter;
        else if (EndsInDotOrSpace(newName))
            refusal = RefusalEndsInDotOrSpace;
        else if (IsDeviceName(newName))
            refusal = RefusalDeviceName;
        if (refusal != RefusalNone)
            return Refused(expected, refusal, candidates[n].key);
        expected.batch.push_back(Planned{candidates[n].key, newName});
    }
    for (const Planned& planned : expected.batch) {
        // The log's name as typed may end in a dot, which the file system drops.
        if (!logName.empty() && CaseFolded(NameAsStored(planned.newName)) == CaseFolded(NameAsStored(logName)))
            return Refused(expected, RefusalNewNameIsLog, planned.key);
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
    if (!expected.batch.empty() && PathTooLongForEngine(entryFolder + widestTemp))
        return Refused(expected, RefusalTempPathTooLong, widestTemp);
    for (const Planned& planned : expected.batch) {
        if (PathTooLongForEngine(entryFolder + planned.newName))
            return Refused(expected, RefusalPathTooLong, planned.key);
    }
    return expected;
}
