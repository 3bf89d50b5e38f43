#ifndef QUILLOWBY_TESTS_STRESS_INVARIANTS_H
#define QUILLOWBY_TESTS_STRESS_INVARIANTS_H

#include <string>
#include <vector>

struct Observation;
struct Scenario;

// The promises a run keeps whatever the folder holds and whatever goes wrong; one text per
// breach, empty when the run kept them all.
std::vector<std::string> CheckRun(const Scenario& scenario, const Observation& observation);

#endif
