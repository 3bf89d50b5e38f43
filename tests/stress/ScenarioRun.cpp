#include "tests/stress/ScenarioRun.h"

#include "engine/FileEntry.h"
#include "engine/Ordering.h"
#include "engine/RenameJob.h"
#include "engine/SafeRename.h"
#include "tests/stress/Dice.h"
#include "tests/stress/Scenario.h"
#include "tests/support/FaultyFileServices.h"

#include <cstdio>
#include <cstring>
#include <set>

namespace {

#ifdef _WIN32
const bool kWindows = true;
#else
const bool kWindows = false;
#endif

bool IsLead(unsigned char c)
{
    return (c >= 0x81 && c <= 0x9F) || (c >= 0xE0 && c <= 0xFC);
}

// A bare name, no folder in it.
bool IsBareName(const std::string& name)
{
    for (size_t i = 0; i < name.size(); ++i) {
        unsigned char c = static_cast<unsigned char>(name[i]);
        if (kWindows && IsLead(c)) {
            ++i;
            continue;
        }
        if (c == '/' || (kWindows && c == '\\'))
            return false;
    }
    return !name.empty();
}

std::string NativePath(const std::string& key)
{
    std::string path = key;
    for (char& c : path) {
        if (c == '/')
            c = PathSeparator();
    }
    return path;
}

const FileSpec* FindSpec(const Scenario& s, const std::string& key)
{
    for (const FileSpec& file : s.files) {
        if (file.key == key)
            return &file;
    }
    return nullptr;
}

// What another program does to the folder while the engine works in it.
class Intruder
{
public:
    Intruder(const Scenario& s, Observation& o, const std::string& folder, const std::string& entryFolder,
             FaultyFileServices& fs)
        : s(s), o(o), folder(folder), entryFolder(entryFolder), fs(fs),
          random(ScenarioSeed(s.seed, s.index) ^ 0xA5A5A5A5ull), serial(0)
    {
        for (const auto& batchFile : o.batchContents)
            contents.insert(batchFile.second);
    }

    void BeforeMove(int nth, const char* to)
    {
        for (size_t i = 0; i < s.faults.size(); ++i) {
            const FaultSpec& fault = s.faults[i];
            if (fault.nth != nth)
                continue;
            if (fault.kind == FaultTargetAppears)
                CreateAt(to, i);
            else if (fault.kind == FaultFileDeleted || fault.kind == FaultFileRenamed)
                TouchBatchFile(fault.kind == FaultFileDeleted, i);
        }
    }

    std::set<size_t> fired;

private:
    void CreateAt(const char* to, size_t fault)
    {
        std::string path = to;
        if (path.compare(0, entryFolder.size(), entryFolder) != 0)
            return;
        std::string key = path.substr(entryFolder.size());
        if (!IsBareName(key))
            return;
        std::string content = "another program's file " + std::to_string(serial++);
        if (!CreateNewFile(folder, key, content, false, false))
            return;
        Record(ExternalEvent::Created, key, "", content);
        fired.insert(fault);
    }

    void TouchBatchFile(bool remove, size_t fault)
    {
        std::vector<std::string> candidates;
        for (const std::string& name : NamesIn(folder)) {
            std::string content;
            if (name != o.logKey && ReadContent(folder, name, content) && contents.count(content))
                candidates.push_back(name);
        }
        if (candidates.empty())
            return;
        std::string key = random.Pick(candidates);
        std::string content;
        ReadContent(folder, key, content);
        if (remove) {
            if (!RemoveFile(folder, key))
                return;
            Record(ExternalEvent::Deleted, key, "", content);
        } else {
            // Out of the way, or onto a name the walk is about to want.
            std::string to = RenameTarget();
            if (!RenameFile(folder, key, to)) {
                to = "moved by another program " + std::to_string(serial++) + ".other";
                if (!RenameFile(folder, key, to))
                    return;
            }
            Record(ExternalEvent::Renamed, key, to, content);
        }
        fired.insert(fault);
    }

