#include "AppTestSupport.h"
#include "UCompareReport.h"
#include "UiChild.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QDoubleSpinBox>
#include <QFile>
#include <QFileDialog>
#include <QLineEdit>
#include <QMessageBox>
#include <QPageSetupDialog>
#include <QPlainTextEdit>
#include <QPrintDialog>
#include <QPrinter>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpression>
#include <QStatusBar>
#include <QTimer>
#include <atomic>
#include <fcntl.h>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>

namespace {

class ReportOutputTest : public AppTest {
protected:
    std::unique_ptr<TCompareReport> Report;
    QPlainTextEdit *Field = nullptr;

    void SetUp() override {
        AppTest::SetUp();
        Report = OpenReport();
        Field = Child<QPlainTextEdit>(Report, "resultField");
    }
    void TearDown() override {
        Report.reset();
        AppTest::TearDown();
    }
    QString Status() const { return Child<QStatusBar>(Report, "StatusBar1")->currentMessage(); }
    // Prints to the PDF file Name, as the print dialog's user who chose it.
    void PrintTo(const QString &Name) {
        Answer<QPrintDialog>([Name](QPrintDialog *Dialog) {
            Dialog->printer()->setOutputFormat(QPrinter::PdfFormat);
            Dialog->printer()->setOutputFileName(Name);
            return int(QDialog::Accepted);
        });
        Child<QAction>(Report, "Print1")->trigger();
    }
    static mode_t Kind(const QString &Name) {
        struct stat status {};
        return lstat(QFile::encodeName(Name).constData(), &status) == 0 ? status.st_mode & S_IFMT
                                                                        : 0;
    }
};

// A FIFO with a reader that takes whatever comes, so that a writer that
// opens it neither waits nor blocks.
class TDrainedFifo {
public:
    explicit TDrainedFifo(const QString &Name) {
        mkfifo(QFile::encodeName(Name).constData(), 0600);
        FFd = open(QFile::encodeName(Name).constData(), O_RDONLY | O_NONBLOCK);
        FReader = std::thread([this] {
            char bytes[4096];
            while (!FDone) {
                const ssize_t got = read(FFd, bytes, sizeof bytes);
                if (got > 0)
                    FTaken += got;
                else
                    usleep(1000);
            }
        });
    }
    ~TDrainedFifo() {
        FDone = true;
        FReader.join();
        close(FFd);
    }
    long Taken() const { return FTaken; }

private:
    int FFd = -1;
    std::atomic<bool> FDone = false;
    std::atomic<long> FTaken = 0;
    std::thread FReader;
};

// Save As writes a regular file, a new name or a link to a regular file, and
// says so; anything else is refused and stays as it was (a FIFO is not
// replaced by a file, a dangling link makes no file).
TEST_F(ReportOutputTest, SaveAsWritesOnlyRegularFilesAndSaysSo) {
    Field->setPlainText(QStringLiteral("report"));
    const QString target = WriteLines(QStringLiteral("target.txt"), {"old"}), fifo = Path("fifo");
    mkfifo(QFile::encodeName(fifo).constData(), 0600);
    for (const auto &[link, to] : {std::pair{"to-target", target}, std::pair{"to-fifo", fifo},
                                   std::pair{"dangling", Path("nowhere")}})
        symlink(QFile::encodeName(to).constData(), QFile::encodeName(Path(link)).constData());
    const std::pair<QString, bool> saves[] = {{Path("new.txt"), true},
                                              {Path("to-target"), true},
                                              {fifo, false},
                                              {Path("to-fifo"), false},
                                              {Path("dangling"), false}};
    for (const auto &[name, written] : saves) {
        Answer<QFileDialog>([name](QFileDialog *Dialog) {
            Dialog->selectFile(name);
            return int(QDialog::Accepted);
        });
        Child<QAction>(Report, "SaveAs1")->trigger();
        EXPECT_EQ(TakeErrors(),
                  written ? QStringList()
                          : QStringList("Cannot write file " + name + ": not a regular file."));
        if (written) {
            EXPECT_EQ(Status(), "Saved " + name);
        }
    }
    QFile saved(target);
    ASSERT_TRUE(saved.open(QIODevice::ReadOnly));
    EXPECT_EQ(saved.readAll(), "report\n");
    EXPECT_EQ(Kind(fifo), mode_t(S_IFIFO));
    EXPECT_EQ(Kind(Path("to-target")), mode_t(S_IFLNK));
    EXPECT_EQ(Kind(Path("nowhere")), mode_t(0));
}

// Printing to a file that cannot take the whole PDF (a device such as a
// full disk, a FIFO, a folder that is gone) says why and leaves no file.
TEST_F(ReportOutputTest, PrintToAFileThatCannotBeWrittenSaysWhy) {
    Field->setPlainText(QStringLiteral("report"));
    TDrainedFifo fifo(Path("fifo"));
    QDir().mkpath(Path("gone"));
    const QString inGone = Path("gone/report.pdf");
    const std::pair<QString, QString> targets[] = {{"/dev/full", "not a regular file"},
                                                   {Path("fifo"), "not a regular file"},
                                                   {inGone, "No such file or directory"}};
    QDir().rmdir(Path("gone"));
    for (const auto &[name, why] : targets) {
        PrintTo(name);
        const QStringList errors = TakeErrors();
        ASSERT_EQ(errors.size(), 1) << name.toStdString();
        EXPECT_TRUE(errors[0].startsWith("Cannot write file " + name + ": " + why))
            << errors[0].toStdString();
    }
    EXPECT_EQ(fifo.Taken(), 0);
    EXPECT_FALSE(QFile::exists(inGone));
}

// The print dialog's Print checks the file named in its box before Qt's own
// checks open it: a FIFO is refused and the dialog stays open.
TEST_F(ReportOutputTest, ThePrintButtonRefusesAFifoBeforeQtOpensIt) {
    TDrainedFifo fifo(Path("fifo"));
    bool stayed = false, qtAsked = false;
    Answer<QPrintDialog>([&](QPrintDialog *Dialog) {
        QTimer::singleShot(0, Dialog, [&, Dialog] {
            Child<QLineEdit>(Dialog, "filename")->setText(Path("fifo"));
            // A question of Qt's own, had it opened the FIFO, is answered No.
            QTimer question;
            QObject::connect(&question, &QTimer::timeout, [&] {
                if (auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget()))
                    qtAsked = true, box->reject();
            });
            question.start(20);
            auto *buttons = Dialog->findChild<QDialogButtonBox *>();
            buttons->button(QDialogButtonBox::Ok)->click();
            stayed = Dialog->isVisible();
            Dialog->reject();
        });
        return Dialog->exec();
    });
    Child<QAction>(Report, "Print1")->trigger();
    EXPECT_EQ(TakeErrors(),
              QStringList("Cannot write file " + Path("fifo") + ": not a regular file."));
    EXPECT_TRUE(stayed);
    EXPECT_FALSE(qtAsked);
    EXPECT_EQ(fifo.Taken(), 0);
}

