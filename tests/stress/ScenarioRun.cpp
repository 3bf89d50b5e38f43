#include "tests/stress/ScenarioRun.h"

#include "engine/FileEntry.h"
#include "engine/Ordering.h"
#include "engine/RenameJob.h"
#include "engine/RenameLogReader.h"
#include "engine/RunProgress.h"
#include "engine/SafeRename.h"
#include "tests/stress/OtherProgram.h"
#include "tests/stress/Scenario.h"
#include "tests/stress/StressFolder.h"
#include "tests/support/FaultyFileServices.h"
#include "tests/support/NameModel.h"
#include "tests/support/TempFolder.h"

#include <cstring>
#include <set>

namespace {

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

int FaultsFired(const Scenario& s, const FaultyFileServices& fs, const std::set<size_t>& externalFired,
                const RunOutcome& outcome)
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
        case FaultStopRequested:
            fired += outcome.stopped ? 1 : 0;
            break;
        default:
            fired += externalFired.count(i) ? 1 : 0;
            break;
        }
    }
    return fired;
}

// The log's name in the run's folder as typed: the scenario's, or for a log on a new name
// the new name at the scenario's position among those that hold no separator ("" when there
// is none).
std::string LogTypedName(const Scenario& s, const Observation& o, const std::string& entryFolder)
{
    if (s.logPlace != LogOnANewName || s.logNewNameAt < 0)
        return s.logTypedName;
    std::vector<std::string> names;
    for (const Planned& planned : ExpectRun(s, o.listing, "", "", entryFolder, o.cp932).batch) {
        if (!HoldsSeparatorModel(planned.newName, o.cp932))
            names.push_back(planned.newName);
    }
    if (names.empty())
        return "";
    const std::string& name = names[static_cast<size_t>(s.logNewNameAt) % names.size()];
    return s.logOtherLetters ? Upper(name) : name;
}

// The folder's file that a log typed on a new name names, or the name it would get.
std::string KeyOfName(const Tree& before, const std::string& typedName)
{
    for (const auto& item : before) {
        if (item.first.find('/') == std::string::npos && CaseFolded(item.first) == CaseFolded(typedName))
            return item.first;
    }
    return NameAsStored(typedName);
}

// Where the log goes; fills the observation's log fields. typedName: the log's name in the
// run's folder, for the places there.
void PlaceLog(const Scenario& s, const std::string& typedName, Observation& o, const std::string& root,
              const std::string& folder, const std::string& elsewhere)
{
    const std::string sep(1, PathSeparator());
    switch (s.logPlace) {
    case LogElsewhere:
        o.logPath = elsewhere + sep + "log.txt";
        break;
    case LogElsewhereExisting:
        CreateNewFile(elsewhere, "log.txt", "earlier run " + std::to_string(s.index) + "\r\nold.txt\t->\t000.txt\r\n",
                      false, false);
        o.logPath = elsewhere + sep + "log.txt";
        break;
    case LogElsewhereUserFile:
        CreateNewFile(elsewhere, "log.txt", s.userFileContent, false, false);
        o.logPath = elsewhere + sep + "log.txt";
        break;
    case LogInFolderNew:
    case LogInFolderExisting:
        o.logPath = folder + sep + typedName;
        o.logKey = s.logKey;
        o.logName = typedName;
        break;
    case LogInFolderDotted:
        o.logPath = folder + sep + "." + sep + typedName;
        o.logKey = s.logKey;
        o.logName = typedName;
        break;
    case LogOnANewName:
        // No batch file has a new name without a separator: the log goes elsewhere.
        o.logPath = typedName.empty() ? elsewhere + sep + "log.txt" : folder + sep + typedName;
        o.logKey = typedName.empty() ? std::string() : KeyOfName(o.before, typedName);
        o.logName = typedName;
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
    case LogOtherName:
        o.logPath = OtherPathTo(folder, s.logKey, elsewhere);
        o.logKey = s.logKey;
        if (o.logPath.empty())
            o.logPath = folder + sep + s.logKey;
        break;
    }
    if (PathTooLongForEngine(o.logPath))
        o.logCannotOpen = true;
    o.logExistedBefore = !o.logPath.empty() && s.logPlace != LogIsTheFolder && ReadPath(o.logPath, o.logBefore);
    const FileSpec* logFile = FindSpec(s, o.logKey);
    o.logMayFail = (logFile && (logFile->hidden || logFile->readOnly)) || NamesADevice(typedName);
}