    std::string RenameTarget()
    {
        int kind = static_cast<int>(random.Below(4));
        if (kind == 0 && !o.expected.batch.empty()) {
            std::string name = NameAsStored(o.expected.batch[random.Below(static_cast<uint32_t>(o.expected.batch.size()))].newName);
            if (IsBareName(name))
                return name;
        }
        if (kind == 1) {
            char name[32];
            std::snprintf(name, sizeof name, "~ren%04d.tmp", static_cast<int>(nextTempNumber + random.Between(0, 2)));
            return name;
        }
        return "moved by another program " + std::to_string(serial++) + ".other";
    }

    void Record(ExternalEvent::Kind kind, const std::string& key, const std::string& to, const std::string& content)
    {
        o.events.push_back(ExternalEvent{kind, key, to, content, fs.Calls(CallWriteLog) - 2});
    }

    const Scenario& s;
    Observation& o;
    std::string folder;
    std::string entryFolder;
    FaultyFileServices& fs;
    Dice random;
    std::set<std::string> contents;
    int serial;
};

void InjectFaults(const Scenario& s, FaultyFileServices& fs)
{
    for (const FaultSpec& fault : s.faults) {
        switch (fault.kind) {
        case FaultMoveFails:
            fs.Inject(CallMove, fault.nth, FaultFail);
            break;
        case FaultMoveSaysTaken:
            fs.Inject(CallMove, fault.nth, FaultReportTaken);
            break;
        case FaultExistsErrs:
            fs.Inject(CallExists, fault.nth, FaultFail);
            break;
        case FaultExistsSaysTaken:
            fs.Inject(CallExists, fault.nth, FaultReportTaken);
            break;
        case FaultLogNotCreated:
            fs.Inject(CallCreateLog, 1, FaultFail);
            break;
        case FaultLogWritesStop:
            fs.InjectFrom(CallWriteLog, fault.nth, FaultFail);
            break;
        case FaultFolderTestErrs:
            fs.Inject(CallFolderExists, 0, FaultFail);
            break;
        case FaultListingBreaks:
            fs.Inject(CallFindNext, fault.nth, FaultFail);
            break;
        case FaultSearchFails:
            fs.Inject(CallFindFirst, 1, FaultFail);
            break;
        default:
            break;
        }
    }
}

// Files another program holds open for the whole run. Where holding a file open does not stop
// a move, the file services refuse every move of it instead.
class HeldFiles
{
public:
    HeldFiles(const Scenario& s, Observation& o, const std::string& folder, const std::string& entryFolder,
              FaultyFileServices& fs)
    {
        std::vector<std::string> candidates;
        for (const FileSpec& file : s.files) {
            if (Representable(file.key) && file.key.find('/') == std::string::npos)
                candidates.push_back(file.key);
        }
        for (const FaultSpec& fault : s.faults) {
            if (fault.kind != FaultFileHeldOpen || candidates.empty())
                continue;
            const std::string& key = candidates[static_cast<size_t>(fault.nth) % candidates.size()];
            if (void* file = HoldOpen(folder, key))
                open.push_back(file);
            else
                refused.insert(entryFolder + key);
            // A log that is to be written into that very file cannot be.
            if (key == o.logKey)
                o.logMayFail = true;
            ++count;
        }
        fs.failWhen = [this](FileCall call, const char* from, const char*) {
            return call == CallMove && refused.count(from) != 0;
        };
    }

    ~HeldFiles()
    {
        for (void* file : open)
            Release(file);
    }

    int count = 0;

private:
    HeldFiles(const HeldFiles&);
    HeldFiles& operator=(const HeldFiles&);

