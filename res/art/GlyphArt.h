#ifndef QUILLOWBY_ART_GLYPH_ART_H
#define QUILLOWBY_ART_GLYPH_ART_H

#include "Canvas.h"

// The 16 x 16 button faces, on the grey of a classic button face.
Canvas DrawDesktopGlyph();
Canvas DrawDocumentsGlyph();
Canvas DrawSaveGlyph();

// The 32 x 32 program icon: a stack of pages, the front one numbered 001 to 003.
// Pixels of IconTransparent() are see-through.
Canvas DrawAppIcon();
int IconTransparent();

#endif
