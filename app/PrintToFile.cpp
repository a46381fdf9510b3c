#include "PrintToFile.h"

#include "NameOnlyIcons.h"
#include "TForm.h"
#include "WriteTarget.h"

#include <QComboBox>
#include <QCompleter>
#include <QDialogButtonBox>
#include <QDir>
#include <QFileDialog>
#include <QFileSystemModel>
#include <QLineEdit>
#include <QPrintDialog>
#include <QPushButton>
#include <stdexcept>

namespace {

// The file the dialog would print to, as Qt reads its box; empty when it
// prints to a printer.
QString ChosenFile(const QLineEdit *Box) {
    if (!Box->isEnabled())
        return QString();
    const QString name = Box->text();
    return QDir::isRelativePath(name) ? QDir::home().filePath(name) : name;
}

} // namespace

void GuardPrintToFile(QPrintDialog *Dialog) {
    auto *box = Dialog->findChild<QLineEdit *>(QStringLiteral("filename"));
    if (box == nullptr)
        return;
    if (QCompleter *completer = box->completer())
        if (auto *model = qobject_cast<QFileSystemModel *>(completer->model()))
            if (model->parent() != nullptr)
                ShowNamesOnly(model);

    // "..." opens a file dialog that reads no file, with Qt's steps after it:
    // the name into the box and the file printer chosen.
    auto *browse = Dialog->findChild<QPushButton *>(QStringLiteral("fileBrowser"));
    auto *printers = Dialog->findChild<QComboBox *>(QStringLiteral("printers"));
    if (browse != nullptr && printers != nullptr) {
        QObject::disconnect(browse, &QPushButton::clicked, nullptr, nullptr);
        auto *files = new QFileDialog(Dialog, QStringLiteral("Print To File ..."));
        files->setObjectName(QStringLiteral("printFileDialog"));
        files->setOption(QFileDialog::DontUseNativeDialog);
        files->setOption(QFileDialog::DontConfirmOverwrite); // the Print button asks
        files->setAcceptMode(QFileDialog::AcceptSave);
        ShowNamesOnly(files);
        QObject::connect(browse, &QPushButton::clicked, Dialog, [box, printers, files] {
            files->selectFile(box->text());
            if (ShowModal(files) != QDialog::Accepted || files->selectedFiles().isEmpty())
                return;
            box->setText(files->selectedFiles().first());
            printers->setCurrentIndex(printers->count() - 1);
        });
    }

    // Print: the target is checked before Qt's own checks, which open it.
    auto *buttons = Dialog->findChild<QDialogButtonBox *>(QString(), Qt::FindDirectChildrenOnly);
    if (buttons == nullptr ||
        !QObject::disconnect(buttons, SIGNAL(accepted()), Dialog, SLOT(_q_checkFields())))
        return;
    QObject::connect(buttons, &QDialogButtonBox::accepted, Dialog, [Dialog, box] {
        try {
            if (const QString name = ChosenFile(box); !name.isEmpty())
                CheckWriteTarget(name);
        } catch (const std::exception &E) {
            ShowException(Dialog, E);
            return;
        }
        QMetaObject::invokeMethod(Dialog, "_q_checkFields");
    });
}
