#include "UCompareDialog.h"

#include "LabelFit.h"

#include <QDir>
#include <QFileDialog>

TCompareDialog::TCompareDialog(QWidget *Owner, const std::string &KeyPath)
    : TMyDialog(Owner, KeyPath, "Compare") {
    setupUi(this);
    setFont(DesignFont());
    FitLabelsToText(this);
    // The buttons lie above the page control.
    for (QWidget *button : {OKButton, CancelButton, WizardButton, helpButton})
        button->raise();
    setWindowFlags(windowFlags() & ~Qt::WindowContextHelpButtonHint);
    SetOuterGeometry(QRect(58, 22, 441, 189));
    SetDesignPosition(4);

    fileOpen = new QFileDialog(this);
    fileOpen->setObjectName(QStringLiteral("fileOpen"));
    fileOpen->setOption(QFileDialog::DontUseNativeDialog);
    fileOpen->setAcceptMode(QFileDialog::AcceptOpen);
    fileOpen->setFileMode(QFileDialog::AnyFile);

    file1->Size = 20;
    file2->Size = 20;

    SetModalResult(OKButton, mrOk);
    SetModalResult(CancelButton, mrCancel);
    SetModalResult(WizardButton, mrWizard);
    OnClick(Button2, [this] { Button2Click(); });
    OnClick(browse1Button, [this] { Button2Click(); });
    OnClick(browse2Button, [this] { browse2ButtonClick(); });
    OnClick(helpButton, [this] { helpButtonClick(); });

    RegisterResize(file1, 0, false, true, false, false);
    RegisterResize(file2, 0, false, true, false, false);
    for (QWidget *button :
         {browse1Button, browse2Button, OKButton, WizardButton, helpButton, CancelButton})
        RegisterResize(button, 3, true, false, false, false);
}

void TCompareDialog::FormResize() {
    notebook->setGeometry(rect());
    ApplyResizes();
}

void TCompareDialog::Browse(THistoryBox *Box) {
    const QString name = Box->UpdateHistory();
    fileOpen->selectFile(name);
    if (ShowModal(fileOpen) != QDialog::Accepted)
        return;
    const QStringList chosen = fileOpen->selectedFiles();
    if (!chosen.isEmpty())
        Box->setEditText(QDir::toNativeSeparators(chosen.first()));
}

void TCompareDialog::Button2Click() {
    Browse(file1);
}

void TCompareDialog::browse2ButtonClick() {
    Browse(file2);
}

void TCompareDialog::helpButtonClick() {
    ShowHelp();
}

void TCompareDialog::LoadLocalFromIniFile() {
    TMyDialog::LoadLocalFromIniFile();
    file1->setEditText(QStringLiteral("C:\\file1.txt"));
    file2->setEditText(QStringLiteral("C:\\file2.txt"));
    file1->LoadHistory(*IniFile, Section, 3);
    file2->LoadHistory(*IniFile, Section, 4);

    const std::string active = notebook->currentWidget()->objectName().toStdString();
    const std::string sheet = IniFile->ReadString(Section, "Misc-1", active);
    for (int i = 0; i < notebook->count(); ++i)
        if (notebook->widget(i)->objectName().toStdString() == sheet)
            notebook->setCurrentIndex(i);

    dontListCommon->setChecked(IniFile->ReadBool(Section, "CheckBox-2", false));
    ignoreBigNumbers->setChecked(IniFile->ReadBool(Section, "CheckBox-3", false));
    startWithDialog->setChecked(IniFile->ReadBool(Section, "CheckBox-4", false));
    clearReport->setChecked(IniFile->ReadBool(Section, "CheckBox-5", true));
    maintainReport->setChecked(IniFile->ReadBool(Section, "CheckBox-6", false));
}

void TCompareDialog::SaveLocalToIniFile() {
    TMyDialog::SaveLocalToIniFile();
    file1->SaveHistory(*IniFile, Section, 3);
    file2->SaveHistory(*IniFile, Section, 4);
    IniFile->WriteString(Section, "Misc-1", notebook->currentWidget()->objectName().toStdString());
    IniFile->WriteBool(Section, "CheckBox-2", dontListCommon->isChecked());
    IniFile->WriteBool(Section, "CheckBox-3", ignoreBigNumbers->isChecked());
    IniFile->WriteBool(Section, "CheckBox-4", startWithDialog->isChecked());
    IniFile->WriteBool(Section, "CheckBox-5", clearReport->isChecked());
    IniFile->WriteBool(Section, "CheckBox-6", maintainReport->isChecked());
}
