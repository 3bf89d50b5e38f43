#ifndef QUILLOWBY_TESTS_STRESS_DATE_FIELD_MODEL_H
#define QUILLOWBY_TESTS_STRESS_DATE_FIELD_MODEL_H

#include <cstdint>
#include <string>

// The date fields of a name pattern as the tester reads them, apart from the engine's code.

// The first "<word>" whose word is no field, brackets included; "" when there is none. A "<"
// that no ">" closes before the next "<" opens nothing.
std::string UnknownFieldModel(const std::string& text);

// The text with every field written out for the local clock seconds (2000 to 2099 only).
std::string ExpandFieldsModel(const std::string& text, int64_t seconds);

#endif