// Asks the run to stop once the walk has taken the scenario's first stop step, as a user
// would at any moment.
class StopRequest : public RunProgress
{
public:
    explicit StopRequest(const Scenario& s) : stopAt(-1)
    {
        for (const FaultSpec& fault : s.faults) {
            if (fault.kind == FaultStopRequested && (stopAt < 0 || fault.nth < stopAt))
                stopAt = fault.nth;
        }
    }

    bool Continue(const WalkProgress& progress) override { return stopAt < 0 || progress.stepsTaken < stopAt; }

private:
    int stopAt;
};

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

    o.before = ReadTree(folder);
    o.listing = ListMatching(folder, s.mask);
    for (Listed& listed : o.listing) {
        if (!s.overlongName.empty() && listed.key == s.overlongName)
            listed.key = OverlongListedName(listed.key);
    }
    o.platformUnreachable = UnreachableByPlatform(folder, s.mask);
    o.cp932 = kWindows || s.cp932LeadBytes;
    o.typedFolder = folder;
    for (int i = 0; i < s.typedSeparators; ++i)
        o.typedFolder += sep;
    std::string entryFolder = s.typedSeparators > 0 ? o.typedFolder : o.typedFolder + sep;
    // The log lies outside the folder's tree, or is only named there, so its place can wait
    // for the folder's new names.
    PlaceLog(s, LogTypedName(s, o, entryFolder), o, root, folder, elsewhere);
    bool logListed = !o.logKey.empty() && o.logKey.find('/') == std::string::npos && o.before.count(o.logKey);
    o.expected = ExpectRun(s, o.listing, logListed ? o.logKey : std::string(), o.logName, entryFolder, o.cp932);
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
    {
        FaultyFileServices calm(PlatformFileServices());
        if (s.cp932LeadBytes)
            calm.UseCp932LeadBytes();
        calm.adjustFound = fs.adjustFound;
        PreviewRun(job, calm, s.randomStateBefore, o.preview);
        o.afterPreview = ReadTree(folder);
        Scenario withoutFaults = s;
        withoutFaults.faults.clear();
        o.expectedWithoutFaults =
            ExpectRun(withoutFaults, o.listing, logListed ? o.logKey : std::string(), o.logName, entryFolder, o.cp932);
    }
    InjectFaults(s, fs);

    OtherProgram intruder(s, o, folder, entryFolder, fs);
    const UndoScenario undoScenario = MakeUndoScenario(s);
    ProcessDeath death(undoScenario, fs, entryFolder);
    const int items = static_cast<int>(s.files.size()) + 5;
    const int bound = 20 * items * items;
    int operations = 0;
    fs.beforeCall = [&](FileCall call, int nth, const char* first, const char* second) {
        if ((call == CallMove || call == CallExists) && ++operations == bound) {
            // The walk does not end: let every further step fail so that it must.
            o.runaway = true;
            fs.InjectFrom(CallMove, 1, FaultFail);
            fs.InjectFrom(CallExists, 1, FaultFail);
        }
        if (call == CallMove && !o.runaway && !death.Dead())
            intruder.BeforeMove(nth, second);
        if (call == CallMove && !o.logName.empty() &&
            std::strncmp(second, entryFolder.c_str(), entryFolder.size()) == 0 &&
            CaseFolded(second + entryFolder.size()) == CaseFolded(o.logName))
            ++o.movesOntoLogName;
        death.BeforeCall(call, nth, first, second);
    };

    nextTempNumber = s.tempNumberBefore;
    randomState = s.randomStateBefore;
    // The window's question before the run, answered as the scenario says.
    o.asked = LogPathHoldsOtherFile(o.logPath.c_str(), PlatformFileServices());
    o.declined = o.asked && !s.toldYes;
    EntryList list;
    if (!o.declined) {
        HeldFiles held(s, o, folder, entryFolder, fs);
        StopRequest stop(s);
        o.ran = RunRename(job, list, fs, o.outcome, &stop);
        o.faultsFired = FaultsFired(s, fs, intruder.fired, o.outcome) + held.count;
    }
    o.logWrites = fs.Calls(CallWriteLog);

    o.after = ReadTree(folder);
    o.logReadable = !o.logPath.empty() && s.logPlace != LogIsTheFolder && ReadPath(o.logPath, o.logText);
    bool createdUnlessRefused = fs.Calls(CallCreateLog) > 0;
    for (const FaultSpec& fault : s.faults)
        createdUnlessRefused = createdUnlessRefused && fault.kind != FaultLogNotCreated;
    o.logCreated = createdUnlessRefused && o.logReadable && (!o.logExistedBefore || o.logText != o.logBefore);
    RunUndoPhase(s, undoScenario, folder, death, o);
    RemoveTree(root);
    return o;
}
