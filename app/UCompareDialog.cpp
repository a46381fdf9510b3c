#include "UCompareDialog.h"

#include "FileDrop.h"
#include "FileNameBox.h"
#include "FileNames.h"
#include "LabelFit.h"
#include "TTextFilter.h"

#include <QFileDialog>
#include <QLineEdit>
#include <QTabBar>
#include <utility>

TCompareDialog::TCompareDialog(QWidget *Owner, const std::string &KeyPath)
    : TMyDialog(Owner, KeyPath, "Compare") {
    ui.setupUi(this);
    setFont(DesignFont());
    FitLabelsToText(this);
    // The buttons lie above the page control.
    for (QWidget *button : {ui.OKButton, ui.CancelButton, ui.WizardButton, ui.helpButton})
        button->raise();
    setWindowFlags(windowFlags() & ~Qt::WindowContextHelpButtonHint);
    SetOuterGeometry(QRect(58, 22, 441, 229));
    // Smaller than designed, the name boxes vanish and Cancel is cut off;
    // 40 pixels taller than the first design, for the pattern box and its line.
    SetMinimumOuterSize(QSize(441, 229));
    SetDesignPosition(4);
    ui.file1->lineEdit()->setPlaceholderText(
        QStringLiteral("Full path of the first file or folder"));
    ui.file2->lineEdit()->setPlaceholderText(
        QStringLiteral("Full path of the other file or folder"));
    ui.ignoreText->lineEdit()->setPlaceholderText(QStringLiteral("A pattern, e.g. 0x[0-9a-f]+"));
    // The reason a pattern was refused holds until the pattern changes.
    connect(ui.ignoreText, &QComboBox::editTextChanged, ui.ignoreTextError, &QLabel::clear);
    // A page chosen with the mouse or Ctrl+Tab takes the focus; one chosen
    // with the arrow keys on the tabs leaves it there.
    connect(ui.notebook, &QTabWidget::currentChanged, this, [this] {
        if (!ui.notebook->tabBar()->hasFocus())
            FocusPage();
    });

    fileOpen = NewOpenFileDialog(this, QStringLiteral("fileOpen"));

    ui.file1->Size = 20;
    ui.file2->Size = 20;
    ui.ignoreText->Size = 20;
    // The check boxes are numbered from 2: no value carries the number 1.
    FCheckBoxes = {
        {ui.dontListCommon, "CheckBox-2", false},   {ui.ignoreBigNumbers, "CheckBox-3", false},
        {ui.startWithDialog, "CheckBox-4", false},  {ui.clearReport, "CheckBox-5", true},
        {ui.maintainReport, "CheckBox-6", false},   {ui.ignoreCase, "CheckBox-7", false},
        {ui.ignoreWhiteSpace, "CheckBox-8", false},
    };

    SetModalResult(ui.OKButton, mrOk);
    SetModalResult(ui.CancelButton, mrCancel);
    SetModalResult(ui.WizardButton, mrWizard);
    OnClick(ui.Button2, [this] { Button2Click(); });
    OnClick(ui.browse1Button, [this] { Button2Click(); });
    OnClick(ui.browse2Button, [this] { browse2ButtonClick(); });
    OnClick(ui.helpButton, [this] { helpButtonClick(); });

    for (THistoryBox *box : {ui.file1, ui.file2})
        AcceptFileNameDrop(
            box, [box](const QString &Name) { box->setEditText(Name); },
            [this](const QString &Why) { emit DropRefused(Why); });

    RegisterResize(ui.file1, 0, {.StretchWidth = true});
    RegisterResize(ui.file2, 0, {.StretchWidth = true});
    RegisterResize(ui.ignoreText, 0, {.StretchWidth = true});
    RegisterResize(ui.ignoreTextError, 0, {.StretchWidth = true});
    for (QWidget *button : {ui.browse1Button, ui.browse2Button, ui.OKButton, ui.WizardButton,
                            ui.helpButton, ui.CancelButton})
        RegisterResize(button, 3, {.MoveLeft = true});
}

TCompareRequest TCompareDialog::Options() const {
    TCompareRequest Request;
    Request.Clear = ui.clearReport->isChecked();
    Request.FileName1 = EncodeFileName(ui.file1->currentText());
    Request.FileName2 = EncodeFileName(ui.file2->currentText());
    Request.OnlyDifferences = ui.dontListCommon->isChecked();
    Request.IgnoreBigNumbers = ui.ignoreBigNumbers->isChecked();
    Request.IgnoreCase = ui.ignoreCase->isChecked();
    Request.IgnoreWhiteSpace = ui.ignoreWhiteSpace->isChecked();
    if (!ui.ignoreText->currentText().isEmpty())
        Request.IgnoreText = {ui.ignoreText->currentText().toStdString()};
    return Request;
}

void TCompareDialog::CommitFileNames() {
    ui.file2->UpdateHistory();
    ui.file1->UpdateHistory();
    if (!ui.ignoreText->currentText().isEmpty())
        ui.ignoreText->UpdateHistory();
}

