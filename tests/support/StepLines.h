#ifndef QUILLOWBY_TESTS_STEP_LINES_H
#define QUILLOWBY_TESTS_STEP_LINES_H

#include <string>

// A step line of a log as the tests read it, apart from the engine's own reader.
struct StepLine
{
    std::string from;
    std::string to;
    // A reason follows the names: the step did not happen.
    bool failed;
};

// Reads "from TAB -> TAB to", with or without "TAB reason"; false when the line has no arrow.
bool ReadStepLine(const std::string& line, StepLine& step);

#endif
