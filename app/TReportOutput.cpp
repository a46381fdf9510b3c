#include "TReportOutput.h"

#include "TForm.h"
#include "TMyIniFile.h"

#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QPageSetupDialog>
#include <QPlainTextEdit>
#include <QPrintDialog>
#include <QPrinter>
#include <QSaveFile>
#include <QTextDocument>
#include <stdexcept>

TReportOutput::TReportOutput(QWidget *Window, QPlainTextEdit *Field, QString DocumentName,
                             std::function<void()> WholeReport)
    : FWindow(Window), FField(Field), FDocumentName(std::move(DocumentName)),
      FWholeReport(std::move(WholeReport)) {
    SaveDialog1 = new QFileDialog(Window);
    SaveDialog1->setObjectName(QStringLiteral("SaveDialog1"));
    SaveDialog1->setOption(QFileDialog::DontUseNativeDialog);
    SaveDialog1->setAcceptMode(QFileDialog::AcceptSave);
    SaveDialog1->setFileMode(QFileDialog::AnyFile);
}

TReportOutput::~TReportOutput() = default;

void TReportOutput::SaveReport(const QString &FileName) {
    FWholeReport();
    QString text;
    for (const QString &line : PlainTextLines(FField)) {
        text += line;
        text += QLatin1Char('\n');
    }
    QSaveFile file(FileName);
    const auto fail = [&] {
        return std::runtime_error(QStringLiteral("Cannot write file %1: %2")
                                      .arg(QDir::toNativeSeparators(FileName), file.errorString())
                                      .toStdString());
    };
    if (!file.open(QIODevice::WriteOnly))
        throw fail();
    const QByteArray bytes = text.toUtf8();
    if (file.write(bytes) != bytes.size() || !file.commit())
        throw fail();
}

void TReportOutput::PrintReport(QPrinter &Printer) {
    FWholeReport();
    Printer.setDocName(FDocumentName);
    FField->print(&Printer);
    if (Printer.printerState() == QPrinter::Error)
        throw std::runtime_error(
            QStringLiteral("Cannot print %1").arg(Printer.docName()).toStdString());
}

QPrintDialog *TReportOutput::PrintDialog() {
    if (!FPrinter)
        FPrinter = std::make_unique<QPrinter>();
    if (!PrintDialog1) {
        PrintDialog1 = new QPrintDialog(FPrinter.get(), FWindow);
        PrintDialog1->setObjectName(QStringLiteral("PrintDialog1"));
        PrintDialog1->setOption(QAbstractPrintDialog::PrintToFile);
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

void TReportOutput::SaveAs() {
    // Proposed afresh every time, and a name that saves when accepted: the
    // section's "Compare\Report.txt" would be relative, below a folder that
    // need not exist.
    const QString folder = FSaveAsFolder.isEmpty() ? QDir::homePath() : FSaveAsFolder;
    SaveDialog1->selectFile(QDir(folder).filePath(QStringLiteral("Report.txt")));
    if (ShowModal(SaveDialog1) != QDialog::Accepted)
        return;
    const QStringList chosen = SaveDialog1->selectedFiles();
    if (chosen.isEmpty())
        return;
    SaveReport(chosen.first());
    // Nothing of the user's is lost now.
    FField->document()->setModified(false);
    FSaveAsFolder = QFileInfo(chosen.first()).absolutePath();
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
    PrintReport(*dialog->printer());
}
