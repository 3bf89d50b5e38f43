#ifndef QUILLOWBY_TESTS_STRESS_RUN_CHECK_H
#define QUILLOWBY_TESTS_STRESS_RUN_CHECK_H

#include "tests/stress/ScenarioRun.h"
#include "tests/support/StepLines.h"

#include <set>
#include <string>
#include <vector>

// One run under judgement: the parts of the check add their breaches here in turn, and hand
// on what a later part needs.
struct RunCheck
{
    // The log file's name in the folder is left out of the comparisons when the run wrote its
    // log there; a log that was never created leaves whatever held that name alone.
    RunCheck(const Scenario& scenario, const Observation& observation)
        : scenario(scenario), observation(observation), logFile(observation.logCreated ? observation.logKey : "")
    {
    }
    void Breach(const std::string& text) { breaches.push_back(text); }

    const Scenario& scenario;
    const Observation& observation;
    const std::string logFile;
    std::vector<std::string> breaches;
    // Left by CheckBatch: files of the batch not under their new names after the run, and the
    // temporary names files were left under.
    std::vector<std::string> notArrived;
    std::set<std::string> leftOnTemporaryNames;
    // What may have kept a file from its new name, "" when nothing may.
    std::string obstacle;
};

bool IsTopLevel(const std::string& key);
std::string Quoted(const std::string& name);
// One breach, at the first difference, when the trees differ.
void CompareTrees(RunCheck& check, const Tree& before, const Tree& after, const std::string& what);

// UnstartedRunCheck.cpp: the question, a run told No, a run that refused to start.
void CheckQuestion(RunCheck& check);
void CheckDeclinedRun(RunCheck& check);
void CheckRefusedRun(RunCheck& check);
// PreviewCheck.cpp
void CheckPreview(RunCheck& check);
// ContentsCheck.cpp: every file once, nothing lost, nothing outside the batch touched.
void CheckContents(RunCheck& check);
void CheckOutsideBatch(RunCheck& check);
// BatchCheck.cpp: where each file of the batch ended, and the counts of the outcome.
void CheckBatch(RunCheck& check);
// StepCountCheck.cpp
void CheckBound(RunCheck& check);
std::string Obstacle(const RunCheck& check);
void CheckWorkDone(RunCheck& check);
// LogCheck.cpp: the log's state and lines; LogReplayCheck.cpp: the lines played over the folder.
void CheckLogState(RunCheck& check);
void CheckReplay(RunCheck& check, const std::vector<StepLine>& lines);

#endif
