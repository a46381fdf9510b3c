#include "UCompareReport.h"

#include "Compare.h"
#include "DiscardQuestion.h"
#include "FileDrop.h"
#include "FileNames.h"
#include "LongLineShaping.h"
#include "ReportFont.h"
#include "RunTexts.h"
#include "TDifferenceNavigator.h"
#include "TFindBar.h"
#include "UAbout.h"
#include "UCompareDialog.h"
#include "UCompareWizard.h"
#include "UGoToLine.h"
#include "Version.h"

#include <QKeyEvent>
#include <QStatusBar>
#include <QTimer>
#include <utility>

namespace {

// The View menu's check marks, each stored as "1" or "0" under its value
// name, and "Go to Line"'s choice.
constexpr std::pair<QAction * Ui::CompareReport::*, const char *> ShownValues[] = {
    {&Ui::CompareReport::LineNumbers1, "LineNumbers"},
    {&Ui::CompareReport::DifferenceMap1, "DifferenceMap"}};
constexpr const char *LineChoiceValue = "GoToLine";

} // namespace

TCompareReport::TCompareReport(QWidget *Owner, const std::string &KeyPath)
    : TMyReport(Owner, KeyPath, "Compare"),
      FRuns([this](const TCompareRequest &Request) { RunNow(Request); },
            [this] { ClearReport(); }) {
    ui.setupUi(this);
    setFont(DesignFont());
    QFont design(QStringLiteral("Courier New"));
    design.setPixelSize(11);
    ApplyReportFont(design);
    setWindowFlags(Qt::Dialog | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                   Qt::WindowMinMaxButtonsHint | Qt::WindowCloseButtonHint);
    SetOuterGeometry(FirstStartGeometry(screen()));
    NameSeparators();
    FSink = std::make_unique<TFieldSink>(ui.resultField, ui.StatusBar1);
    FFindBar = new TFindBar(ui.resultField, ui.StatusBar1, this);
    connect(FFindBar, &TFindBar::VisibilityChanged, this, &TCompareReport::FormResize);
    KeepLongLinesShaped(ui.resultField);
    FKept = std::make_unique<TKeptReport>(ui.resultField, ui.StatusBar1);
    FOutput = std::make_unique<TReportOutput>(this, ui.resultField, ui.StatusBar1,
                                              QString::fromStdString(Section) +
                                                  QStringLiteral(" Tarnwell"),
                                              [this] { FKept->Complete(); });

    // The design's text is a placeholder: the report starts empty.
    ui.resultField->clear();

    Connect(ui.New1, &TCompareReport::New1Click);
    Connect(ui.SaveAs1, &TCompareReport::SaveAs1Click);
    Connect(ui.SaveAsPatch1, &TCompareReport::SaveAsPatch1Click);
    Connect(ui.Dialog1, &TCompareReport::Dialog1Click);
    Connect(ui.Wizard1, &TCompareReport::Wizard1Click);
    Connect(ui.CompareAgain1, &TCompareReport::CompareAgain1Click);
    Connect(ui.NextDifference1, &TCompareReport::NextDifference1Click);
    Connect(ui.PreviousDifference1, &TCompareReport::PreviousDifference1Click);
    Connect(ui.GoToLine1, &TCompareReport::GoToLine1Click);
    Connect(ui.PrintSetup1, &TCompareReport::PrintSetup1Click);
    Connect(ui.Print1, &TCompareReport::Print1Click);
    Connect(ui.LoadConfiguration1, &TCompareReport::LoadConfiguration1Click);
    Connect(ui.SaveConfiguration1, &TCompareReport::SaveConfiguration1Click);
    Connect(ui.Exit1, &TCompareReport::Exit1Click);
    Connect(ui.Undo1, &TCompareReport::Undo1Click);
    Connect(ui.Redo1, &TCompareReport::Redo1Click);
    Connect(ui.Cut1, &TCompareReport::Cut1Click);
    Connect(ui.Copy1, &TCompareReport::Copy1Click);
    Connect(ui.Paste1, &TCompareReport::Paste1Click);
    Connect(ui.SelectAll1, &TCompareReport::SelectAll1Click);
    Connect(ui.Find1, [this] { FFindBar->Open(); });
    Connect(ui.FindNext1, [this] { FFindBar->FindNext(); });
    Connect(ui.FindPrevious1, [this] { FFindBar->FindPrevious(); });
    addAction(ui.LineNumbers1); // their shortcuts; toggled is all they do
    addAction(ui.DifferenceMap1);
    connect(ui.LineNumbers1, &QAction::toggled, ui.resultField, &TReportField::SetLineNumbersShown);
    connect(ui.DifferenceMap1, &QAction::toggled, ui.resultField,
            &TReportField::SetDifferenceMapShown);
    Connect(ui.Font1, &TCompareReport::Font1Click);
    Connect(ui.Stop1, &TCompareReport::Stop1Click);
    Connect(ui.Help2, &TCompareReport::Help2Click);
    Connect(ui.About1, &TCompareReport::About1Click);
    ui.Undo1->setEnabled(false);
    ui.Redo1->setEnabled(false);
    connect(ui.resultField, &QPlainTextEdit::undoAvailable, ui.Undo1, &QAction::setEnabled);
    connect(ui.resultField, &QPlainTextEdit::redoAvailable, ui.Redo1, &QAction::setEnabled);
    for (QAction *action : {ui.Cut1, ui.Copy1}) {
        action->setEnabled(false);
        connect(ui.resultField, &QPlainTextEdit::copyAvailable, action, &QAction::setEnabled);
    }

    FNavigator = new TDifferenceNavigator(ui.resultField);
    // A drop that changes nothing, here or on a file box, says why.
    const auto say = [this](const QString &Why) { ui.StatusBar1->showMessage(Why); };
    for (QWidget *target : {static_cast<QWidget *>(ui.resultField), static_cast<QWidget *>(this)})
        AcceptFileDrops(
            target, 2, [this](const QStringList &Files) { FilesDropped(Files); }, say);

    FCompareWizard = new TCompareWizard(this, KeyPath);
    Wizard = FCompareWizard;
    FCompareDialog = new TCompareDialog(this, KeyPath);
    Dialog = FCompareDialog;
    connect(FCompareDialog, &TCompareDialog::DropRefused, this, say);
    connect(FCompareWizard, &TCompareWizard::DropRefused, this, say);

    ShowTitle();
    // A store that cannot be read leaves the defaults; the program goes on.
    RunGuarded(nullptr, [this] { LoadFromIniFile(); });
}

