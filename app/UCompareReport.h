#pragma once

#include "GoToLine.h"
#include "RunTexts.h"
#include "TCompareRequest.h"
#include "TDifferenceNavigator.h"
#include "TFieldSink.h"
#include "TKeptReport.h"
#include "TReportOutput.h"
#include "TRunQueue.h"
#include "UMyReport.h"
#include "ui_UCompareReport.h"

#include <QString>
#include <QStringList>
#include <functional>
#include <memory>
#include <optional>

class TCompareDialog;
class TCompareWizard;
class TFindBar;

// The program's main window: the report text, its menu and status bar. It
// owns the compare dialog and wizard and turns their answers into runs of
// the comparison. Commands run to completion on the window thread; during a
// run pending events are delivered, so every command stays live.
class TCompareReport : public TMyReport {
    Q_OBJECT
public:
    TCompareReport(QWidget *Owner, const std::string &KeyPath);
    // Runs FormDestroy: the final save of all three windows.
    ~TCompareReport() override;

    // One run of the engine into resultField: clears the stop flag, empties
    // the report or appends the separator, compares when Compare is set and
    // sets the status; then shows one error box naming each file that could
    // not be read. Called from a command during a run, it stops that run and
    // starts once the run has unwound; of several such calls the last wins.
    void RunComparison(bool Clear, const QString &FileName1, const QString &FileName2, bool Compare,
                       bool OnlyDifferences, bool IgnoreBigNumbers);

    // The same run from a whole request. The window's title names the two
    // files by their labels from then on, until "&New"; and, while a named
    // configuration is in use, that configuration (ReportTitle).
    void RunComparison(const TCompareRequest &Request);

    void RunFromDialog() override;
    void RunFromWizard() override;
    // Compares First and Second as the dialog would: both names go to the
    // top of their histories and the run takes the dialog's options.
    void RunOnFiles(const QString &First, const QString &Second);
    // What the window does once its modal run begins: two Files are
    // compared at once, one opens the compare dialog with it as "A File";
    // none leaves "Run Dialog Automatically" to decide.
    void StartWith(const QStringList &Files) { FStartFiles = Files; }
    // Moves the cursor to the first line of the next (or previous) run of
    // lines only in one file and says "Difference K of N", or says that
    // there is none and leaves the cursor.
    using TDirection = TDifferenceNavigator::TDirection;
    void GoToDifference(TDirection Direction);
    // The whole report takes Font; a family missing here falls back to a
    // fixed-pitch face so the report's columns still line up.
    void SetReportFont(const QFont &Font) override;
    void LoadLocalFromIniFile() override;
    void SaveLocalToIniFile() override;
    // The title follows the switch.
    void UseConfiguration(const std::string &Name) override;

    TCompareDialog *CompareDialog() const { return FCompareDialog; }
    TCompareWizard *CompareWizard() const { return FCompareWizard; }
    TFieldSink &Sink() { return *FSink; }
    // Save As and Print, and their common dialogs.
    TReportOutput &Output() { return *FOutput; }
    // A long kept report goes in a piece at a time after the window shows.
    bool LoadingKeptReport() const { return FKept->Loading(); }

    // Menu handlers. New asks first when the user changed the report
    // (MayDiscardChanges).
    void New1Click();
    void SaveAs1Click();
    void SaveAsPatch1Click();
    void Dialog1Click();
    void Wizard1Click();
    void CompareAgain1Click();
    void NextDifference1Click();
    void PreviousDifference1Click();
    void GoToLine1Click();
    void PrintSetup1Click();
    void Print1Click();
    void LoadConfiguration1Click();
    void SaveConfiguration1Click();
    void Exit1Click();
    void Undo1Click();
    void Redo1Click();
    void Cut1Click();
    void Copy1Click();
    void Paste1Click();
    void SelectAll1Click();
    void Font1Click();
    void Stop1Click();
    void Help2Click();
    void About1Click();

    // Opens the compare dialog when "Run Dialog Automatically" is checked;
    // runs once, when the window's modal run begins.
    void FormActivate();
    // The final save; a failure goes to the error box and ends nothing.
    void FormDestroy();

    // Closing ends the window's modal run once a running walk has unwound:
    // it stops the walk and drops a run waiting to start.
    void done(int Result) override;

protected:
    void FormResize() override;
    void showEvent(QShowEvent *Event) override;
    // A new palette (a theme switched) recolours the report.
    void changeEvent(QEvent *Event) override;
    // Esc belongs to the report text: the window has no Cancel button, so
    // the key must not end the program.
    void keyPressEvent(QKeyEvent *Event) override;

private:
    void Connect(QAction *Action, void (TCompareReport::*Handler)());
    void Connect(QAction *Action, const std::function<void()> &Command);
    // One run taken from the queue, with no other run going.
    void RunNow(const TCompareRequest &Request);
    // Empties the report and its status: "&New", also once a run it stopped
    // has unwound.
    void ClearReport();
    void ShowTitle();
    void NameSeparators();
    // Two files dropped from outside are compared, one opens the dialog
    // with it; the start waits for the drop to end.
    void FilesDropped(const QStringList &Files);

    Ui::CompareReport ui;
    TCompareDialog *FCompareDialog = nullptr;
    TCompareWizard *FCompareWizard = nullptr;
    std::unique_ptr<TFieldSink> FSink; // made once the design exists
    std::unique_ptr<TKeptReport> FKept;
    std::unique_ptr<TReportOutput> FOutput;
    TRunQueue FRuns;
    bool FActivated = false;
    QStringList FStartFiles;
    // The last run's request and whether the wizard started it (a wizard
    // run uses no options): what "Compare Again" repeats.
    struct TLastRun {
        TCompareRequest Request;
        bool FromWizard = false;
    };
    std::optional<TLastRun> FLastRun;
    std::optional<TCompareRequest> FTitleRun;   // the run the title names
    TDifferenceNavigator *FNavigator = nullptr; // owned by the report text
    TFindBar *FFindBar = nullptr;
    TLineChoice FLineChoice = TLineChoice::Report;                   // "Go to Line"'s last choice
    std::pair<QString, QString> FRunLabels = RunFileLabels(nullptr); // the files it names
};
