#ifndef QUILLOWBY_TESTS_STRESS_SCENARIO_H
#define QUILLOWBY_TESTS_STRESS_SCENARIO_H

#include <cstdint>
#include <string>
#include <vector>

class Dice;

// What a file of the date and natural orders' scenarios holds and when it was last written.
enum TakenModel
{
    TakenAbsent,     // no date taken that can be read
    TakenAsWritten,  // the camera's clock, no offset
    TakenOffset,     // the camera's clock, offsetMinutes ahead of UTC
    TakenInUtc       // a video's creation time
};

struct DateSpec
{
    bool dated;
    int64_t written;  // UTC seconds from 1970
    int32_t writtenNanoseconds;
    // The file's head as a camera writes it ("" for none); the file's own text follows.
    std::string head;
    TakenModel taken;
    int64_t takenSeconds;  // as written, seconds from 1970 as if UTC
    int32_t takenNanoseconds;
    int offsetMinutes;
    // Listed as a cloud placeholder: it must never be opened.
    bool offline;
};

struct FileSpec
{
    std::string key;  // a key of StressFolder.h, "/" inside a sub-folder
    bool hidden;
    bool readOnly;
    // Marked system as well as hidden, as Windows marks desktop.ini: the run leaves it out.
    bool system;
    DateSpec date;
};

// Where the job's log path points.
enum LogPlace
{
    LogElsewhere,          // a file in a folder of its own
    LogElsewhereExisting,  // the same, holding an earlier log
    LogInFolderNew,        // a name in the run's folder that nothing holds yet
    LogInFolderExisting,   // a file of the folder (the path may spell it in other letter case)
    LogInFolderDotted,     // a file of the folder, reached through "<folder>/./<name>"
    LogInSubFolder,        // a file inside a sub-folder of the run's folder
    LogMissingFolder,      // inside a folder that does not exist
    LogIsTheFolder,        // the run's folder itself
    LogEmptyPath,
    LogElsewhereUserFile,  // a file in a folder of its own holding a user's document
    LogOtherName,          // a file of the folder, reached under another name (OtherPathTo)
    LogOnANewName          // a name of the run's folder the batch wants; the log cannot be created there
};

enum FaultKind
{
    FaultMoveFails,        // the nth move fails, nothing moved
    FaultMoveSaysTaken,    // the nth move answers "target taken", nothing moved
    FaultExistsErrs,       // the nth existence test errs (answers "no such name")
    FaultExistsSaysTaken,  // the nth existence test answers "exists"
    FaultLogNotCreated,
    FaultLogWritesStop,   // the nth write and every later one are refused
    FaultTargetAppears,   // another program creates the target of the nth move just before it
    FaultFileDeleted,     // another program deletes a file of the batch before the nth move
    FaultFileRenamed,     // another program renames a file of the batch before the nth move
    FaultFolderTestErrs,  // the folder test at the start answers "no such folder"
    FaultListingBreaks,   // the nth search step reports an error
    FaultSearchFails,     // the search does not start
    FaultFileHeldOpen,    // another program holds a file open: it cannot be moved (nth picks it)
    FaultStopRequested,   // the user asks the run to stop after the nth rename step
    FaultKindCount
};

struct FaultSpec
{
    FaultKind kind;
    int nth;
};

struct Scenario
{
    uint64_t seed;
    uint64_t index;

    // The run's folder inside the scenario's own folder; its name may end in a double-byte
    // character whose second byte is the separator's. Now and then (Windows) deep below
    // folders of its own, "/" between them.
    std::string runFolderName;
    // Separators typed behind the folder's name: none, one, or two.
    int typedSeparators;
    std::vector<std::string> subFolders;
    std::vector<FileSpec> files;
    // Natively: the names holding "?" are reported as unreachable, as Windows does.
    bool questionMarksUnreachable;
    // Natively: the name splitter knows code page 932's lead bytes.
    bool cp932LeadBytes;
    // Natively: the search reports this file under a name longer than 255 bytes, as Windows
    // does for long double-byte names ("" for none).
    std::string overlongName;

    std::string mask;
    std::string pattern;
    uint32_t startNumber;
    bool padDigits;
    int digitCount;
    int order;
    // Files whose names are equal but for their extensions take one number.
    bool sameNumber;

    LogPlace logPlace;
    // The log's name in the folder (or sub-folder "/" name) for the places inside the folder.
    std::string logKey;
    std::string logTypedName;
    // What the user's document (LogElsewhereUserFile) or the earlier log
    // (LogElsewhereExisting) at the log path holds.
    std::string userFileContent;
    // The answer to the window's question before a file at the log path that is no rename
    // log is emptied.
    bool toldYes;
    // LogOnANewName: the new name of the batch file at this position (of those whose new
    // names hold no separator), in other letters when asked; -1: logTypedName, the first
    // temporary name of the walk.
    int logNewNameAt;
    bool logOtherLetters;

    std::vector<FaultSpec> faults;

    // The process-wide counters as the run finds them.
    int32_t tempNumberBefore;
    uint32_t randomStateBefore;
};

// photos: now and then the files of one photo under one number, or a name that writes the
// date (see ChoosePhotos); without them a seed gives the scenarios it gave before they came.
Scenario MakeScenario(uint64_t seed, uint64_t index, bool photos = true);

// The name a file of the scenario has in the run's folder: "a/../b.txt" is b.txt there.
std::string NameInFolder(const std::string& key);

// The name in capitals, as far as the platform takes bytes for letters.
std::string Upper(const std::string& text);

// The name the search reports for the scenario's overlongName.
std::string OverlongListedName(const std::string& name);

const char* FaultName(FaultKind kind);
const char* LogPlaceName(LogPlace place);
// Bytes outside printable ASCII as \xHH, so any name prints.
std::string Printable(const std::string& bytes);
std::string Describe(const Scenario& scenario);

#endif
