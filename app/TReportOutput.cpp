#include "TReportOutput.h"

#include "NameOnlyIcons.h"
#include "PrintToFile.h"
#include "ReportPages.h"
#include "RunTexts.h"
#include "TFolderReport.h"
#include "TForm.h"
#include "TMyIniFile.h"
#include "UnifiedDiff.h"
#include "UnifiedTrees.h"
#include "WriteTarget.h"

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QPageSetupDialog>
#include <QPdfWriter>
#include <QPlainTextEdit>
#include <QPrintDialog>
#include <QPrinter>
#include <QStatusBar>
#include <QTextDocument>
#include <new>
#include <stdexcept>

namespace {

// The pages of a job that printed no page, or a part of the pages.
std::pair<int, int> PageRange(const QPrinter &Printer) {
    if (Printer.printRange() != QPrinter::PageRange)
        return {0, 0};
    return {Printer.fromPage(), Printer.toPage()};
}

QString PagesText(int Pages) {
    return Pages == 1 ? QStringLiteral("1 page") : QStringLiteral("%1 pages").arg(Pages);
}

} // namespace

TReportOutput::TReportOutput(QWidget *Window, QPlainTextEdit *Field, QStatusBar *Status,
                             QString DocumentName, std::function<void()> WholeReport)
    : FWindow(Window), FField(Field), FStatus(Status), FDocumentName(std::move(DocumentName)),
      FWholeReport(std::move(WholeReport)) {
    SaveDialog1 = new QFileDialog(Window);
    SaveDialog1->setObjectName(QStringLiteral("SaveDialog1"));
    SaveDialog1->setOption(QFileDialog::DontUseNativeDialog);
    SaveDialog1->setAcceptMode(QFileDialog::AcceptSave);
    SaveDialog1->setFileMode(QFileDialog::AnyFile);
    ShowNamesOnly(SaveDialog1);
}

TReportOutput::~TReportOutput() = default;

void TReportOutput::SaveReport(const QString &FileName) {
    FWholeReport();
    QString text;
    for (const QString &line : PlainTextLines(FField)) {
        text += line;
        text += QLatin1Char('\n');
    }
    WriteWholeFile(FileName, text.toUtf8());
}

void TReportOutput::SavePatch(const QString &FileName, const TCompareRequest &Run) {
    // Checked first: the files are read only for a name that can take them.
    CheckWriteTarget(FileName);
    QByteArray patch;
    const TUnifiedWrite write = [&](std::string_view Bytes) {
        patch.append(Bytes.data(), qsizetype(Bytes.size()));
    };
    if (IsFolder(Run.FileName1) && IsFolder(Run.FileName2)) {
        // A patch that leaves out a path it could not read is not saved.
        QStringList troubles;
        const TUnifiedTreeOutcome outcome =
            WriteUnifiedTrees(Run, 3, write, [&](std::string_view Text, bool Trouble) {
                if (Trouble)
                    troubles << QString::fromUtf8(Text.data(), qsizetype(Text.size()));
            });
        if (!troubles.isEmpty())
            throw std::runtime_error(QStringLiteral("Cannot make a patch of the folders: %1")
                                         .arg(troubles.join(QLatin1Char('\n')))
                                         .toStdString());
        if (outcome.Broken)
            throw std::bad_alloc();
        WriteWholeFile(FileName, patch);
        return;
    }
    const TUnifiedOutcome outcome = WriteUnifiedDiff(WithFileInFolder(Run), {}, write);
    // Unsaved, the old file stays.
    if (const QString errors = LoadErrorsText(Run, outcome.Run); !errors.isEmpty())
        throw std::runtime_error(errors.toStdString());
    if (outcome.CutFile != 0) {
        const std::string &name = outcome.CutFile == 1 ? Run.FileName1 : Run.FileName2;
        throw std::runtime_error(
            QStringLiteral("Cannot make a patch of %1: it holds a zero byte")
                .arg(QDir::toNativeSeparators(QFile::decodeName(QByteArray::fromStdString(name))))
                .toStdString());
    }
    if (outcome.Run.Broken)
        throw std::bad_alloc();
    WriteWholeFile(FileName, patch);
}

