#pragma once

#include "ReportTestSupport.h"
#include "TForm.h"
#include "UiChild.h"

#include <QPlainTextEdit>
#include <QStatusBar>
#include <QStringList>
#include <functional>
#include <gtest/gtest.h>
#include <memory>
#include <string>
#include <vector>

class QWidget;
class TCompareReport;

// A test with settings of its own: a fresh hive and data folder, and a
// scripted user who answers the modal windows in the order they appear.
class AppTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;
    // Answers the modal windows again, as from SetUp on.
    void WatchWindows();

    // The next modal window must be a W: Reply acts on it as a user would
    // and returns its modal result. A window nobody expects is cancelled
    // and fails the test.
    template <class W> void Answer(std::function<int(W *)> Reply) {
        FAnswers.push_back({[](QDialog *Window) { return dynamic_cast<W *>(Window) != nullptr; },
                            [Reply](QDialog *Window) { return Reply(dynamic_cast<W *>(Window)); }});
    }
    // Lets the window run for real (exec) when it is shown.
    template <class W> void RunForReal() {
        Answer<W>([](W *Window) { return Window->exec(); });
    }

    // Writes Lines, each followed by '\n', to Name below the test's folder,
    // creating folders; returns the full path.
    QString WriteLines(const QString &Name, const QStringList &Lines);
    QString WriteBytes(const QString &Name, const QByteArray &Bytes);
    QString Path(const QString &Name) const;

    // A report window on the default configuration, shown and active.
    std::unique_ptr<TCompareReport> OpenReport(const std::string &KeyPath = "");

    // The two files of the first worked example (old/ and new/notes.txt).
    std::pair<QString, QString> WorkedExampleFiles();
    // The texts of the error boxes shown since the last call. An error box
    // is answered with OK; one that no test takes fails the test.
    QStringList TakeErrors();

    QString Folder;                    // the test's own scratch folder
    std::vector<QString> ShownWindows; // class names, in showing order

private:
    int Dispatch(QDialog *Window);
    // Which window each answer is for, and the answer.
    std::vector<std::pair<std::function<bool(QDialog *)>, std::function<int(QDialog *)>>> FAnswers;
    QStringList FErrors;
};

// The design name of the control with Window's focus; a part of a control
// (the tabs of a page control) counts as the control.
QString FocusName(const QWidget *Window);

// A report window's status message, and the lines of its report.
template <class R> QString Status(const R &Report) {
    return Child<QStatusBar>(Report, "StatusBar1")->currentMessage();
}
template <class R> QStringList Lines(const R &Report) {
    return ReportLines(Child<QPlainTextEdit>(Report, "resultField"));
}

// The report of the first worked example: two notes.txt files in old/ and new/.
QStringList WorkedExampleReport();