TCompareReport::~TCompareReport() {
    FormDestroy();
}

void TCompareReport::Connect(QAction *Action, void (TCompareReport::*Handler)()) {
    Connect(Action, [this, Handler] { (this->*Handler)(); });
}

void TCompareReport::Connect(QAction *Action, const std::function<void()> &Command) {
    // The shortcuts must work whether or not a menu has ever been opened.
    addAction(Action);
    // "Save &As..." names its operation "Save As" in a box.
    const QString operation =
        QString(Action->text()).remove(QLatin1Char('&')).remove(QStringLiteral("..."));
    connect(Action, &QAction::triggered, this,
            [this, Command, operation] { RunGuarded(this, operation, Command); });
}

void TCompareReport::NameSeparators() {
    const char *const fileSeparators[] = {"N3", "N1", "N4", "N5"};
    int next = 0;
    for (QAction *action : ui.File1->actions())
        if (action->isSeparator() && next < 4)
            action->setObjectName(QLatin1StringView(fileSeparators[next++]));
    const char *const editSeparators[] = {"N6", "N2"};
    next = 0;
    for (QAction *action : ui.Edit1->actions())
        if (action->isSeparator() && next < 2)
            action->setObjectName(QLatin1StringView(editSeparators[next++]));
}

void TCompareReport::FormResize() {
    // The menu along the top, the status bar along the bottom, the find bar
    // above it when open, the report filling what lies between.
    const int menuHeight = ui.MainMenu1->sizeHint().height();
    const int statusHeight = 19;
    const int findHeight = FFindBar->isVisible() ? FFindBar->sizeHint().height() : 0;
    ui.MainMenu1->setGeometry(0, 0, width(), menuHeight);
    ui.StatusBar1->setGeometry(0, height() - statusHeight, width(), statusHeight);
    FFindBar->setGeometry(0, height() - statusHeight - findHeight, width(), findHeight);
    ui.resultField->setGeometry(0, menuHeight, width(),
                                std::max(0, height() - menuHeight - statusHeight - findHeight));
}

void TCompareReport::showEvent(QShowEvent *Event) {
    TMyReport::showEvent(Event);
    FormResize();
    if (!FActivated) {
        FActivated = true;
        // After the window is on screen, so the dialog opens over it.
        QTimer::singleShot(0, this, [this] { RunGuarded(this, [this] { FormActivate(); }); });
    }
}

void TCompareReport::changeEvent(QEvent *Event) {
    TMyReport::changeEvent(Event);
    // The window hears of a new palette before its children take it.
    if (Event->type() == QEvent::PaletteChange && FSink)
        QTimer::singleShot(0, this, [this] {
            RunGuarded(this, QStringLiteral("the new colours"), [this] { FSink->Recolour(); });
        });
}

