#pragma once

#include "TForm.h"
#include "TMyIniFile.h"

#include <memory>
#include <string>

// Base of every window that keeps its state between runs: it owns a settings
// store opened on the configuration's root key path and a fixed section, and
// restores and saves its placement ("Left", "Top", "Height", "Width",
// "State", "Position") before handing over to the subclass's own values.
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
    // stays; nothing is read or written.
    virtual void UseConfiguration(const std::string &Name);

    std::unique_ptr<TMyIniFile> IniFile;
    const std::string Section;

protected:
    // Called from the resize event; a dialog applies its anchoring here.
    virtual void FormResize() {}
    void resizeEvent(QResizeEvent *Event) override;
    void showEvent(QShowEvent *Event) override;

private:
    int FPosition = 0; // placement rule applied when shown
    int FState = 0;    // 0 normal, 1 minimised, 2 maximised
};