int TReportOutput::PrintReport(QPrinter &Printer) {
    FWholeReport();
    Printer.setDocName(FDocumentName);
    const auto [from, to] = PageRange(Printer);
    const QString file =
        Printer.outputFormat() == QPrinter::PdfFormat ? Printer.outputFileName() : QString();
    if (file.isEmpty()) {
        const int pages = PrintReportPages(*FField->document(), Printer, from, to);
        if (pages < 0 || Printer.printerState() == QPrinter::Error)
            throw std::runtime_error(
                QStringLiteral("Cannot print %1").arg(Printer.docName()).toStdString());
        return pages;
    }
    // A PDF goes to the file only when it is all there, and only through
    // the one writer of the files a user names.
    CheckWriteTarget(file);
    QBuffer pdf;
    pdf.open(QIODevice::WriteOnly);
    QPdfWriter writer(&pdf);
    writer.setPdfVersion(Printer.pdfVersion());
    writer.setResolution(Printer.resolution());
    writer.setPageLayout(Printer.pageLayout());
    writer.setTitle(FDocumentName);
    writer.setCreator(QStringLiteral("Tarnwell"));
    const int pages = PrintReportPages(*FField->document(), writer, from, to);
    if (pages < 0)
        throw std::runtime_error(
            QStringLiteral("Cannot print %1").arg(FDocumentName).toStdString());
    WriteWholeFile(file, pdf.data());
    return pages;
}

QPrintDialog *TReportOutput::PrintDialog() {
    if (!FPrinter)
        FPrinter = std::make_unique<QPrinter>();
    if (!PrintDialog1) {
        PrintDialog1 = new QPrintDialog(FPrinter.get(), FWindow);
        PrintDialog1->setObjectName(QStringLiteral("PrintDialog1"));
        PrintDialog1->setOption(QAbstractPrintDialog::PrintToFile);
        GuardPrintToFile(PrintDialog1);
    }
    return PrintDialog1;
}

QPageSetupDialog *TReportOutput::PrinterSetupDialog() {
    if (!FPrinter)
        FPrinter = std::make_unique<QPrinter>();
    if (!PrinterSetupDialog1) {
        PrinterSetupDialog1 = new QPageSetupDialog(FPrinter.get(), FWindow);
        PrinterSetupDialog1->setObjectName(QStringLiteral("PrinterSetupDialog1"));
    }
    return PrinterSetupDialog1;
}

std::optional<QString> TReportOutput::ChooseSaveName(const QString &Title,
                                                     const QString &Proposed) {
    SaveDialog1->setWindowTitle(Title);
    const QString folder = FSaveAsFolder.isEmpty() ? QDir::homePath() : FSaveAsFolder;
    SaveDialog1->selectFile(QDir(folder).filePath(Proposed));
    if (ShowModal(SaveDialog1) != QDialog::Accepted)
        return std::nullopt;
    const QStringList chosen = SaveDialog1->selectedFiles();
    if (chosen.isEmpty())
        return std::nullopt;
    return chosen.first();
}

void TReportOutput::SaveAs() {
    // Proposed afresh every time, and a name that saves when accepted: the
    // section's "Compare\Report.txt" would be relative, below a folder that
    // need not exist.
    const auto chosen = ChooseSaveName(QStringLiteral("Save As"), QStringLiteral("Report.txt"));
    if (!chosen)
        return;
    SaveReport(*chosen);
    // Nothing of the user's is lost now.
    FField->document()->setModified(false);
    FSaveAsFolder = QFileInfo(*chosen).absolutePath();
    FStatus->showMessage(QStringLiteral("Saved %1").arg(QDir::toNativeSeparators(*chosen)));
}

void TReportOutput::SaveAsPatch() {
    if (!FLastRun)
        return;
    const QString first = QFile::decodeName(QByteArray::fromStdString(FLastRun->FileName1));
    const auto chosen = ChooseSaveName(QStringLiteral("Save as Patch"),
                                       QFileInfo(first).fileName() + QStringLiteral(".patch"));
    if (!chosen)
        return;
    SavePatch(*chosen, *FLastRun);
    FSaveAsFolder = QFileInfo(*chosen).absolutePath();
    FStatus->showMessage(QStringLiteral("Saved %1").arg(QDir::toNativeSeparators(*chosen)));
}

void TReportOutput::PrintSetup() {
    if (ShowModal(PrinterSetupDialog()) != QDialog::Accepted || PrintDialog1 == nullptr)
        return;
    // The print dialog keeps the page it was made with and puts it back on
    // the printer when accepted: it is made afresh, from the page set up now.
    PrintDialog1->deleteLater();
    PrintDialog1 = nullptr;
}

void TReportOutput::Print() {
    QPrintDialog *dialog = PrintDialog();
    if (ShowModal(dialog) != QDialog::Accepted)
        return;
    QPrinter &printer = *dialog->printer();
    const int pages = PrintReport(printer);
    const QString file =
        printer.outputFormat() == QPrinter::PdfFormat ? printer.outputFileName() : QString();
    FStatus->showMessage(file.isEmpty()
                             ? QStringLiteral("Printed %1").arg(PagesText(pages))
                             : QStringLiteral("Printed %1 to %2")
                                   .arg(PagesText(pages), QDir::toNativeSeparators(file)));
}
