#pragma once

class QWidget;

// Lets the labels of a design show their whole text when the design's face
// is missing and a wider one stands in: a one-line label grows to its text
// (a right-aligned one towards the left, so its right edge stays), a
// word-wrapped one grows downwards. No label ever shrinks; picture labels
// are left alone.
void FitLabelsToText(QWidget *Form);