void TCompareDialog::done(int Result) {
    if (Result == mrOk) {
        ui.notebook->setCurrentWidget(ui.FilesTab);
        if (!CheckFileNameGiven(ui.file1) || !CheckFileNameGiven(ui.file2))
            return;
    }
    const std::string Pattern = ui.ignoreText->currentText().toStdString();
    const auto Error =
        Result == mrOk && !Pattern.empty() ? TTextFilter::Check({Pattern}) : std::nullopt;
    if (!Error) {
        TMyDialog::done(Result);
        return;
    }
    // Where the pattern went wrong, in the characters the box shows.
    const int At = int(QString::fromUtf8(Pattern.data(), qsizetype(Error->Offset)).size());
    ui.notebook->setCurrentWidget(ui.optionsTab);
    ui.ignoreTextError->setText(QStringLiteral("Invalid pattern: %1 at offset %2")
                                    .arg(QString::fromStdString(Error->Message))
                                    .arg(At));
    ui.ignoreText->setFocus(Qt::OtherFocusReason);
    ui.ignoreText->lineEdit()->setCursorPosition(At);
}

void TCompareDialog::SetFirstFileName(const QString &Name) {
    ui.file1->setEditText(Name);
}

void TCompareDialog::SetSecondFileName(const QString &Name) {
    ui.file2->setEditText(Name);
}

bool TCompareDialog::StartWithDialog() const {
    return ui.startWithDialog->isChecked();
}

bool TCompareDialog::MaintainReport() const {
    return ui.maintainReport->isChecked();
}

void TCompareDialog::showEvent(QShowEvent *Event) {
    TMyDialog::showEvent(Event);
    // What is typed at once must land in a name box, so every showing
    // starts on the Compare page. "Misc-1" still records the page in front
    // at saving, for the stored settings' sake; it no longer decides this.
    ui.notebook->setCurrentWidget(ui.FilesTab);
    FocusPage();
    if (std::exchange(FStartInOtherFile, false)) {
        ui.file2->setFocus(Qt::TabFocusReason);
        ui.file2->lineEdit()->selectAll();
    }
}

void TCompareDialog::FocusPage() {
    if (ui.notebook->currentWidget() == ui.optionsTab) {
        ui.startWithDialog->setFocus(Qt::TabFocusReason);
        return;
    }
    ui.file1->setFocus(Qt::TabFocusReason);
    ui.file1->lineEdit()->selectAll();
}

void TCompareDialog::FormResize() {
    ui.notebook->setGeometry(rect());
    ApplyResizes();
}

void TCompareDialog::Browse(THistoryBox *Box) {
    if (const auto Chosen = BrowseForFile(fileOpen, Box->UpdateHistory()))
        Box->setEditText(*Chosen);
    Box->setFocus(Qt::OtherFocusReason);
}

void TCompareDialog::Button2Click() {
    Browse(ui.file1);
}

void TCompareDialog::browse2ButtonClick() {
    Browse(ui.file2);
}

void TCompareDialog::helpButtonClick() {
    ShowHelp(QStringLiteral("dialog"));
}

void TCompareDialog::LoadLocalFromIniFile() {
    TMyDialog::LoadLocalFromIniFile();
    // Empty: the placeholders say what to enter.
    ui.file1->setEditText(QString());
    ui.file2->setEditText(QString());
    ui.file1->LoadHistory(*IniFile, Section, 3);
    ui.file2->LoadHistory(*IniFile, Section, 4);
    ui.ignoreText->LoadHistory(*IniFile, Section, 5);
    // The pattern itself as typed: the history's text would lose a pair of
    // quotes around it, which a pattern may well need.
    ui.ignoreText->setEditText(QString::fromStdString(IniFile->ReadString(Section, "Edit-1", "")));

    const std::string active = ui.notebook->currentWidget()->objectName().toStdString();
    const std::string sheet = IniFile->ReadString(Section, "Misc-1", active);
    for (int i = 0; i < ui.notebook->count(); ++i)
        if (ui.notebook->widget(i)->objectName().toStdString() == sheet)
            ui.notebook->setCurrentIndex(i);

    for (const TCheckBoxValue &Value : FCheckBoxes)
        Value.Box->setChecked(IniFile->ReadBool(Section, Value.Name, Value.Default));
}

void TCompareDialog::SaveLocalToIniFile() {
    TMyDialog::SaveLocalToIniFile();
    ui.file1->SaveHistory(*IniFile, Section, 3);
    ui.file2->SaveHistory(*IniFile, Section, 4);
    ui.ignoreText->SaveHistory(*IniFile, Section, 5);
    IniFile->WriteString(Section, "Edit-1", ui.ignoreText->currentText().toStdString());
    IniFile->WriteString(Section, "Misc-1",
                         ui.notebook->currentWidget()->objectName().toStdString());
    for (const TCheckBoxValue &Value : FCheckBoxes)
        IniFile->WriteBool(Section, Value.Name, Value.Box->isChecked());
}
