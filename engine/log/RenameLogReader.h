#ifndef QUILLOWBY_ENGINE_LOG_RENAME_LOG_READER_H
#define QUILLOWBY_ENGINE_LOG_RENAME_LOG_READER_H

#include "engine/log/LogFormat.h"
#include "engine/platform/FileServices.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <utility>
#include <vector>

// One step line of a rename log.
struct LoggedStep
{
    std::string from;
    std::string to;
    // Why the step did not happen; empty for a step that did.
    std::string failure;
    // The line was cut short after its first name, before anything told that its step failed:
    // the file may have gone from that name to one the log does not hold whole (to is empty).
    bool cut = false;
    // Written ahead of its move in a batch that has no kMovesMadeLine after it.
    bool uncertain = false;

    bool Failed() const { return !failure.empty(); }
    // The line takes back the same step written ahead earlier, which was not made.
    bool NotMade() const;
};

// Tells a rename log (LogFormat.h) from any other file, byte by byte as the file is read, and
// keeps the steps an undo needs.
class RenameLogParser
{
public:
    // steps, when given, receives the complete step lines of the last two acts (the record
    // an unfinished undo was taking back, and that undo) in the order of the file, and the
    // step of a line cut short where it may have moved a file (LoggedStep::cut). fs tells a
    // full path and the code page's lead bytes.
    explicit RenameLogParser(const FileServices& fs, std::vector<LoggedStep>* steps = nullptr);

    // False once the bytes so far cannot begin a rename log; later bytes are not looked at.
    bool Feed(const char* bytes, size_t count);
    // After the last bytes: whether all of them make a rename log.
    bool IsRenameLog() const;
    // The folder line, without its CR LF.
    const std::string& Folder() const { return folder; }
    // The file stops inside a line.
    bool CutShort() const { return inHeader || !line.empty(); }
    // The bytes that end the line the file stops in, or the undo's folder line or finishing
    // line it stops in (nothing when it stops at a line's end).
    std::string Completion() const;
    // Reads the Completion as if it had been written where the file stops (the NUL bytes it
    // ends in cut off), as an undo writes it first; returns it. A line cut short after its
    // first name is known for one only now: once ended, "a" cut short reads as "a<TAB>".
    std::string Complete();
    // The run's record and one for every undo after it.
    int Sections() const { return sections; }
    // Where, in steps, the last act begins.
    size_t LastActStart() const { return lastActStart; }
    // The last section is an undo's that did not finish.
    bool LastActOpen() const { return sections > 1 && !finished; }
    // The last section is an undo's and holds nothing after its folder line.
    bool LastSectionEmpty() const { return sections > 1 && !inHeader && sectionLines == 0 && line.empty(); }
    // The run's section ends with kRunFinishedLine.
    bool RunFinished() const { return runFinished; }
    // The run and every undo after it that finished, and one that did not: an odd number
    // leaves the run's names in force (a finished undo of an undo made the run again).
    int Acts() const { return 1 + closedUndoActs + (LastActOpen() ? 1 : 0); }
    // The record is written ahead of its moves (kMovesMadeLine right after the folder line).
    bool WritesAhead() const { return writesAhead; }
    // Tells the run apart from another run by its first whole step line that moved a file:
    // equal for the log at the log path and the history's copy of one run, though one of them
    // lost lines at its end, had its last line, cut short, ended by an undo, or, written ahead
    // of its moves, holds the lines of steps that moved nothing in another order.
    uint64_t RunKey() const;
    // Bytes fed so far, up to the NUL bytes the file ends in.
    size_t Size() const { return size; }
    // The file ends in NUL bytes (a power cut left them): it is read as if it ended where
    // they begin.
    bool EndsInNuls() const { return endsInNuls; }

private:
    bool TakeFolderByte(char c);
    bool TakeHeaderByte(char c);
    bool TakeBodyByte(char c);
    bool TakeLine(const std::string& text);
    void StartSection();
    void KeepCutStep(const std::string& text);
    // The line that ends the section the file is in, once it is through.
    const char* FinishingLine() const { return sections == 1 ? kRunFinishedLine : kUndoFinishedLine; }
    // What a line the file stops in that begins with a TAB is the beginning of.
    const char* TabLineBegun() const;
    void MarkUncertain();
    void NoteKeyLine(const std::string& text, const LoggedStep& step);

    const FileServices* fs;
    std::vector<LoggedStep>* steps;
    std::string folder;
    std::string line;
    // An undo's empty line and folder line, and how far the file has come into them.
    std::string header;
    size_t headerAt;
    size_t size;
    size_t lastActStart;
    int sections;
    int sectionLines;
    // Whole step lines so far: a line cut short comes after one.
    int wholeSteps;
    bool inFolder;
    bool inHeader;
    bool finished;
    // The last line was cut short and ended; it holds no step.
    bool afterCutLine;
    bool endsInNuls;
    bool runFinished;
    bool writesAhead;
    // Where in steps the steps after the last section's last kMovesMadeLine begin.
    size_t madeUpTo;
    // Steps of earlier sections of the open act that no kMovesMadeLine of a later one
    // confirmed: an undo confirms what it read before its first move.
    std::vector<std::pair<size_t, size_t>> pending;
    int closedUndoActs;
    // The run's first step line that moved a file, once it is known; written ahead, a step is
    // known to have moved its file at the kMovesMadeLine after it, unless a line took it back.
    std::string keyLine;
    std::vector<std::string> keyCandidates;
    bool broken;
    // Complete is reading the end of a line cut short after its first name.
    bool completing;
};

// Whether the path names an existing file that is not a rename log: the file a run would
// empty though no run wrote it. A file that cannot be read whole is not known to be a log.
// No file at all, or a folder, is not such a file.
bool LogPathHoldsOtherFile(const char* path, FileServices& fs);

// Reads the file at path through the parser. False when it cannot be opened or read.
bool ReadRenameLog(const char* path, FileServices& fs, RenameLogParser& parser);

#endif
