#ifndef QUILLOWBY_TESTS_STRESS_OTHER_PROGRAM_H
#define QUILLOWBY_TESTS_STRESS_OTHER_PROGRAM_H

#include "tests/stress/Dice.h"
#include "tests/stress/ScenarioRun.h"

#include <set>
#include <string>
#include <vector>

class FaultyFileServices;
struct Scenario;

// What another program does to the folder while the engine works in it: creates the target
// of a move just before the move, deletes or renames a file of the batch. Every deed is
// recorded in the observation, with the number of log lines written by then.
class OtherProgram
{
public:
    OtherProgram(const Scenario& scenario, Observation& observation, const std::string& folder,
                 const std::string& entryFolder, FaultyFileServices& fs);

    // Called before the nth move of the run, which goes to `to`.
    void BeforeMove(int nth, const char* to);

    // The scenario's faults (by index) that took place.
    std::set<size_t> fired;

private:
    OtherProgram(const OtherProgram&);
    OtherProgram& operator=(const OtherProgram&);

    void CreateAt(const char* to, size_t fault);
    void TouchBatchFile(bool remove, size_t fault);
    std::string RenameTarget();
    void Record(ExternalEvent::Kind kind, const std::string& key, const std::string& to, const std::string& content);

    const Scenario& scenario;
    Observation& observation;
    std::string folder;
    std::string entryFolder;
    FaultyFileServices& fs;
    Dice random;
    std::set<std::string> contents;
    int serial;
};

// Files another program holds open for the whole run. Where holding a file open does not stop
// a move, the file services refuse every move of it instead.
class HeldFiles
{
public:
    HeldFiles(const Scenario& scenario, Observation& observation, const std::string& folder,
              const std::string& entryFolder, FaultyFileServices& fs);
    ~HeldFiles();

    int count;

private:
    HeldFiles(const HeldFiles&);
    HeldFiles& operator=(const HeldFiles&);

    std::vector<void*> open;
    std::set<std::string> refused;
};

#endif
