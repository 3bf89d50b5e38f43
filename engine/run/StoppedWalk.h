#ifndef QUILLOWBY_ENGINE_RUN_STOPPED_WALK_H
#define QUILLOWBY_ENGINE_RUN_STOPPED_WALK_H

class EntryList;
class FileServices;
class LogWriter;
class RunProgress;
class WriteAhead;
struct RunOutcome;

// Ends a walk that was asked to stop before list position from. Files not yet moved keep
// their names. Each file waiting under a temporary name goes on to its new name or back to
// its original one, whichever is free; when several want the same free name, the names are
// shared out so that as few files as possible stay behind, the new name first where there
// is a choice. Only a file whose two names are both taken stays under its temporary name;
// a temporary name that another file has come to hold moves nothing.
// Every move is logged; the entries from position from on are released. progress, when
// given, is told how many of the waiting files have been seen to. ahead, when given, is the
// record written ahead, and fs moves through it.
void SettleStoppedWalk(EntryList& list, int from, LogWriter& log, FileServices& fs, RunOutcome& outcome,
                       RunProgress* progress = nullptr, WriteAhead* ahead = nullptr);

#endif
