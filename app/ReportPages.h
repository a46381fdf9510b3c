#pragma once

class QPagedPaintDevice;
class QTextDocument;

// Prints Document on Device, whose page layout (size, orientation, margins)
// is the one the user set up: the text fills each page inside its margins
// and nothing is added around it; a line longer than the page is wide goes
// on below instead of off the paper. Prints the pages From to To (counted
// from 1; 0 and 0 for all). Returns how many pages were printed, -1 when
// the device could not be opened.
int PrintReportPages(const QTextDocument &Document, QPagedPaintDevice &Device, int From = 0,
                     int To = 0);
