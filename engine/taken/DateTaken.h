#ifndef QUILLOWBY_ENGINE_TAKEN_DATE_TAKEN_H
#define QUILLOWBY_ENGINE_TAKEN_DATE_TAKEN_H

#include "engine/taken/TakenTime.h"

// The date the camera or phone stored in the file, read from its head. False (kind TakenNone)
// when the file has no usable date or its metadata is malformed. Never reads more than
// kDateReadBudget bytes in all, never loops.
bool ReadDateTaken(HeadSource& file, TakenTime& taken);

#endif
