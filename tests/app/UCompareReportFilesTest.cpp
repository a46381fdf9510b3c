#include "AppTestSupport.h"
#include "SettingsRootKey.h"
#include "TMyIniFile.h"
#include "TRegIniFile.h"
#include "UCompareDialog.h"
#include "UCompareReport.h"
#include "ULoadConfig.h"
#include "USaveConfig.h"
#include "UiChild.h"

#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QFontDatabase>
#include <QFontDialog>
#include <QFontInfo>
#include <QLineEdit>
#include <QPrintDialog>
#include <QPrinter>
#include <QRegularExpression>

namespace {

class ReportFilesTest : public AppTest {
protected:
    static QByteArray Read(const QString &Path) {
        QFile file(Path);
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }
    // Prints the report through the print dialog into a PDF file.
    QByteArray PrintToPdf(TCompareReport &Report, const QString &Name) {
        const QString pdf = Path(Name);
        Answer<QPrintDialog>([&](QPrintDialog *Dialog) {
            Dialog->printer()->setOutputFormat(QPrinter::PdfFormat);
            Dialog->printer()->setOutputFileName(pdf);
            return int(QDialog::Accepted);
        });
        Child<QAction>(&Report, "Print1")->trigger();
        return Read(pdf);
    }
    // A PDF text string: big-endian UTF-16 behind a byte order mark, with
    // parentheses and backslashes escaped.
    static QByteArray PdfText(const QString &Text) {
        QByteArray bytes("(\xFE\xFF");
        for (const QChar c : Text)
            for (const char part : {char(c.unicode() >> 8), char(c.unicode() & 0xFF)}) {
                if (part == '(' || part == ')' || part == '\\')
                    bytes += '\\';
                bytes += part;
            }
        return bytes + ')';
    }
    static int PageCount(const QByteArray &Pdf) {
        return int(QString::fromLatin1(Pdf).count(
            QRegularExpression(QStringLiteral("/Type\\s*/Page\\b"))));
    }
};

// Save As writes the report as UTF-8 lines. The name it proposes saves when
// accepted: Report.txt in the home folder, later in the folder of the last
// successful save. A file that cannot be written is shown in the error
// box, and the report and the file stay as they were.
TEST_F(ReportFilesTest, SaveAsWritesUtf8LinesOrShowsWhyNot) {
    auto report = OpenReport();
    const QString text = QString::fromUtf8("first line\n\nsecond \xC3\xA9\xC2\xA0line");
    Child<QPlainTextEdit>(report, "resultField")->setPlainText(text);
    // A path below a plain file cannot be created, not even by root.
    const QString blocker = WriteLines(QStringLiteral("blocker"), {"x"});
    const QString home = QDir::homePath() + QStringLiteral("/Report.txt");
    // The name typed (none: the proposal is accepted) and the one proposed.
    const QString here = Path(QStringLiteral("Report.txt"));
    const std::pair<QString, QString> Saves[] = {{QString(), home},
                                                 {Path(QStringLiteral("one.txt")), home},
                                                 {blocker + "/report.txt", here},
                                                 {QString(), here}};
    for (const auto &[typed, proposed] : Saves) {
        Answer<QFileDialog>([&](QFileDialog *Dialog) {
            EXPECT_EQ(Dialog->acceptMode(), QFileDialog::AcceptSave);
            EXPECT_EQ(Dialog->selectedFiles(), QStringList(proposed));
            if (!typed.isEmpty())
                Dialog->selectFile(typed);
            return int(QDialog::Accepted);
        });
        Child<QAction>(report, "SaveAs1")->trigger();
    }
    for (const QString &saved : {home, Path(QStringLiteral("one.txt")), here})
        EXPECT_EQ(Read(saved), QByteArray("first line\n\nsecond \xC3\xA9\xC2\xA0line\n"));
    const QStringList errors = TakeErrors();
    ASSERT_EQ(errors.size(), 1);
    EXPECT_TRUE(errors[0].startsWith(QStringLiteral("Cannot write file ") + blocker))
        << errors[0].toStdString();
    EXPECT_TRUE(errors[0].endsWith(QLatin1Char('.')));
    EXPECT_EQ(PlainTextLines(Child<QPlainTextEdit>(report, "resultField")).join('\n'), text);
    EXPECT_EQ(Read(blocker), QByteArray("x\n"));
}

TEST_F(ReportFilesTest, PrintingMakesOneTitledJobThatGrowsWithTheReport) {
    auto report = OpenReport();
    Child<QPlainTextEdit>(report, "resultField")->setPlainText(QStringLiteral("a short report"));
    const QByteArray small = PrintToPdf(*report, QStringLiteral("small.pdf"));
    ASSERT_FALSE(small.isEmpty());
    EXPECT_EQ(PageCount(small), 1);

    QStringList lines;
    for (int i = 0; i < 400; ++i)
        lines << QStringLiteral("report line %1").arg(i);
    Child<QPlainTextEdit>(report, "resultField")->setPlainText(lines.join(QLatin1Char('\n')));
    const QByteArray large = PrintToPdf(*report, QStringLiteral("large.pdf"));
    EXPECT_GT(PageCount(large), 3);
    EXPECT_EQ(report->PrintDialog()->printer()->docName(),
              QStringLiteral("Compare\\Report Tarnwell"));
    EXPECT_TRUE(large.contains("/Title " + PdfText(QStringLiteral("Compare\\Report Tarnwell"))))
        << "document title missing";
}

TEST_F(ReportFilesTest, PrintToAnUnwritableFileShowsTheErrorBox) {
    auto report = OpenReport();
    Child<QPlainTextEdit>(report, "resultField")->setPlainText(QStringLiteral("text"));
    WriteLines(QStringLiteral("blocker"), {"x"});
    PrintToPdf(*report, QStringLiteral("blocker/out.pdf"));
    EXPECT_EQ(TakeErrors().size(), 1);
}

// The first start shows "Courier New" at 10 points, or a fixed-pitch face
// in its stead, which the font dialog offers with the regular style. A
// chosen font is back at the next start; a cancelled dialog changes nothing.
TEST_F(ReportFilesTest, ChosenFontIsBackAtTheNextStart) {
    QFont chosen(QStringLiteral("DejaVu Sans Mono"));
    chosen.setPointSize(14);
    chosen.setBold(true);
    chosen.setItalic(true);
    {
        auto report = OpenReport();
        const QFont font = Child<QPlainTextEdit>(report, "resultField")->font();
        EXPECT_EQ(std::make_tuple(font.family(), font.pointSize(), font.bold(), font.italic()),
                  std::make_tuple(QStringLiteral("Courier New"), 10, false, false));
        EXPECT_TRUE(QFontInfo(font).fixedPitch()) << QFontInfo(font).family().toStdString();
        const QFont offered = report->GetFontDialog()->currentFont();
        EXPECT_EQ(std::make_tuple(offered.family(), offered.pointSize(), offered.bold(),
                                  offered.italic()),
                  std::make_tuple(QFontInfo(font).family(), 10, false, false));
        Answer<QFontDialog>([&](QFontDialog *Dialog) {
            Dialog->setCurrentFont(chosen);
            return int(QDialog::Accepted);
        });
        Child<QAction>(report, "Font1")->trigger();
        EXPECT_EQ(
            Child<QPlainTextEdit>(report, "resultField")->document()->defaultFont().pointSize(),
            14);
    }
    auto report = OpenReport();
    const QFont font = Child<QPlainTextEdit>(report, "resultField")->font();
    EXPECT_EQ(std::make_tuple(font.family(), font.pointSize(), font.bold(), font.italic()),
              std::make_tuple(chosen.family(), 14, true, true));
    EXPECT_EQ(report->GetFontDialog()->currentFont().family(), chosen.family());

    Answer<QFontDialog>([](QFontDialog *Dialog) {
        Dialog->setCurrentFont(QFont(QStringLiteral("DejaVu Serif"), 20));
        return int(QDialog::Rejected);
    });
    Child<QAction>(report, "Font1")->trigger();
    EXPECT_EQ(Child<QPlainTextEdit>(report, "resultField")->font().family(), chosen.family());
    EXPECT_EQ(report->GetFontDialog()->currentFont().family(), chosen.family());
}

// A configuration named on the command line holds what the run set; the
// default one stays untouched.
TEST_F(ReportFilesTest, ConfigurationFromTheArgument) {
    {
        auto report = OpenReport(SettingsRootKey({"tarnwell", "/some/where/Daily"}, 1));
        Child<QCheckBox>(report->CompareDialog(), "ignoreBigNumbers")->setChecked(true);
    }
    TRegIniFile dailyStore(std::string(OthersKey) + "\\Daily");
    EXPECT_TRUE(dailyStore.ReadBool("Compare\\Dialog", "CheckBox-3", false));
    TRegIniFile defaultStore(DefaultRootKey);
    EXPECT_FALSE(defaultStore.ReadBool("Compare\\Dialog", "CheckBox-3", false));
}

// Loading a configuration gives the report every style of its stored font,
// whatever the font before had: a regular one loses the bold of a font
// chosen before, a bold one is bold after a regular one, in the report and
// in the font dialog. The dialog's values come back with it.
TEST_F(ReportFilesTest, LoadingAConfigurationGivesTheFontItsStoredStyles) {
    auto report = OpenReport();
    auto *field = Child<QPlainTextEdit>(report, "resultField");
    const auto choose = [&](const char *Style) {
        Answer<QFontDialog>([Style](QFontDialog *Dialog) {
            Dialog->setCurrentFont(QFontDatabase::font("DejaVu Sans Mono", Style, 12));
            return int(QDialog::Accepted);
        });
        Child<QAction>(report, "Font1")->trigger();
    };
    const auto save = [&](const char *Name) {
        Answer<TSaveConfig>([Name](TSaveConfig *Save) {
            Child<QLineEdit>(Save, "EditName")->setText(QString::fromLatin1(Name));
            return int(mrOk);
        });
        Child<QAction>(report, "SaveConfiguration1")->trigger();
    };
    const auto load = [&](const char *Name) {
        Answer<TLoadConfig>([Name](TLoadConfig *Load) {
            auto *names = Child<QComboBox>(Load, "ComboBoxNames");
            names->setCurrentIndex(names->findText(QString::fromLatin1(Name)));
            return int(mrOk);
        });
        Child<QAction>(report, "LoadConfiguration1")->trigger();
    };
    const auto bold = [&] {
        const QFont font = field->font();
        EXPECT_FALSE(font.italic() || QFontInfo(font).italic());
        EXPECT_EQ(font.bold(), QFontInfo(font).bold()) << "what is shown differs";
        return QFontInfo(font).bold();
    };
    choose("Bold");
    ASSERT_TRUE(bold());
    Child<QCheckBox>(report->CompareDialog(), "dontListCommon")->setChecked(true);
    save("Bold");
    choose("Book");
    ASSERT_FALSE(bold());
    Child<QCheckBox>(report->CompareDialog(), "dontListCommon")->setChecked(false);
    save("Regular");

    choose("Bold");
    load("Regular");
    EXPECT_FALSE(bold());
    EXPECT_FALSE(report->GetFontDialog()->currentFont().bold());
    load("Bold");
    EXPECT_TRUE(bold());
    EXPECT_TRUE(report->GetFontDialog()->currentFont().bold());
    EXPECT_TRUE(Child<QCheckBox>(report->CompareDialog(), "dontListCommon")->isChecked());
}

TEST_F(ReportFilesTest, FailedSaveAtExitIsShownAndStopsThere) {
    {
        auto report = OpenReport();
        Child<QCheckBox>(report->CompareDialog(), "maintainReport")->setChecked(true);
        Child<QPlainTextEdit>(report, "resultField")->setPlainText(QStringLiteral("kept"));
        // The kept report's folder cannot be made: a plain file is in the way.
        WriteLines(QStringLiteral("data/Brackwater Software"), {"x"});
    }
    EXPECT_EQ(TakeErrors().size(), 1);
    TRegIniFile store(DefaultRootKey);
    EXPECT_TRUE(store.ReadBool("Compare\\Dialog", "CheckBox-6", false))
        << "saved before the failure";
    EXPECT_EQ(store.ReadString("Compare\\ReportFont-1", "Name", "none"), "none")
        << "not saved after it";
}

} // namespace
