#pragma once
// Colours of labels and panels, given as the program's 0x00BBGGRR values.
#include "platform/canvas.h"

class QWidget;

void setTextColour(QWidget* w, vestrel::TColor colour);
void setBackColour(QWidget* w, vestrel::TColor colour);
vestrel::TColor textColour(const QWidget* w);
vestrel::TColor backColour(const QWidget* w);
