#pragma once

#include "TCompareRequest.h"
#include "UMyDialog.h"
#include "ui_UCompareDialog.h"

class QCheckBox;
class QFileDialog;

// The compare dialog: the two file names with their histories and the
// options of a comparison and of the program. It only returns a modal
// result (mrOk, mrWizard, mrCancel); the report window asks it for the
// request and the program options.
class TCompareDialog : public TMyDialog {
    Q_OBJECT
public:
    TCompareDialog(QWidget *Owner, const std::string &KeyPath);

    void LoadLocalFromIniFile() override;
    void SaveLocalToIniFile() override;

    // The comparison the dialog describes now: its two file names (as
    // typed, encoded for the file system) and its options.
    TCompareRequest Options() const;
    // Moves both file names to the top of their histories, the second
    // first, as a run that takes them does; a pattern to ignore, if any,
    // goes to the top of its own.
    void CommitFileNames();
    // Puts a name in the "A File" or the "Other File" box, as typed there.
    void SetFirstFileName(const QString &Name);
    void SetSecondFileName(const QString &Name);
    // The next showing only puts the focus in "Other File": "A File" is
    // named already.
    void StartInOtherFile() { FStartInOtherFile = true; }
    // "Run Dialog Automatically" and "Save Report on Exit".
    bool StartWithDialog() const;
    bool MaintainReport() const;

    QFileDialog *fileOpen = nullptr;

    // Browse for the first file (Button2 and browse1Button) and the second.
    void Button2Click();
    void browse2ButtonClick();
    void helpButtonClick();

    // OK (mrOk) closes only with both file names given: an empty box gets
    // the focus and says why, and the dialog stays open. A pattern to ignore
    // that does not compile keeps it open too: the line under the box says
    // why, and the focus goes to the box.
    void done(int Result) override;

signals:
    // A drop on a file box was refused, and why; the box shows it as a tip
    // and the report window in its status bar.
    void DropRefused(const QString &Why);

protected:
    void FormResize() override;
    // Opens on the Compare page with the cursor in "A File" (or "Other
    // File", see StartInOtherFile), its text selected, whatever page was in
    // front before.
    void showEvent(QShowEvent *Event) override;

private:
    // One persisted check box: the value name and its default.
    struct TCheckBoxValue {
        QCheckBox *Box;
        const char *Name;
        bool Default;
    };

    // Commits Box's text to its history, seeds the open dialog with it and,
    // unless the dialog is cancelled, puts the chosen file in the box. The
    // focus goes back to the box either way, so Enter then is OK.
    void Browse(THistoryBox *Box);
    // The focus to the first control of the page in front.
    void FocusPage();

    Ui::CompareDialog ui;
    std::vector<TCheckBoxValue> FCheckBoxes;
    bool FStartInOtherFile = false;
};
