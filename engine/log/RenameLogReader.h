#ifndef QUILLOWBY_ENGINE_LOG_RENAME_LOG_READER_H
#define QUILLOWBY_ENGINE_LOG_RENAME_LOG_READER_H

#include "engine/platform/FileServices.h"

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

// The line a finished undo ends its record with. It begins with a TAB, which no step line
// does, so that even a part of it cannot be taken for the beginning of a step.
extern const char kUndoFinishedLine[];

// Tells a rename log from any other file, byte by byte as the file is read, and keeps the
// steps an undo needs. What counts as a rename log is exactly what this program writes,
// possibly cut short by a crash:
// - An empty file (a log that could not take its first write).
// - A first line holding the folder exactly as the run was given it: at least one byte,
//   none of them a TAB or another control byte, ended by CR LF. Whether it ends in a
//   separator is the user's typing, so nothing is asked of its last byte.
// - Then step lines: a name, TAB, "->", TAB, a name, and for a step that did not happen TAB
//   and the reason; names and reason are at least one byte long and hold no control byte;
//   the line ends in CR LF and is no longer than one formatted line (1024 bytes).
// - An undo keeps the record it took back and appends its own as a further section: an
//   empty line, the first section's folder line again, its step lines, and, once it is
//   through, kUndoFinishedLine. A section that another one follows holds at least one line
//   after its folder line.
// - The file goes at least as far as its first step line's TAB: a folder line alone is a
//   line of text as much as a log (a run that found no file writes nothing more), and a
//   text's one line is never taken for one. After that TAB it may stop anywhere: inside a
//   step line (before its TAB only when a step line came before it), inside an undo's empty
//   line, folder line or finishing line. A step line is written after its move, so a line
//   the file stops in before its CR names no move for sure: it is no step.
// - An undo ends such a cut line before it writes: "\n" after a CR (the line was written
//   whole, and is the step it reads as); otherwise so that the line cannot read as a step
//   (a TAB before the CR LF when it would). A line so ended holds no step; only an undo's
//   empty line or kUndoFinishedLine follows it, or the end of the file.
// - A finished undo is taken back as a whole by the next undo. An undo that is not finished
//   (killed, the power gone, or stopped) is finished by the next one, whose section follows
//   it in the same way: the undo's sections up to the first finished one make one act.
// Control bytes are never the second byte of a double-byte character, so the bytes can be
// read without knowing the code page.
class RenameLogParser
{
public:
    // steps, when given, receives the complete step lines of the last two acts (the record
    // an unfinished undo was taking back, and that undo) in the order of the file.
    explicit RenameLogParser(std::vector<LoggedStep>* steps = nullptr);

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
    // The run's record and one for every undo after it.
    int Sections() const { return sections; }
    // Where, in steps, the last act begins.
    size_t LastActStart() const { return lastActStart; }
    // The last section is an undo's that did not finish.
    bool LastActOpen() const { return sections > 1 && !finished; }
    // The last section is an undo's and holds nothing after its folder line.
    bool LastSectionEmpty() const { return sections > 1 && !inHeader && sectionLines == 0 && line.empty(); }
    // Bytes fed so far.
    size_t Size() const { return size; }

private:
    bool TakeFolderByte(char c);
    bool TakeHeaderByte(char c);
    bool TakeBodyByte(char c);
    bool TakeLine(const std::string& text);
    void StartSection();

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
    // Lines with a TAB so far: step lines and lines cut short and ended.
    int tabLines;
    bool inFolder;
    bool inHeader;
    bool finished;
    // The last line was cut short and ended; it holds no step.
    bool afterCutLine;
    bool broken;
};

// Whether the path names an existing file that is not a rename log: the file a run would
// empty though no run wrote it. A file that cannot be read whole is not known to be a log.
// No file at all, or a folder, is not such a file.
bool LogPathHoldsOtherFile(const char* path, FileServices& fs);

// Reads the file at path through the parser. False when it cannot be opened or read.
bool ReadRenameLog(const char* path, FileServices& fs, RenameLogParser& parser);

#endif
