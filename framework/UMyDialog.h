#pragma once

#include "UMyForm.h"

#include <cstdint>
#include <vector>

// One anchored control of a resizable dialog. Offsets are taken from the
// form's outer size and the control's bounds at registration.
struct TResize {
    QWidget *component = nullptr; // not owned
    std::uint8_t Kind = 0;        // 0 to 6 handled alike; above 6 never moves
    bool MoveLeft = false;
    bool StretchWidth = false;
    bool MoveTop = false;
    bool StretchHeight = false;
    int LeftOffset = 0;
    int WidthOffset = 0;
    int TopOffset = 0;
    int HeightOffset = 0;
};

// A resizable options dialog with section Name + "\Dialog".
class TMyDialog : public TMyForm {
    Q_OBJECT
public:
    TMyDialog(QWidget *Owner, const std::string &KeyPath, const std::string &Name);

    // The subclass registers its anchored controls after its design is set
    // up and before the placement is restored.
    void RegisterResize(QWidget *Control, std::uint8_t Kind, bool MoveLeft, bool StretchWidth,
                        bool MoveTop, bool StretchHeight);
    void ApplyResizes();

    std::vector<TResize> Resizes;
};

// Opens the help file "Tarnwells.hlp" found beside the program, else in its
// parent folder, else in ../share/tarnwell/; when none exists shows the box
// "Can't find the help file".
void ShowHelp();
