#ifndef QUILLOWBY_ART_SKIN_ART_H
#define QUILLOWBY_ART_SKIN_ART_H

#include "Canvas.h"

// The skin of the Run and Exit areas: 122 x 46 pixels, four 61 x 23 tiles. Run on top, Exit
// below; the normal look on the left, the pressed look on the right.
Canvas DrawSkin();

#endif
