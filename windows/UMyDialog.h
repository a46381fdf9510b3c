#pragma once

#include "UHelpViewer.h"
#include "UMyForm.h"

#include <QString>
#include <cstdint>
#include <optional>
#include <vector>

class QFileDialog;

// One anchored control of a resizable dialog. Offsets are taken from the
// form's size and the control's bounds at registration. The form's size is
// its client size: it differs from the outer size only by the frame, which
// stays the same while the window lives but may become known only once the
// window is first shown, and the layout must not jump then.
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

// How a registered control follows the form's right and bottom edges; each
// flag keeps one distance it had at registration, the unflagged edges stay.
struct TAnchors {
    bool MoveLeft = false;      // its left edge to the form's right edge
    bool StretchWidth = false;  // the form's width minus its width
    bool MoveTop = false;       // its top edge to the form's bottom edge
    bool StretchHeight = false; // the form's height minus its height
};

// A resizable options dialog with section Name + "\Dialog". It applies its
// anchoring on every resize of the form.
class TMyDialog : public TMyForm {
    Q_OBJECT
public:
    TMyDialog(QWidget *Owner, const std::string &KeyPath, const std::string &Name);

    // The subclass registers its anchored controls after its design is set
    // up and before the placement is restored.
    void RegisterResize(QWidget *Control, std::uint8_t Kind, const TAnchors &Anchors);
    // Moves and stretches the registered controls to the form's size; no
    // minimum size: a form smaller than its design shrinks them too.
    void ApplyResizes();

    std::vector<TResize> Resizes;

protected:
    void FormResize() override;
};

// An open-file dialog of the program's own kind (the platform's native one
// cannot be driven the same way everywhere), owned by Owner. Its check box
// "folderChoice" makes it choose a folder instead of a file. No pop-up of
// it outlives its showing.
QFileDialog *NewOpenFileDialog(QWidget *Owner, const QString &ObjectName);
// Shows Dialog in the folder of Seed (a box's text), with Seed's file name
// offered; in the home folder when Seed names no folder that exists. The
// chosen file or folder with its full path, or nothing when the dialog was
// cancelled.
std::optional<QString> BrowseForFile(QFileDialog *Dialog, const QString &Seed = QString());
