// The caption of an image window: its title, the zoom in force, the buffer depth and whether
// the window smooths when it scales.
#pragma once

constexpr int IMAGE_CAPTION_BYTES = 256;

// Formats "title(zoom%)", then "[8bit]" for an 8-bit buffer, then "*" when stretchMode is
// HALFTONE (4). The result always fits in 255 bytes: a title too long for that is cut at a
// character boundary so that the zoom stays visible. A null title reads as empty.
void FormatImageCaption(char (&caption)[IMAGE_CAPTION_BYTES], const char* title, int zoom, int bits,
                        int stretchMode);