    std::vector<void*> open;
    std::set<std::string> refused;
};

int FaultsFired(const Scenario& s, const FaultyFileServices& fs, const std::set<size_t>& externalFired)
{
    int fired = 0;
    for (size_t i = 0; i < s.faults.size(); ++i) {
        const FaultSpec& fault = s.faults[i];
        switch (fault.kind) {
        case FaultMoveFails:
        case FaultMoveSaysTaken:
            fired += fs.Calls(CallMove) >= fault.nth;
            break;
        case FaultExistsErrs:
        case FaultExistsSaysTaken:
            fired += fs.Calls(CallExists) >= fault.nth;
            break;
        case FaultLogNotCreated:
            fired += fs.Calls(CallCreateLog) >= 1;
            break;
        case FaultLogWritesStop:
            fired += fs.Calls(CallWriteLog) >= fault.nth;
            break;
        case FaultFolderTestErrs:
            fired += fs.Calls(CallFolderExists) >= 1;
            break;
        case FaultListingBreaks:
            fired += fs.Calls(CallFindNext) >= fault.nth;
            break;
        case FaultSearchFails:
            fired += fs.Calls(CallFindFirst) >= 1;
            break;
        case FaultFileHeldOpen:
            break;
        default:
            fired += externalFired.count(i) ? 1 : 0;
            break;
        }
    }
    return fired;
}

// Where the log goes; fills the observation's log fields.
void PlaceLog(const Scenario& s, Observation& o, const std::string& root, const std::string& folder,
              const std::string& elsewhere)
{
    const std::string sep(1, PathSeparator());
    switch (s.logPlace) {
    case LogElsewhere:
        o.logPath = elsewhere + sep + "log.txt";
        break;
    case LogElsewhereExisting:
        CreateNewFile(elsewhere, "log.txt", "earlier log " + std::to_string(s.index), false, false);
        o.logPath = elsewhere + sep + "log.txt";
        break;
    case LogInFolderNew:
    case LogInFolderExisting:
        o.logPath = folder + sep + s.logTypedName;
        o.logKey = s.logKey;
        break;
    case LogInFolderDotted:
        o.logPath = folder + sep + "." + sep + s.logTypedName;
        o.logKey = s.logKey;
        break;
    case LogInSubFolder:
        o.logPath = folder + sep + NativePath(s.logTypedName);
        o.logKey = s.logKey;
        break;
    case LogMissingFolder:
        o.logPath = root + sep + "missing" + sep + "log.txt";
        o.logCannotOpen = true;
        break;
    case LogIsTheFolder:
        o.logPath = folder;
        o.logCannotOpen = true;
        break;
    case LogEmptyPath:
        o.logCannotOpen = true;
        break;
    }
    if (PathTooLongForEngine(o.logPath))
        o.logCannotOpen = true;
    o.logExistedBefore = !o.logPath.empty() && s.logPlace != LogIsTheFolder && ReadPath(o.logPath, o.logBefore);
    const FileSpec* spec = FindSpec(s, o.logKey);
    o.logMayFail = (spec && (spec->hidden || spec->readOnly)) || NamesADevice(s.logTypedName);
}

std::vector<std::string> UnreachableByPlatform(const std::string& folder, const std::string& mask)
{
    std::vector<std::string> names;
    FileServices& fs = PlatformFileServices();
    FoundFile found;
    SearchHandle search = fs.FindFirst((folder + PathSeparator() + mask).c_str(), found);
    if (search == nullptr)
        return names;
    do {
        if (found.unreachable)
            names.push_back(found.name);
    } while (fs.FindNext(search, found) == FindNextFound);
    fs.FindClose(search);
    return names;
}

}  // namespace

