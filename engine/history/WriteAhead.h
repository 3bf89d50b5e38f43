#ifndef QUILLOWBY_ENGINE_HISTORY_WRITE_AHEAD_H
#define QUILLOWBY_ENGINE_HISTORY_WRITE_AHEAD_H

#include "engine/NameHashes.h"
#include "engine/platform/ForwardingFileServices.h"

#include <string>
#include <vector>

class LogWriter;

// The file services a walk moves files through when its record is written ahead: no file
// moves before a line of the record on the disk names that move, so that after a power cut
// the record holds every move made. The walk says which moves it expects next (Expect), as
// its own steps take them; they are announced in one batch and one flush. A move that was not
// expected is announced alone before it is made, so a wrong guess costs a flush, never a move
// the record misses. Within a batch no name comes twice: after a power cut the names on the
// disk tell which of its moves were made.
class WriteAhead : public ForwardingFileServices
{
public:
    // folder: the walk's folder as its entries join it to their names.
    WriteAhead(FileServices& real, LogWriter& log, const char* folder);

    // Learns the names of the folder, so that the guesses need no disk: from the run's own
    // listing when it took every name (listed), else from one listing of the folder.
    void Survey(NameHashes* listed = nullptr);
    // Every announced move is made or taken back: the walk may expect the next ones.
    bool Idle() const { return next == batch.size(); }
    // The step of a file now at current that is due at wanted, as a step takes it: straight
    // there where the name is free, otherwise aside under the next free temporary name.
    // False, with nothing expected, once the batch is full or a name of it would come twice.
    bool Expect(const char* current, const char* wanted);
    // Ends the last batch (Close) and writes the one expected to the disk.
    void Announce();
    // Takes back every announced move not made and says the rest are made: when the walk
    // stops, ends, or moves what it did not expect.
    void Close();

    MoveResult Move(const char* from, const char* to, int& error) override;

private:
    struct Expected
    {
        std::string from;
        std::string to;
    };

    const char* NameIn(const char* path) const;
    void Learn(const char* from, const char* to);

    LogWriter& log;
    std::string folder;
    // The folder with its final separator.
    std::string prefix;
    // The names of the folder, short names too; kept up to date with every move made.
    NameHashes names;
    // The moves announced in this batch, and the next one due.
    std::vector<Expected> batch;
    size_t next;
    // The moves expected, not yet announced, and every name they touch.
    std::vector<Expected> expected;
    NameHashes expectedNames;
    // The temporary number the next move aside takes, as the walk will count it.
    int32_t tempNumber;
    bool tempNumberSet;
};

#endif
