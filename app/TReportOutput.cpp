#include "TReportOutput.h"

#include "RunTexts.h"
#include "TFolderReport.h"
#include "TForm.h"
#include "TMyIniFile.h"
#include "UnifiedDiff.h"
#include "UnifiedTrees.h"

#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QPageSetupDialog>
#include <QPlainTextEdit>
#include <QPrintDialog>
#include <QPrinter>
#include <QSaveFile>
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

void TReportOutput::SavePatch(const QString &FileName, const TCompareRequest &Run) {
    QSaveFile file(FileName);
    const auto fail = [&] {
        return std::runtime_error(QStringLiteral("Cannot write file %1: %2")
                                      .arg(QDir::toNativeSeparators(FileName), file.errorString())
                                      .toStdString());
    };
    if (!file.open(QIODevice::WriteOnly))
        throw fail();
    bool written = true;
    const TUnifiedWrite write = [&](std::string_view Bytes) {
        written = file.write(Bytes.data(), qint64(Bytes.size())) == qint64(Bytes.size());
        if (!written)
            throw fail();
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
        if (!written || outcome.Broken || !file.commit())
            throw fail();
        return;
    }
    const TUnifiedOutcome outcome = WriteUnifiedDiff(WithFileInFolder(Run), {}, write);
    // Unsaved, the new file goes and the old one stays.
    if (const QString errors = LoadErrorsText(Run, outcome.Run); !errors.isEmpty())
        throw std::runtime_error(errors.toStdString());
    if (outcome.CutFile != 0) {
        const std::string &name = outcome.CutFile == 1 ? Run.FileName1 : Run.FileName2;
        throw std::runtime_error(
            QStringLiteral("Cannot make a patch of %1: it holds a zero byte")
                .arg(QDir::toNativeSeparators(QFile::decodeName(QByteArray::fromStdString(name))))
                .toStdString());
    }
    if (!written || outcome.Run.Broken || !file.commit())
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
    FSaveAsFolder = QFileInfo(*chosen).absolutePath();
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