void TCompareReport::keyPressEvent(QKeyEvent *Event) {
    if (Event->key() == Qt::Key_Escape && Event->modifiers() == Qt::NoModifier) {
        Event->accept();
        return;
    }
    TMyReport::keyPressEvent(Event);
}

void TCompareReport::FormActivate() {
    const QStringList files = std::exchange(FStartFiles, {});
    if (files.size() == 2) {
        RunOnFiles(files[0], files[1]);
    } else if (files.size() == 1) {
        FCompareDialog->SetFirstFileName(files[0]);
        FCompareDialog->StartInOtherFile();
        Dialog1Click();
    } else if (FCompareDialog->StartWithDialog()) {
        Dialog1Click();
    }
}

void TCompareReport::FilesDropped(const QStringList &Files) {
    // The drag's source waits until the drop returns: the run comes after.
    QTimer::singleShot(0, this, [this, Files] {
        StartWith(Files);
        RunGuarded(this, [this] { FormActivate(); });
    });
}

void TCompareReport::FormDestroy() {
    RunGuarded(nullptr, [this] { SaveToIniFile(); });
}

void TCompareReport::done(int Result) {
    FRuns.Stop();
    TMyReport::done(Result);
}

void TCompareReport::RunComparison(bool Clear, const QString &FileName1, const QString &FileName2,
                                   bool Compare, bool OnlyDifferences, bool IgnoreBigNumbers) {
    RunComparison({.Clear = Clear,
                   .FileName1 = EncodeFileName(FileName1),
                   .FileName2 = EncodeFileName(FileName2),
                   .Compare = Compare,
                   .OnlyDifferences = OnlyDifferences,
                   .IgnoreBigNumbers = IgnoreBigNumbers});
}

void TCompareReport::RunComparison(const TCompareRequest &Request) {
    FRuns.Run(Request);
}

void TCompareReport::RunNow(const TCompareRequest &Request) {
    FTitleRun = Request;
    ShowTitle();
    FOutput->SetLastRun(Request);
    ui.SaveAsPatch1->setEnabled(true);
    FRunLabels = RunFileLabels(&Request);
    // The run's report replaces a kept report still going in, or follows
    // the whole of it.
    FKept->RunStarts(Request.Clear);
    FNavigator->BeginRun(Request.Clear);
    // An undo history of a whole report would double its memory; a run
    // cannot be undone anyway.
    ui.resultField->setUndoRedoEnabled(false);
    FSink->BeginRun();
    // The user's changes before the run are now part of its report.
    ui.resultField->document()->setModified(false);
    const TCompareOutcome outcome = ::RunComparison(Request, *FSink);
    ui.resultField->setUndoRedoEnabled(true);
    FNavigator->EndRun();
    // The file compared as empty; the report alone would not tell.
    if (const QString errors = LoadErrorsText(Request, outcome); !errors.isEmpty())
        ShowErrorBox(this, errors);
}

void TCompareReport::RunFromDialog() {
    FCompareDialog->CommitFileNames();
    FLastRun = TLastRun{FCompareDialog->Options(), false};
    RunComparison(FCompareDialog->Options());
}

void TCompareReport::RunFromWizard() {
    // A wizard run always empties the report first and uses no options.
    TCompareRequest request;
    request.FileName1 = EncodeFileName(FCompareWizard->FirstFileName());
    request.FileName2 = EncodeFileName(FCompareWizard->SecondFileName());
    FLastRun = TLastRun{request, true};
    RunComparison(request);
}

void TCompareReport::RunOnFiles(const QString &First, const QString &Second) {
    FCompareDialog->SetFirstFileName(First);
    FCompareDialog->SetSecondFileName(Second);
    RunFromDialog();
}

void TCompareReport::GoToDifference(TDirection Direction) {
    ui.StatusBar1->showMessage(FNavigator->Go(Direction));
}

void TCompareReport::SetReportFont(const QFont &Font) {
    ui.resultField->setFont(ReportDisplayFont(Font));
}

void TCompareReport::LoadLocalFromIniFile() {
    TMyReport::LoadLocalFromIniFile();
    FKept->Drop();
    // A run under way must follow the whole text.
    const std::string skipped = FCompareDialog->MaintainReport()
                                    ? FKept->Load(*IniFile, Section, FRuns.Running())
                                    : std::string();
    // A kept report that cannot be loaded is told once; the font still loads.
    if (!skipped.empty())
        ShowErrorBox(this, QString::fromStdString(skipped));
    ReadReportFont("Font-1");
    for (const auto &[action, name] : ShownValues)
        (ui.*action)->setChecked(IniFile->ReadBool(Section, name, true));
    FLineChoice = TLineChoice(std::clamp(IniFile->ReadInteger(Section, LineChoiceValue, 0), 0, 2));
}

