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
    // "Run Dialog Automatically" and "Save Report on Exit".
    bool StartWithDialog() const;
    bool MaintainReport() const;

    QFileDialog *fileOpen = nullptr;

    // Browse for the first file (Button2 and browse1Button) and the second.
    void Button2Click();
    void browse2ButtonClick();
    void helpButtonClick();

    // OK with a pattern to ignore that does not compile keeps the dialog
    // open: the line under the box says why, and the focus goes to the box.
    void done(int Result) override;

signals:
    // A drop on a file box was refused, and why; the box shows it as a tip
    // and the report window in its status bar.
    void DropRefused(const QString &Why);

protected:
    void FormResize() override;
    // Opens with the cursor in "A File", its text selected, or on the first
    // check box when the Options page is in front.
    void showEvent(QShowEvent *Event) override;

private:
    // One persisted check box: the value name and its default.
    struct TCheckBoxValue {
        QCheckBox *Box;
        const char *Name;
        bool Default;
    };

    // Commits Box's text to its history, seeds the open dialog with it and,
    // unless the dialog is cancelled, puts the chosen file in the box.
    void Browse(THistoryBox *Box);
    // The focus to the first control of the page in front.
    void FocusPage();

    Ui::CompareDialog ui;
    std::vector<TCheckBoxValue> FCheckBoxes;
};
