#ifndef QUILLOWBY_TESTS_STRESS_MASK_MODEL_H
#define QUILLOWBY_TESTS_STRESS_MASK_MODEL_H

#include <string>

// The tester's own reading of how Windows matches a folder-search mask against a long name,
// written apart from the engine's matcher: "*" and "*.*" take everything; "?" takes one
// character, or nothing at a dot or at the end; "." before "?" or "*" takes a dot or the end;
// a final "*." takes what holds no dot but a final one; letters "A" to "Z" in any case.
// key: a key of StressFolder.h (double-byte characters count once, and so do the characters
// of a name the code page cannot hold).
bool MaskTakes(const std::string& mask, const std::string& key, bool cp932);

#endif
