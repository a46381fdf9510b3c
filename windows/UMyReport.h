#pragma once

#include "UMyDialog.h"
#include "UMyWizard.h"

#include <QFont>

class QFontDialog;

// A main window that shows a report and is driven by an options dialog and
// a wizard, with section Name + "\Report". It restores, saves and switches
// configuration for all three windows together.
class TMyReport : public TMyForm {
    Q_OBJECT
public:
    TMyReport(QWidget *Owner, const std::string &KeyPath, const std::string &Name);

    void LoadLocalFromIniFile() override; // then Dialog's and Wizard's LoadFromIniFile
    void SaveLocalToIniFile() override;   // "Version" 1, then Dialog's and Wizard's
    void UseConfiguration(const std::string &Name) override;

    virtual void RunFromDialog() = 0;
    virtual void RunFromWizard() = 0;
    // The report's font dialog, which the report base owns.
    virtual QFontDialog *GetFontDialog();
    // Shows Font in the report; the base only chooses, reads and stores it.
    virtual void SetReportFont(const QFont &Font) = 0;

    // The commands; store failures propagate to the caller.
    void ShowDialog(); // 1 runs RunFromDialog, 5 runs ShowWizard
    void ShowWizard(); // 1 runs RunFromWizard
    void ChooseFont(); // confirmed font goes to SetReportFont; a
                       // cancelled dialog gets back its former font
    // Each asks for a name, switches all three windows to it and saves or
    // restores them there; true when a name was chosen.
    bool SaveConfiguration();
    bool LoadConfiguration();

    // Owned by the report window (Qt children); set by the subclass.
    TMyDialog *Dialog = nullptr;
    TMyWizard *Wizard = nullptr;

protected:
    // Makes Font the report's font and shows it through SetReportFont.
    void ApplyReportFont(const QFont &Font);
    // Reads the font stored under Ident over the report's font (see
    // TMyIniFile::ReadFont), applies it and offers it in the font dialog.
    void ReadReportFont(const std::string &Ident);
    // Stores the report's font under Ident.
    void WriteReportFont(const std::string &Ident);

private:
    QFontDialog *FontDialog1 = nullptr; // made on first use
    QFont FReportFont;
};
