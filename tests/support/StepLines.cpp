#include "tests/support/StepLines.h"

bool ReadStepLine(const std::string& line, StepLine& step)
{
    const size_t arrow = line.find("\t->\t");
    if (arrow == std::string::npos)
        return false;
    step.from = line.substr(0, arrow);
    const std::string rest = line.substr(arrow + 4);
    const size_t tab = rest.find('\t');
    step.failed = tab != std::string::npos;
    step.to = step.failed ? rest.substr(0, tab) : rest;
    return true;
}
