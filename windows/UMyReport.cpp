#include "UMyReport.h"

#include "ULoadConfig.h"
#include "USaveConfig.h"

#include <QFont>
#include <QFontDialog>
#include <memory>

TMyReport::TMyReport(QWidget *Owner, const std::string &KeyPath, const std::string &Name)
    : TMyForm(Owner, KeyPath, Name + "\\Report") {}

void TMyReport::LoadLocalFromIniFile() {
    TMyForm::LoadLocalFromIniFile();
    if (Dialog != nullptr)
        Dialog->LoadFromIniFile();
    if (Wizard != nullptr)
        Wizard->LoadFromIniFile();
}

void TMyReport::SaveLocalToIniFile() {
    TMyForm::SaveLocalToIniFile();
    IniFile->WriteInteger(Section, "Version", 1);
    if (Dialog != nullptr)
        Dialog->SaveToIniFile();
    if (Wizard != nullptr)
        Wizard->SaveToIniFile();
}

void TMyReport::UseConfiguration(const std::string &Name) {
    TMyForm::UseConfiguration(Name);
    if (Dialog != nullptr)
        Dialog->UseConfiguration(Name);
    if (Wizard != nullptr)
        Wizard->UseConfiguration(Name);
}

void TMyReport::ShowDialog() {
    const int Result = ShowModal(Dialog);
    if (Result == mrWizard)
        ShowWizard();
    else if (Result == mrOk)
        RunFromDialog();
}

void TMyReport::ShowWizard() {
    if (ShowModal(Wizard) == mrOk)
        RunFromWizard();
}

void TMyReport::ChooseFont() {
    QFontDialog *Fonts = GetFontDialog();
    if (Fonts == nullptr)
        return;
    Fonts->setOption(QFontDialog::DontUseNativeDialog);
    // A cancelled dialog must offer the report's font next time, not the
    // one the user tried and dropped.
    const QFont Before = Fonts->currentFont();
    if (ShowModal(Fonts) == QDialog::Accepted)
        SetReportFont(Fonts->currentFont());
    else
        Fonts->setCurrentFont(Before);
}

void TMyReport::SaveConfiguration() {
    auto Window = std::make_unique<TSaveConfig>(this);
    if (ShowModal(Window.get()) != mrOk)
        return;
    const std::string Name = Window->EditName->text().toStdString();
    UseConfiguration(Name);
    SaveToIniFile();
}

void TMyReport::LoadConfiguration() {
    auto Window = std::make_unique<TLoadConfig>(this);
    if (ShowModal(Window.get()) != mrOk)
        return;
    const std::string Name = Window->ComboBoxNames->currentText().toStdString();
    UseConfiguration(Name);
    LoadFromIniFile();
}
