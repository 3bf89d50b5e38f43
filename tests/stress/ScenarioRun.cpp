#include "tests/stress/ScenarioRun.h"

#include "engine/FileEntry.h"
#include "engine/RenameJob.h"
#include "engine/RunProgress.h"
#include "engine/history/RunHistory.h"
#include "engine/log/RenameLogReader.h"
#include "engine/order/Ordering.h"
#include "engine/platform/PathNames.h"
#include "engine/steps/TempNames.h"
#include "tests/stress/HistoryPhase.h"
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

const FileSpec* FindSpec(const Scenario& scenario, const std::string& key)
{
    for (const FileSpec& file : scenario.files) {
        if (file.key == key)
            return &file;
    }
    return nullptr;
}

int FaultsFired(const Scenario& scenario, const FaultyFileServices& fs, const std::set<size_t>& externalFired,
                const RunOutcome& outcome)
{
    int fired = 0;
    for (size_t i = 0; i < scenario.faults.size(); ++i) {
        const FaultSpec& fault = scenario.faults[i];
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
std::string LogTypedName(const Scenario& scenario, const Observation& observation, const std::string& entryFolder,
                         int32_t firstTemp)
{
    if (scenario.logPlace != LogOnANewName || scenario.logNewNameAt < 0)
        return scenario.logTypedName;
    std::vector<std::string> names;
    for (const Planned& planned :
         ExpectRun(scenario, observation.listing, "", "", entryFolder, observation.cp932, firstTemp).batch) {
        if (!HoldsSeparatorModel(planned.newName, observation.cp932))
            names.push_back(planned.newName);
    }
    if (names.empty())
        return "";
    const std::string& name = names[static_cast<size_t>(scenario.logNewNameAt) % names.size()];
    return scenario.logOtherLetters ? Upper(name) : name;
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
void PlaceLog(const Scenario& scenario, const std::string& typedName, Observation& observation, const std::string& root,
              const std::string& folder, const std::string& elsewhere)
{
    const std::string sep(1, PathSeparator());
    switch (scenario.logPlace) {
    case LogElsewhere:
        observation.logPath = elsewhere + sep + "log.txt";
        break;
    case LogElsewhereExisting:
    case LogElsewhereUserFile:
        CreateNewFile(elsewhere, "log.txt", scenario.userFileContent, false, false);
        observation.logPath = elsewhere + sep + "log.txt";
        break;
    case LogInFolderNew:
    case LogInFolderExisting:
        observation.logPath = folder + sep + typedName;
        observation.logKey = scenario.logKey;
        observation.logName = typedName;
        break;
    case LogInFolderDotted:
        observation.logPath = folder + sep + "." + sep + typedName;
        observation.logKey = scenario.logKey;
        observation.logName = typedName;
        break;
    case LogOnANewName:
        // No batch file has a new name without a separator: the log goes elsewhere.
        observation.logPath = typedName.empty() ? elsewhere + sep + "log.txt" : folder + sep + typedName;
        observation.logKey = typedName.empty() ? std::string() : KeyOfName(observation.before, typedName);
        observation.logName = typedName;
        break;
    case LogInSubFolder:
        observation.logPath = folder + sep + NativePath(scenario.logTypedName);
        observation.logKey = scenario.logKey;
        break;
    case LogMissingFolder:
        observation.logPath = root + sep + "missing" + sep + "log.txt";
        observation.logCannotOpen = true;
        break;
    case LogIsTheFolder:
        observation.logPath = folder;
        observation.logCannotOpen = true;
        break;
    case LogEmptyPath:
        observation.logCannotOpen = true;
        break;
    case LogOtherName:
        observation.logPath = OtherPathTo(folder, scenario.logKey, elsewhere);
        observation.logKey = scenario.logKey;
        if (observation.logPath.empty())
            observation.logPath = folder + sep + scenario.logKey;
        // A short name or a final dot leads into the folder, and no new name may be that name.
        if (observation.logPath.compare(0, folder.size() + 1, folder + sep) == 0 &&
            observation.logPath.find(sep, folder.size() + 1) == std::string::npos)
            observation.logName = observation.logPath.substr(folder.size() + 1);
        break;
    }
    if (PathTooLongForEngine(observation.logPath))
        observation.logCannotOpen = true;
    observation.logExistedBefore = !observation.logPath.empty() && scenario.logPlace != LogIsTheFolder &&
                                   ReadPath(observation.logPath, observation.logBefore);
    const FileSpec* logFile = FindSpec(scenario, observation.logKey);
    observation.logMayFail = (logFile && (logFile->hidden || logFile->readOnly)) || NamesADevice(typedName);
}

// Asks the run to stop once the walk has taken the scenario's first stop step, as a user
// would at any moment.
class StopRequest : public RunProgress
{
public:
    explicit StopRequest(const Scenario& scenario) : stopAt(-1)
    {
        for (const FaultSpec& fault : scenario.faults) {
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

FaultyFileServices& WithLeadBytes(FaultyFileServices& fs, const Scenario& scenario)
{
    if (scenario.cp932LeadBytes)
        fs.UseCp932LeadBytes();
    return fs;
}

void InjectFaults(const std::vector<FaultSpec>& faults, FaultyFileServices& fs)
{
    for (const FaultSpec& fault : faults) {
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

Observation RunScenario(const Scenario& scenario, const std::string& base)
{
    Observation observation = Observation();
    const std::string sep(1, PathSeparator());
    std::string rootName = "s" + std::to_string(scenario.index);
    MakeFolder(base, rootName);
    std::string root = base + sep + rootName;
    for (size_t level = scenario.runFolderName.find('/'); level != std::string::npos;
         level = scenario.runFolderName.find('/', level + 1))
        MakeFolder(root, scenario.runFolderName.substr(0, level));
    MakeFolder(root, scenario.runFolderName);
    std::string folder = root + sep + NativePath(scenario.runFolderName);
    MakeFolder(root, "elsewhere");
    std::string elsewhere = root + sep + "elsewhere";
    // Every run keeps its record in a history of the scenario's own.
    const std::string historyFolder = root + sep + "history";
    RunHistory history(historyFolder, PlatformFileServices());

    for (const std::string& sub : scenario.subFolders)
        MakeFolder(folder, sub);
    int serial = 0;
    for (const FileSpec& file : scenario.files) {
        std::string content = "file " + std::to_string(serial++) + " of scenario " + std::to_string(scenario.index);
        // Two keys may name one file ("a/../b.txt" and "b.txt"): the first makes it, and only
        // its date is the file's.
        if (CreateNewFile(folder, file.key, file.date.head + content, file.hidden, file.readOnly, file.system) &&
            file.date.dated)
            SetWriteTime(folder, file.key, file.date.written, file.date.writtenNanoseconds);
    }

    observation.before = ReadTree(folder);
    observation.listing = ListMatching(folder, scenario.mask);
    for (Listed& listed : observation.listing) {
        if (!scenario.overlongName.empty() && listed.key == scenario.overlongName)
            listed.key = OverlongListedName(listed.key);
    }
    observation.platformUnreachable = UnreachableByPlatform(folder, scenario.mask);
    observation.cp932 = kWindows || scenario.cp932LeadBytes;
    observation.typedFolder = folder;
    for (int i = 0; i < scenario.typedSeparators; ++i)
        observation.typedFolder += sep;
    std::string entryFolder = scenario.typedSeparators > 0 ? observation.typedFolder : observation.typedFolder + sep;
    // The log lies outside the folder's tree, or is only named there, so its place can wait
    // for the folder's new names.
    PlaceLog(scenario, LogTypedName(scenario, observation, entryFolder, FirstFreeTempModel(folder)), observation, root,
             folder, elsewhere);
    // The log, where it lies in the folder before the run, is one more name the run's
    // temporary names must pass over.
    const int32_t firstTemp = FirstFreeTempModel(folder);
    bool logListed = !observation.logKey.empty() && observation.logKey.find('/') == std::string::npos &&
                     observation.before.count(observation.logKey);
    observation.expected = ExpectRun(scenario, observation.listing, logListed ? observation.logKey : std::string(),
                                     observation.logName, entryFolder, observation.cp932, firstTemp);
    for (const Planned& planned : observation.expected.batch)
        observation.batchContents[planned.key] = observation.before[planned.key].content;

    RenameJob job;
    job.folder = observation.typedFolder.c_str();
    job.mask = scenario.mask.c_str();
    job.SplitPattern(scenario.pattern.c_str());
    job.startNumber = static_cast<int32_t>(scenario.startNumber);
    job.padDigits = scenario.padDigits ? 1 : 0;
    job.digitCount = scenario.digitCount;
    job.order = scenario.order;
    job.sameNumberForSameName = scenario.sameNumber;
    job.logPath = observation.logPath.c_str();

    FaultyFileServices fs(PlatformFileServices());
    WithLeadBytes(fs, scenario);
    // As the file's date, whether it is a placeholder is the first key's that names it.
    std::set<std::string> placeholders;
    std::set<std::string> named;
    for (const FileSpec& file : scenario.files) {
        if (named.insert(NameInFolder(file.key)).second && file.date.offline)
            placeholders.insert(NameInFolder(file.key));
    }
    fs.adjustFound = [&scenario, &placeholders](FoundFile& found) {
        found.offline = placeholders.count(found.name) != 0;
        if (scenario.questionMarksUnreachable && std::strchr(found.name, '?'))
            found.unreachable = true;
        if (!scenario.overlongName.empty() && scenario.overlongName == found.name) {
            std::string name = OverlongListedName(found.name);
            std::memcpy(found.name, name.c_str(), name.size() + 1);
        }
        // Windows lists the attributes the folder helper set; natively the listing is told,
        // by the name listed, as the oracle finds the file.
        if (!kWindows) {
            found.hiddenSystem = MadeHiddenSystem(scenario, found.name);
        }
    };
    {
        FaultyFileServices calm(PlatformFileServices());
        WithLeadBytes(calm, scenario).adjustFound = fs.adjustFound;
        calm.beforeCall = [&](FileCall call, int, const char* first, const char*) {
            if (call == CallOpenRead && placeholders.count(FinalComponent(first, calm)))
                observation.openedPlaceholder = true;
        };
        PreviewRun(job, calm, scenario.randomStateBefore, observation.preview, nullptr, &history);
        observation.afterPreview = ReadTree(folder);
        Scenario withoutFaults = scenario;
        withoutFaults.faults.clear();
        observation.expectedWithoutFaults =
            ExpectRun(withoutFaults, observation.listing, logListed ? observation.logKey : std::string(),
                      observation.logName, entryFolder, observation.cp932, firstTemp);
    }
    InjectFaults(scenario.faults, fs);

    OtherProgram intruder(scenario, observation, folder, entryFolder, fs);
    const UndoScenario undoScenario = MakeUndoScenario(scenario);
    ProcessDeath death(undoScenario, fs, entryFolder);
    RecordSeam seam(fs, historyFolder, death);
    const PowerScenario powerDrawn = MakePowerScenario(scenario);
    PowerCut power(powerDrawn.runAt, powerDrawn.kind);
    power.Watch(fs);
    power.Watch(seam.recordFs);
    seam.recordFs.beforeCall = [&power](FileCall call, int, const char*, const char*) { power.BeforeCall(call); };
    const int items = static_cast<int>(scenario.files.size()) + 5;
    const int bound = 20 * items * items;
    int operations = 0;
    fs.beforeCall = [&](FileCall call, int nth, const char* first, const char* second) {
        if ((call == CallMove || call == CallExists) && ++operations == bound) {
            // The walk does not end: let every further step fail so that it must.
            observation.runaway = true;
            fs.InjectFrom(CallMove, 1, FaultFail);
            fs.InjectFrom(CallExists, 1, FaultFail);
        }
        if (call == CallMove && !observation.runaway && !death.Dead())
            intruder.BeforeMove(nth, second);
        if (call == CallMove && !observation.logName.empty() &&
            std::strncmp(second, entryFolder.c_str(), entryFolder.size()) == 0 &&
            CaseFolded(NameAsStored(second + entryFolder.size())) == CaseFolded(NameAsStored(observation.logName)))
            ++observation.movesOntoLogName;
        death.BeforeCall(call, nth, first, second);
        power.BeforeCall(call);
        if (call == CallOpenRead && placeholders.count(FinalComponent(first, fs)))
            observation.openedPlaceholder = true;
    };

    nextTempNumber = scenario.tempNumberBefore;
    randomState = scenario.randomStateBefore;
    // The window's question before the run, answered as the scenario says.
    observation.asked = LogPathHoldsOtherFile(observation.logPath.c_str(), PlatformFileServices());
    observation.declined = observation.asked && !scenario.toldYes;
    EntryList list;
    if (!observation.declined) {
        HeldFiles held(scenario, observation, folder, entryFolder, fs);
        StopRequest stop(scenario);
        observation.ran = RunRename(job, list, seam, observation.outcome, &stop, &history);
        observation.faultsFired = FaultsFired(scenario, fs, intruder.fired, observation.outcome) + held.count;
    }
    power.Cut();
    observation.historyPhase.powerCuts = power.Fired() ? 1 : 0;
    observation.logWrites = fs.Calls(CallWriteLog);

    observation.after = ReadTree(folder);
    observation.logReadable = !observation.logPath.empty() && scenario.logPlace != LogIsTheFolder &&
                              ReadPath(observation.logPath, observation.logText);
    bool createdUnlessRefused = fs.Calls(CallCreateLog) > 0;
    for (const FaultSpec& fault : scenario.faults)
        createdUnlessRefused = createdUnlessRefused && fault.kind != FaultLogNotCreated;
    observation.logCreated = createdUnlessRefused && observation.logReadable &&
                             (!observation.logExistedBefore || observation.logText != observation.logBefore);
    if (!RunHistoryPhase(scenario, undoScenario, job, fs, seam, folder, entryFolder, observation))
        RunUndoPhase(scenario, undoScenario, folder, entryFolder, death, observation);
    RemoveTree(root);
    return observation;
}
