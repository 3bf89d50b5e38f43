#ifndef QUILLOWBY_ENGINE_LOG_LOG_FORMAT_H
#define QUILLOWBY_ENGINE_LOG_LOG_FORMAT_H

#include "engine/platform/FileServices.h"

#include <string>

// The rename log, as LogWriter writes it and RenameLogParser reads it back: lines of bytes in
// the ANSI code page, each ended by CR LF.
// - Names are in the engine's form. A character the code page holds exactly (its bytes lead
//   back to that very character, not to a look-alike) is its bytes; any other is written
//   "<U+XXXX>": "U+", then the code point in upper-case hexadecimal, four digits below
//   U+10000 and no leading zero above ("<U+00E9>" for an accented e, "<U+1F600>" for an emoji
//   of a surrogate pair, "<U+D800>" for a surrogate that comes unpaired), so that every
//   character has one spelling. "<" is never part of a Windows name, so the form cannot be
//   taken for one; should a name hold one all the same, it is written "<U+003C>". Such names
//   sort by these bytes like any other, and the platform turns them back into the exact
//   UTF-16 name (NameEscape.h reads and writes one escape).
// - The folder line: the folder exactly as the run was given it, with or without a final
//   separator (that is the user's typing, so nothing is asked of its last byte), none of its
//   bytes a TAB or another control byte. Read back, it must be a full path (IsFullPath: a
//   drive letter, a colon and a separator, or "\\server\share"; "/" first on POSIX): a log of a
//   folder typed without its top, and a note whose first line is any word, are none.
// - Then a step line for every step, written after the step's move: the name before, TAB,
//   kStepArrow, TAB, the name after (FormatStepLine). A step that did not happen adds TAB and
//   why: one of the texts of StepFailureText, with " (error N)" when the platform gave an
//   error code, and nothing else (IsStepFailureReason). Names and reason are at least one byte
//   long and hold no control byte; a line is shorter than kStepLineSize.
// - An undo keeps the record it takes back and appends its own as a further section: an empty
//   line, the first section's folder line again (SectionHeader), its step lines in the same
//   form, and, once it is through, kUndoFinishedLine. A section that another one follows holds
//   at least one line after its folder line. A finished undo is taken back as a whole by the
//   next undo; one that is not finished (killed, the power gone, or stopped) is finished by
//   the next one, whose section follows it in the same way: the undo's sections up to the
//   first finished one make one act.
// - The history of runs keeps a copy of every run's record (RunHistory.h) whose folder line is
//   the folder's full path, and whose run, once it is through, ends its first section with
//   kRunFinishedLine; the log at the log path never holds that line. A record is written ahead
//   of its moves (WriteAhead.h): kMovesMadeLine right after its folder line says so. Then the
//   step lines of a batch of moves are on the disk before those moves are made, and
//   kMovesMadeLine after them says they are made; a step announced and then not made is
//   followed by its line again with the reason FailureNotMade, which takes it back. Steps
//   after the last kMovesMadeLine of an act that did not finish may or may not have been made:
//   within one batch no name comes twice, so the names on the disk tell which.
// - Cut lines. A crash may stop the file anywhere after its first whole step line: inside a
//   step line (a reason as far as it came begins one of the texts), inside an undo's empty
//   line, folder line or finishing line. A line the file stops in before its CR names no move
//   for sure: it is no step. An undo ends such a line before it writes: "\n" after a CR (the
//   line was written whole, and is the step it reads as); otherwise so that the line cannot
//   read as a step (a TAB before the CR LF when it would). A line so ended holds no step; only
//   an undo's empty line or kUndoFinishedLine follows it, or the end of the file.
//   Its move may have happened all the same, so a line cut short after its first name and
//   its TAB, with no reason begun, names a file that may have gone from that name to one the
//   log does not hold whole. The undo never guesses which: it leaves that file alone wherever
//   it is, with its earlier steps, and names it as not back (its name before the record) in
//   its result and in its section, a line from that name to itself, "file not where the log
//   says". A temporary file it may have gone to is named too, as one no line accounts for.
//   Once ended, a line cut right after its first name ("a<TAB>") cannot be told from one cut
//   inside it ("a" of "a.txt", ended by the TAB): only the undo that finds it unended names it.
// - A power cut can leave NUL bytes where the end of the file should be: a file that ends in
//   a run of them is read as if it ended where they begin, and an undo cuts them off before
//   it writes. A NUL byte with anything but NUL bytes after it belongs to no rename log.
// - A rename log is exactly that and nothing else, so that a note of the user's at the log
//   path is never taken for one. An empty file counts (a log that could not take its first
//   write); otherwise the file goes at least as far as its first whole step line: a folder
//   line alone is a line of text as much as a log (a run that found no file writes nothing
//   more), a text's one line is never taken for one, and neither is a line cut short with no
//   whole step line before it.
// Control bytes are never the second byte of a double-byte character, so the bytes can be
// read without knowing the code page.

// What ends every line of the log.
extern const char kLineEnd[];

// Between a step line's two names.
extern const char kStepArrow[];

// The line a finished undo ends its section with. It begins with a TAB, which no step line
// does, so that even a part of it cannot be taken for the beginning of a step.
extern const char kUndoFinishedLine[];

// The line a run that went through ends its record in the history with; a TAB first, as above.
extern const char kRunFinishedLine[];

// The line that ends a batch of moves made (see above); a TAB first.
extern const char kMovesMadeLine[];

// Why a step did not happen, as its line says.
enum StepFailure
{
    FailureNone,
    FailureMove,
    FailureNewNameTaken,
    FailureNoTemporaryName,
    // The file was taken away from its name, and another file stands there.
    FailureAnotherFileThere,
    // A file under a temporary name could not be put back.
    FailureOriginalNameTaken,
    FailureMoveBack,
    FailureBothNamesTaken,
    // Left out of a run's batch.
    FailureNameNotRepresentable,
    FailureNameTooLong,
    // The folder's path with the name is longer than the file calls take.
    FailurePathTooLong,
    // Steps an undo does not take back, and files it finds that no line names.
    FailureNotWhereLogSays,
    FailureLaterStepKept,
    FailureUnaccounted,
    // A step written ahead of its move that was not made after all.
    FailureNotMade,
    StepFailureCount
};

// The reason's text in a step line; null for FailureNone.
const char* StepFailureText(StepFailure failure);
// Whether reason is a step line's reason: one of the texts of StepFailureText, alone or with
// " (error N)". cut: whether reason is the beginning of one, as far as a crash let it come.
bool IsStepFailureReason(const std::string& reason, bool cut);

// Room for the longest step line and its NUL: two names as long as a listing gives them, and
// a reason.
const int kStepLineSize = 2 * kFoundNameSize + 128;

// One step line into line; returns its length.
int FormatStepLine(char (&line)[kStepLineSize], const char* from, const char* to, StepFailure failure, int error);

// What begins an undo's section: the empty line and the folder line.
std::string SectionHeader(const std::string& folder);

#endif