// The text of the PDF's page streams, inflated.
QString PdfText(const QString &Name) {
    QFile file(Name);
    const QByteArray raw = file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    QByteArray text = raw;
    for (qsizetype at = 0, end;
         (at = raw.indexOf("stream\n", at)) >= 0 && (end = raw.indexOf("endstream", at)) >= 0;
         at = end + 9)
        text += qUncompress(QByteArray("\x00\x10\x00\x00", 4) + raw.mid(at + 7, end - at - 7));
    return QString::fromLatin1(text);
}

// Where the first line of text starts on the first page, in points from
// the page's left edge: the page's transform ("a b c d e f cm"), then the
// first glyph's position within it.
double FirstTextLeft(const QString &Pdf) {
    const QRegularExpression page(QStringLiteral("([-0-9.]+) 0 0 [-0-9.]+ ([-0-9.]+) [-0-9.]+ cm"));
    const QRegularExpression glyph(
        QStringLiteral("1 0 0 -1 ([-0-9.]+) [-0-9.]+ Tm\\s+([-0-9.]+) [-0-9.]+ Td"));
    const auto transform = page.match(Pdf), first = glyph.match(Pdf);
    if (!transform.hasMatch() || !first.hasMatch())
        return -1;
    return transform.captured(2).toDouble() +
           transform.captured(1).toDouble() *
               (first.captured(1).toDouble() + first.captured(2).toDouble());
}

// The paper size, orientation and margins of Print Setup are the page the
// report fills, with nothing added inside the margins; the status says how
// many pages went where.
TEST_F(ReportOutputTest, ThePageOfPrintSetupIsFilledAndThePagesAreCounted) {
    QStringList lines;
    for (int i = 0; i < 200; ++i)
        lines << QStringLiteral("line %1").arg(i);
    Field->setPlainText(lines.join('\n'));
    Answer<QPageSetupDialog>([](QPageSetupDialog *Dialog) {
        QTimer::singleShot(0, Dialog, [Dialog] {
            auto *size = Child<QComboBox>(Dialog, "pageSizeCombo");
            size->setCurrentIndex(size->findText(QStringLiteral("A5"), Qt::MatchStartsWith));
            Child<QRadioButton>(Dialog, "landscape")->click();
            auto *unit = Child<QComboBox>(Dialog, "unitCombo");
            unit->setCurrentIndex(unit->findText(QStringLiteral("Millimeters (mm)")));
            for (const char *margin : {"leftMargin", "topMargin", "rightMargin", "bottomMargin"})
                Child<QDoubleSpinBox>(Dialog, margin)->setValue(3.53);
            Dialog->accept();
        });
        return Dialog->exec();
    });
    Child<QAction>(Report, "PrintSetup1")->trigger();
    const QString pdf = Path("report.pdf");
    PrintTo(pdf);
    const QString text = PdfText(pdf);
    EXPECT_TRUE(text.contains(QRegularExpression("/MediaBox \\[0 0 595(\\.0*)? 420(\\.0*)?\\]")));
    EXPECT_NEAR(FirstTextLeft(text), 3.53 / 25.4 * 72, 0.5);
    const qsizetype pages = text.count(QRegularExpression("/Type /Page\\b"));
    EXPECT_GT(pages, 1);
    EXPECT_EQ(Status(), QStringLiteral("Printed %1 pages to %2").arg(pages).arg(pdf));
}

} // namespace