void TCompareReport::SaveLocalToIniFile() {
    TMyReport::SaveLocalToIniFile();
    // Before the kept report, whose file may fail to be written.
    for (const auto &[action, name] : ShownValues)
        IniFile->WriteBool(Section, name, (ui.*action)->isChecked());
    IniFile->WriteInteger(Section, LineChoiceValue, int(FLineChoice));
    if (FCompareDialog->MaintainReport())
        FKept->Save(*IniFile, Section);
    WriteReportFont("Font-1");
}

void TCompareReport::UseConfiguration(const std::string &Name) {
    TMyReport::UseConfiguration(Name);
    ShowTitle();
}

void TCompareReport::ShowTitle() {
    setWindowTitle(FTitleRun ? RunTitle(*FTitleRun, IniFile->KeyPath())
                             : ReportTitle(IniFile->KeyPath()));
}

void TCompareReport::New1Click() {
    if (MayDiscardChanges(this, ui.resultField->document()))
        FRuns.Clear();
}

void TCompareReport::ClearReport() {
    FTitleRun.reset();
    ShowTitle();
    FOutput->SetLastRun(std::nullopt);
    ui.SaveAsPatch1->setEnabled(false);
    FKept->Drop();
    FSink->Clear();
    ui.resultField->document()->setModified(false);
    // "Difference K of N" and the like spoke of the report just emptied.
    ui.StatusBar1->clearMessage();
}

void TCompareReport::SaveAs1Click() {
    FOutput->SaveAs();
}

void TCompareReport::SaveAsPatch1Click() {
    FOutput->SaveAsPatch();
}

void TCompareReport::Dialog1Click() {
    ShowDialog();
}

void TCompareReport::Wizard1Click() {
    ShowWizard();
}

void TCompareReport::CompareAgain1Click() {
    if (!FLastRun) {
        ui.StatusBar1->showMessage(QStringLiteral("No comparison to run again"));
        return;
    }
    // The dialog's options as they are now; a wizard run stays without.
    TCompareRequest request = FLastRun->FromWizard ? FLastRun->Request : FCompareDialog->Options();
    request.FileName1 = FLastRun->Request.FileName1;
    request.FileName2 = FLastRun->Request.FileName2;
    RunComparison(request);
}

void TCompareReport::NextDifference1Click() {
    GoToDifference(TDirection::Forward);
}

void TCompareReport::PreviousDifference1Click() {
    GoToDifference(TDirection::Backward);
}

void TCompareReport::GoToLine1Click() {
    // The line asked for may be in the part of a kept report still to come.
    FKept->Complete();
    if (const auto said = AskForLine(this, ui.resultField, FLineChoice, FRunLabels))
        ui.StatusBar1->showMessage(*said);
}

void TCompareReport::PrintSetup1Click() {
    FOutput->PrintSetup();
}

void TCompareReport::Print1Click() {
    FOutput->Print();
}

void TCompareReport::LoadConfiguration1Click() {
    if (LoadConfiguration())
        ui.StatusBar1->showMessage(ConfigurationStatus(IniFile->KeyPath(), "loaded"));
}

void TCompareReport::SaveConfiguration1Click() {
    if (SaveConfiguration())
        ui.StatusBar1->showMessage(ConfigurationStatus(IniFile->KeyPath(), "saved"));
}

void TCompareReport::Exit1Click() {
    close();
}

void TCompareReport::Undo1Click() {
    ui.resultField->undo();
}

void TCompareReport::Redo1Click() {
    ui.resultField->redo();
}

void TCompareReport::SelectAll1Click() {
    ui.resultField->selectAll();
}

void TCompareReport::Cut1Click() {
    ui.resultField->cut();
}

void TCompareReport::Copy1Click() {
    ui.resultField->copy();
}

void TCompareReport::Paste1Click() {
    ui.resultField->paste();
}

void TCompareReport::Font1Click() {
    ChooseFont();
}

void TCompareReport::Stop1Click() {
    FRuns.Stop();
}

void TCompareReport::Help2Click() {
    ShowHelp();
}

void TCompareReport::About1Click() {
    ShowAboutBox(QStringLiteral("Compare Tarnwell"), QString::fromLatin1(TarnwellVersion));
}
