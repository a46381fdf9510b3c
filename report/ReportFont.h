#pragma once

#include <QFont>

// Font as the report shows it. A family missing here keeps its name, so the
// stored font stays the user's choice, but is shown in a fixed-pitch face,
// so the report's columns still line up.
QFont ReportDisplayFont(const QFont &Font);
