#include "UCompareWizard.h"

#include "AppResources.h"
#include "LabelFit.h"

#include <QDir>
#include <QFileDialog>
#include <QStackedWidget>

TCompareWizard::TCompareWizard(QWidget *Owner, const std::string &KeyPath)
    : TMyWizard(Owner, KeyPath, "Compare", 3) {
    LoadAppResources();
    setupUi(this);
    Loaded();
    setFont(DesignFont());
    QFont heading = DesignFont(24);
    heading.setBold(true);
    for (QLabel *label : {Label7, Label6, Label11})
        label->setFont(heading);
    FitLabelsToText(this);
    setWindowFlags(Qt::Dialog | Qt::WindowTitleHint | Qt::WindowCloseButtonHint |
                   Qt::MSWindowsFixedSizeDialogHint);
    setFixedSize(size());
    move(182, 137);
    SetDesignPosition(4);

    OpenDialog1 = new QFileDialog(this);
    OpenDialog1->setObjectName(QStringLiteral("OpenDialog1"));
    OpenDialog1->setOption(QFileDialog::DontUseNativeDialog);
    OpenDialog1->setAcceptMode(QFileDialog::AcceptOpen);
    OpenDialog1->setFileMode(QFileDialog::AnyFile);

    SetModalResult(BtnCancel, mrCancel);
    OnClick(BtnNext, [this] { BtnNextClick(); });
    OnClick(BtnBack, [this] { BtnBackClick(); });
    OnClick(BtnBrowse, [this] { BtnBrowseClick(); });
    OnClick(Button1, [this] { Button1Click(); });
    UpdateButtons();
}

void TCompareWizard::showEvent(QShowEvent *Event) {
    TMyWizard::showEvent(Event);
    OnShowForm();
}

void TCompareWizard::OnShowForm() {
    notebook->setCurrentIndex(0);
    setWindowTitle(QStringLiteral("Compare Wizard"));
    UpdateButtons();
}

void TCompareWizard::BtnNextClick() {
    if (notebook->currentIndex() < LastPage)
        notebook->setCurrentIndex(notebook->currentIndex() + 1);
    UpdateButtons();
}

void TCompareWizard::BtnBackClick() {
    if (notebook->currentIndex() > FirstPage)
        notebook->setCurrentIndex(notebook->currentIndex() - 1);
    UpdateButtons();
}

void TCompareWizard::Browse(QLineEdit *Edit) {
    if (ShowModal(OpenDialog1) != QDialog::Accepted)
        return;
    const QStringList chosen = OpenDialog1->selectedFiles();
    if (!chosen.isEmpty())
        Edit->setText(QDir::toNativeSeparators(chosen.first()));
}

void TCompareWizard::BtnBrowseClick() {
    Browse(firstFile);
}

void TCompareWizard::Button1Click() {
    Browse(secondFile);
}

void TCompareWizard::LoadLocalFromIniFile() {
    TMyWizard::LoadLocalFromIniFile();
    firstFile->setText(QString::fromStdString(IniFile->ReadString(Section, "Edit-1", "C:\\")));
    secondFile->setText(QString::fromStdString(IniFile->ReadString(Section, "Edit-2", "C:\\")));
}

void TCompareWizard::SaveLocalToIniFile() {
    TMyWizard::SaveLocalToIniFile();
    IniFile->WriteString(Section, "Edit-1", firstFile->text().toStdString());
    IniFile->WriteString(Section, "Edit-2", secondFile->text().toStdString());
}
