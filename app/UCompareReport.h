#pragma once

#include "TCompareRequest.h"
#include "TFieldSink.h"
#include "TMyIniFile.h"
#include "UMyReport.h"
#include "ui_UCompareReport.h"

#include <QString>
#include <QStringList>
#include <QTimer>
#include <memory>
#include <optional>

class QFileDialog;
class QPageSetupDialog;
class QPrintDialog;
class QPrinter;
class TCompareDialog;
class TCompareWizard;

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
    // files by their labels from then on, until "&New".
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
    void GoToDifference(bool Forward);
    // The whole report takes Font; a family missing here falls back to a
    // fixed-pitch face so the report's columns still line up.
    void SetReportFont(const QFont &Font) override;
    void LoadLocalFromIniFile() override;
    void SaveLocalToIniFile() override;

    // Writes the report to FileName as UTF-8 with '\n' after every line,
    // replacing the file atomically; throws with the reason on failure and
    // leaves the file as it was.
    void SaveReport(const QString &FileName);
    // Prints the whole report as one job on Printer; throws when the job
    // cannot be started.
    void PrintReport(QPrinter &Printer);

    // The common dialogs. The two printer dialogs share one printer and are
    // made on first use, so starting the program never waits for the print
    // system.
    QFileDialog *SaveDialog1 = nullptr;
    QPageSetupDialog *PrinterSetupDialog();
    QPrintDialog *PrintDialog();

    TCompareDialog *CompareDialog() const { return FCompareDialog; }
    TCompareWizard *CompareWizard() const { return FCompareWizard; }
    TFieldSink &Sink() { return *FSink; }
    // A long kept report goes in a piece at a time after the window shows.
    bool LoadingKeptReport() const { return FKeptFill != nullptr; }

    // Menu handlers.
    void New1Click();
    void SaveAs1Click();
    void Dialog1Click();
    void Wizard1Click();
    void CompareAgain1Click();
    void NextDifference1Click();
    void PreviousDifference1Click();
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
    // RunComparison with no run going.
    void RunNow(const TCompareRequest &Request);
    // One error box naming each file of the run that could not be read.
    void ShowLoadErrors(const TCompareRequest &Request, const TCompareOutcome &Outcome);
    void NameSeparators();
    // The kept report while it goes in: the rest of it at once, before
    // anything takes or adds to the whole report; or no more of it, before
    // the report is emptied. Either ends the fill.
    void CompleteKeptReport();
    void DropKeptReport();
    void FillKeptReport(); // one piece after another, from the event loop
    // Two files dropped from outside are compared, one opens the dialog
    // with it; the start waits for the drop to end.
    void FilesDropped(const QStringList &Files);

    Ui::CompareReport ui;
    TCompareDialog *FCompareDialog = nullptr;
    TCompareWizard *FCompareWizard = nullptr;
    std::unique_ptr<TFieldSink> FSink; // made once the design exists
    std::unique_ptr<TKeptTextFill> FKeptFill;
    QTimer FKeptFillTimer;
    std::unique_ptr<QPrinter> FPrinter;
    QPrintDialog *PrintDialog1 = nullptr;
    QPageSetupDialog *PrinterSetupDialog1 = nullptr;
    QString FSaveAsFolder; // of the last successful Save As; empty before it
    bool FActivated = false;
    bool FRunning = false;
    std::optional<TCompareRequest> FPendingRun; // asked for during a run
    bool FClearAfterRun = false;                // "&New" during a run
    QStringList FStartFiles;
    // The last run's request and whether the wizard started it (a wizard
    // run uses no options): what "Compare Again" repeats.
    struct TLastRun {
        TCompareRequest Request;
        bool FromWizard = false;
    };
    std::optional<TLastRun> FLastRun;
    // Set while the cursor stands where GoToDifference put it.
    bool FAtDifference = false;
};
