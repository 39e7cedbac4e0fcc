#pragma once
// The program's fonts, made on first use at the screen's resolution and
// kept until the process ends.

#include "framework/GdiObject.h"

// The numbers are the fonts' indexes in the program's font table.
enum class AppFont : int {
  kTitle = 0,     // Tahoma 13 bold italic: window captions, the About title
  kButton = 1,    // Tahoma 8 bold: skinned push buttons
  kLarge = 2,     // Arial 14
  kLargeAlt = 3,  // Arial 14, a second copy
  kPath = 4,      // Tahoma 8: the key being scanned
  kText = 5,      // Tahoma 8: panel descriptions and About texts
  kLabel = 6,     // Tahoma 8 bold: captions over lists, boxes and counters
  kList = 7,      // Tahoma 8 bold: list rows and drop-down boxes
  kSymbol = 8,    // Wingdings 16
};

// Never delete the returned font.
fw::BorrowedFont GetAppFont(AppFont font);
