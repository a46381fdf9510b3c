#pragma once

#include "TForm.h"
#include "TMyIniFile.h"

#include <QSize>
#include <memory>

class QScreen;
#include <string>

// Base of every window that keeps its state between runs: it owns a settings
// store opened on the configuration's root key path and a fixed section, and
// restores and saves its placement ("Left", "Top", "Height", "Width",
// "State", "Position") before handing over to the subclass's own values.
//
// Placement: "Left", "Top", "Width" and "Height" are the outer frame in
// screen coordinates (for a maximised or minimised window, the frame it has
// when restored); "State" 0, 1, 2 is normal, minimised, maximised;
// "Position" is the rule applied each time the window is shown: 0 as
// designed, 1 the platform chooses position and size, 2 position only,
// 3 size only, 4 centred on the screen. Stored numbers outside those ranges
// count as 0.
class TMyForm : public TForm {
    Q_OBJECT
public:
    // Creates the store on KeyPath (creating the key path); restores nothing.
    TMyForm(QWidget *Owner, const std::string &KeyPath, const std::string &Section);
    ~TMyForm() override;

    // Placement first, then LoadLocalFromIniFile. Store failures propagate.
    void LoadFromIniFile();
    // Placement first, then SaveLocalToIniFile, in one store transaction.
    void SaveToIniFile();

    virtual void LoadLocalFromIniFile();
    virtual void SaveLocalToIniFile();
    // Replaces the store with one on "...\Tarnwells\Others\<Name>"; Section
    // stays; nothing is read or written. Name is used as it is, even empty.
    virtual void UseConfiguration(const std::string &Name);

    // The placement rule of the design (0 unless the subclass sets another,
    // e.g. 4 for a window designed centred). Call it in the constructor,
    // before LoadFromIniFile; a stored "Position" replaces it.
    void SetDesignPosition(int Rule);
    int Position() const { return FPosition; }

    std::unique_ptr<TMyIniFile> IniFile;
    const std::string Section;

protected:
    // Called from the resize event; a dialog applies its anchoring here.
    virtual void FormResize() {}
    void resizeEvent(QResizeEvent *Event) override;
    void BeforeShow() override;
    void changeEvent(QEvent *Event) override;

private:
    QRect NormalOuterGeometry() const;
    int StateNumber() const;
    void KeepDesignSize();

    int FPosition = 0;   // placement rule applied when shown
    QSize FDesignSize;   // client size of the design, for rules 1 and 3
    QRect FRestoreOuter; // the normal outer frame to return to, while not normal
};

// The outer frame of a main window on its first start, while no placement
// of it is stored: two thirds of the available width and height of Screen
// (the primary screen when null), centred there. A stored placement then
// replaces it as it is.
QRect FirstStartGeometry(const QScreen *Screen);
