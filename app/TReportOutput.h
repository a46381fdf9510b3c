#pragma once

#include "TCompareRequest.h"

#include <QString>
#include <functional>
#include <memory>
#include <optional>

class QFileDialog;
class QPageSetupDialog;
class QPlainTextEdit;
class QPrintDialog;
class QPrinter;
class QStatusBar;
class QWidget;

// Where the report leaves the program: a file chosen in Save As, or a
// printer; and the unified diff of the last run's files, for patch. The
// common dialogs are children of the report window, named as its design
// names them; the two printer dialogs share one printer and are made on
// first use, so starting the program never waits for the print system.
// Before the report goes out, WholeReport makes sure it is all there (a
// kept report still going in). A file the user names is written only if it
// is a regular file, a new name or a link to a regular file (WriteTarget.h),
// and whole or not at all; the status bar then says what was done ("Saved
// NAME", "Printed N pages to NAME", "Printed N pages").
class TReportOutput {
public:
    TReportOutput(QWidget *Window, QPlainTextEdit *Field, QStatusBar *Status, QString DocumentName,
                  std::function<void()> WholeReport);
    ~TReportOutput();
    TReportOutput(const TReportOutput &) = delete;
    TReportOutput &operator=(const TReportOutput &) = delete;

    // Writes the report to FileName as UTF-8 with '\n' after every line,
    // replacing the file atomically; throws with the reason on failure and
    // leaves the file as it was.
    void SaveReport(const QString &FileName);
    // Prints the whole report as one job on Printer, titled with the
    // document name, on the page Printer is set up with; a PDF file is
    // written whole or not at all. Throws when the job cannot be done.
    // Returns the number of pages printed.
    int PrintReport(QPrinter &Printer);
    // Writes the unified diff of Run's two files (or folders), read again
    // and paired with its options, to FileName, whole or not at all. Throws
    // with the reason, writing nothing, when a file cannot be read ("Cannot
    // read file NAME: REASON") or cannot go in a diff, and when the file
    // cannot be written; the file is then as it was.
    void SavePatch(const QString &FileName, const TCompareRequest &Run);
    // The run Save as Patch takes; none before any run and after New.
    void SetLastRun(std::optional<TCompareRequest> Run) { FLastRun = std::move(Run); }

    // The commands. Save As proposes Report.txt in the home folder, later
    // in the folder of the last successful save; Save as Patch proposes the
    // last run's first file name and ".patch" there, and does nothing
    // without a last run.
    void SaveAs();
    void SaveAsPatch();
    void PrintSetup();
    void Print();

    QFileDialog *SaveDialog1 = nullptr;
    QPageSetupDialog *PrinterSetupDialog();
    QPrintDialog *PrintDialog();

private:
    QWidget *FWindow;
    QPlainTextEdit *FField;
    QStatusBar *FStatus;
    QString FDocumentName;
    std::function<void()> FWholeReport;
    std::unique_ptr<QPrinter> FPrinter;
    QPrintDialog *PrintDialog1 = nullptr;
    QPageSetupDialog *PrinterSetupDialog1 = nullptr;
    QString FSaveAsFolder; // of the last successful save; empty before it
    std::optional<TCompareRequest> FLastRun;

    // Shows the save dialog, titled Title, on Proposed (a file name) in the
    // folder of the last save: the name chosen, or nothing when cancelled.
    std::optional<QString> ChooseSaveName(const QString &Title, const QString &Proposed);
};
