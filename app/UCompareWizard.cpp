#include "UCompareWizard.h"

#include "AppResources.h"
#include "FileDrop.h"
#include "FileNameBox.h"
#include "FileNames.h"
#include "LabelFit.h"
#include "UMyDialog.h"

#include <QDir>
#include <QStackedWidget>

TCompareWizard::TCompareWizard(QWidget *Owner, const std::string &KeyPath)
    : TMyWizard(Owner, KeyPath, "Compare", 3) {
    LoadAppResources();
    ui.setupUi(this);
    Loaded();
    setFont(DesignFont());
    QFont heading = DesignFont(24);
    heading.setBold(true);
    for (QLabel *label : {ui.Label7, ui.Label6, ui.Label11})
        label->setFont(heading);
    FitLabelsToText(this);
    setWindowFlags(Qt::Dialog | Qt::WindowTitleHint | Qt::WindowCloseButtonHint |
                   Qt::MSWindowsFixedSizeDialogHint);
    setFixedSize(size());
    move(182, 137);
    SetDesignPosition(4);

    OpenDialog1 = NewOpenFileDialog(this, QStringLiteral("OpenDialog1"));

    SetModalResult(ui.BtnCancel, mrCancel);
    OnClick(BtnNext, [this] { BtnNextClick(); });
    OnClick(BtnBack, [this] { BtnBackClick(); });
    OnClick(ui.BtnBrowse, [this] { BtnBrowseClick(); });
    OnClick(ui.Button1, [this] { Button1Click(); });
    for (QLineEdit *edit : {ui.firstFile, ui.secondFile})
        AcceptFileNameDrop(
            edit, [edit](const QString &Name) { edit->setText(Name); },
            [this](const QString &Why) { emit DropRefused(Why); });
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
    // A file page moves on only with its name given.
    QWidget *page = notebook->currentWidget();
    for (QLineEdit *box : {ui.firstFile, ui.secondFile})
        if (page->isAncestorOf(box) && !CheckFileNameGiven(box))
            return;
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
    if (const auto Chosen = BrowseForFile(OpenDialog1, Edit->text()))
        Edit->setText(*Chosen);
    // Enter then moves on, rather than browsing again.
    Edit->setFocus(Qt::OtherFocusReason);
}

QString TCompareWizard::FirstFileName() const {
    return ui.firstFile->text();
}

QString TCompareWizard::SecondFileName() const {
    return ui.secondFile->text();
}

void TCompareWizard::BtnBrowseClick() {
    Browse(ui.firstFile);
}

void TCompareWizard::Button1Click() {
    Browse(ui.secondFile);
}

void TCompareWizard::LoadLocalFromIniFile() {
    TMyWizard::LoadLocalFromIniFile();
    const std::string home = EncodeFileName(QDir::homePath() + QLatin1Char('/'));
    ui.firstFile->setText(DecodeFileName(IniFile->ReadString(Section, "Edit-1", home)));
    ui.secondFile->setText(DecodeFileName(IniFile->ReadString(Section, "Edit-2", home)));
}

void TCompareWizard::SaveLocalToIniFile() {
    TMyWizard::SaveLocalToIniFile();
    IniFile->WriteString(Section, "Edit-1", EncodeFileName(ui.firstFile->text()));
    IniFile->WriteString(Section, "Edit-2", EncodeFileName(ui.secondFile->text()));
}