Observation RunScenario(const Scenario& s, const std::string& base)
{
    Observation o = Observation();
    const std::string sep(1, PathSeparator());
    std::string rootName = "s" + std::to_string(s.index);
    MakeFolder(base, rootName);
    std::string root = base + sep + rootName;
    MakeFolder(root, s.runFolderName);
    std::string folder = root + sep + s.runFolderName;
    MakeFolder(root, "elsewhere");
    std::string elsewhere = root + sep + "elsewhere";

    for (const std::string& sub : s.subFolders)
        MakeFolder(folder, sub);
    int serial = 0;
    for (const FileSpec& file : s.files) {
        std::string content = "file " + std::to_string(serial++) + " of scenario " + std::to_string(s.index);
        CreateNewFile(folder, file.key, content, file.hidden, file.readOnly);
    }
    PlaceLog(s, o, root, folder, elsewhere);

    o.before = ReadTree(folder);
    o.listing = ListMatching(folder, s.mask);
    for (Listed& listed : o.listing) {
        if (!s.overlongName.empty() && listed.key == s.overlongName)
            listed.key = OverlongListedName(listed.key);
    }
    o.platformUnreachable = UnreachableByPlatform(folder, s.mask);
    bool logListed = !o.logKey.empty() && o.logKey.find('/') == std::string::npos && o.before.count(o.logKey);
    o.cp932 = kWindows || s.cp932LeadBytes;
    o.typedFolder = folder;
    for (int i = 0; i < s.typedSeparators; ++i)
        o.typedFolder += sep;
    std::string entryFolder = s.typedSeparators > 0 ? o.typedFolder : o.typedFolder + sep;
    o.expected = ExpectRun(s, o.listing, logListed ? o.logKey : std::string(), entryFolder, o.cp932);
    for (const Planned& planned : o.expected.batch)
        o.batchContents[planned.key] = o.before[planned.key].content;

    RenameJob job;
    job.folder = o.typedFolder.c_str();
    job.mask = s.mask.c_str();
    job.SplitPattern(s.pattern.c_str());
    job.startNumber = static_cast<int32_t>(s.startNumber);
    job.padDigits = s.padDigits ? 1 : 0;
    job.digitCount = s.digitCount;
    job.order = s.order;
    job.logPath = o.logPath.c_str();

    FaultyFileServices fs(PlatformFileServices());
    if (s.cp932LeadBytes)
        fs.UseCp932LeadBytes();
    fs.adjustFound = [&s](FoundFile& found) {
        if (s.questionMarksUnreachable && std::strchr(found.name, '?'))
            found.unreachable = true;
        if (!s.overlongName.empty() && s.overlongName == found.name) {
            std::string name = OverlongListedName(found.name);
            std::memcpy(found.name, name.c_str(), name.size() + 1);
        }
    };
    InjectFaults(s, fs);

    Intruder intruder(s, o, folder, entryFolder, fs);
    const int items = static_cast<int>(s.files.size()) + 5;
    const int bound = 20 * items * items;
    int operations = 0;
    fs.beforeCall = [&](FileCall call, int nth, const char*, const char* second) {
        if ((call == CallMove || call == CallExists) && ++operations == bound) {
            // The walk does not end: let every further step fail so that it must.
            o.runaway = true;
            fs.InjectFrom(CallMove, 1, FaultFail);
            fs.InjectFrom(CallExists, 1, FaultFail);
        }
        if (call == CallMove && !o.runaway)
            intruder.BeforeMove(nth, second);
    };

    nextTempNumber = s.tempNumberBefore;
    randomState = s.randomStateBefore;
    EntryList list;
    {
        HeldFiles held(s, o, folder, entryFolder, fs);
        o.ran = RunRename(job, list, fs, o.outcome);
        o.faultsFired = FaultsFired(s, fs, intruder.fired) + held.count;
    }
    o.logWrites = fs.Calls(CallWriteLog);

    o.after = ReadTree(folder);
    o.logReadable = !o.logPath.empty() && s.logPlace != LogIsTheFolder && ReadPath(o.logPath, o.logText);
    bool createdUnlessRefused = fs.Calls(CallCreateLog) > 0;
    for (const FaultSpec& fault : s.faults)
        createdUnlessRefused = createdUnlessRefused && fault.kind != FaultLogNotCreated;
    o.logCreated = createdUnlessRefused && o.logReadable && (!o.logExistedBefore || o.logText != o.logBefore);
    RemoveTree(root);
    return o;
}
