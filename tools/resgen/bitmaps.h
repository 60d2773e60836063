// The program's bitmaps and icons, each described region by region.
#pragma once

#include <string>

#include "canvas.h"

// Writes B_PLAY.bmp, B_STOP.bmp, B_REW.bmp, B_FF.bmp, B_EJECT.bmp, HPARAMETER.bmp and
// HPARAMETERKNOP.bmp into folder. False when a file cannot be written.
bool WriteButtonAndTrackerBitmaps(const std::string &folder);

// Writes APPL.ico (16 and 32 pixels in 16 colours and 24-bit colour, 48 pixels in 24-bit colour)
// and APPLSM.ico (16 pixels, 16 colours) into folder.
bool WriteIcons(const std::string &folder);
