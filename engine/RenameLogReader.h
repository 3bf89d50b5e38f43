#ifndef QUILLOWBY_ENGINE_RENAME_LOG_READER_H
#define QUILLOWBY_ENGINE_RENAME_LOG_READER_H

#include "engine/FileServices.h"

#include <cstddef>
#include <string>
#include <vector>

// One step line of a rename log.
struct LoggedStep
{
    std::string from;
    std::string to;
    // Why the step did not happen; empty for a step that did.
    std::string failure;

    bool Failed() const { return !failure.empty(); }
};

// Tells a rename log from any other file, byte by byte as the file is read, and keeps its
// folder and steps for whoever wants to read them back.
//
// What counts as a rename log: exactly what a run writes, possibly cut short by a crash.
// - An empty file (a log that could not take its first write).
// - A first line holding the folder: at least one byte, none of them a TAB or another
//   control byte, ended by CR LF. It is written before any step, so a file whose first line
//   is cut short logged nothing and need not be taken for a log.
// - Then only step lines: a name, TAB, "->", TAB, a name, and for a step that did not happen
//   TAB and the reason; names and reason are at least one byte long and hold no control
//   byte; the line ends in CR LF and is no longer than one formatted line (1024 bytes).
// - The last line may stop anywhere before its end.
// - An undo keeps the record it took back and appends its own as a further section: an
//   empty line, then the folder line and the undo's step lines as above. When the record
//   before it stopped inside a line, the undo ends that line first, so a line that begins a
//   step but stops short of one may stand right before the empty line; it holds no step.
//   (Ended, a cut line may also read as a step; it belongs to a record already taken back.)
// Control bytes are never the second byte of a double-byte character, so the bytes can be
// read without knowing the code page.
class RenameLogParser
{
public:
    // steps, when given, receives every complete step line of the last section in the order
    // of the file.
    explicit RenameLogParser(std::vector<LoggedStep>* steps = nullptr);

    // False once the bytes so far cannot begin a rename log; later bytes are not looked at.
    bool Feed(const char* bytes, size_t count);
    // After the last bytes: whether all of them make a rename log.
    bool IsRenameLog() const;
    // The folder line of the last section, without its CR LF.
    const std::string& Folder() const { return folder; }
    // The file stops inside a line; that line is not among the steps.
    bool CutShort() const { return !line.empty(); }
    // The bytes that end the line the file stops in (nothing when it stops at a line's end).
    const char* EndOfCutLine() const;
    // The run's record and one for every undo after it.
    int Sections() const { return sections; }

private:
    bool TakeFolderByte(char c);
    bool TakeStepByte(char c);
    bool TakeLine();

    std::vector<LoggedStep>* steps;
    std::string folder;
    std::string line;
    int sections;
    bool inFolder;
    // The last line began a step and stopped short of it; only a new section may follow.
    bool afterCutLine;
    bool lineHasTab;
    bool broken;
};

// Whether the path names an existing file that is not a rename log: the file a run would
// empty though no run wrote it. A file that cannot be read whole is not known to be a log.
// No file at all, or a folder, is not such a file.
bool LogPathHoldsOtherFile(const char* path, FileServices& fs);

// Reads the file at path through the parser. False when it cannot be opened or read.
bool ReadRenameLog(const char* path, FileServices& fs, RenameLogParser& parser);

#endif
