#include "UMyDialog.h"

#include "NameOnlyIcons.h"

#include <QAbstractItemView>
#include <QCheckBox>
#include <QCompleter>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QGridLayout>
#include <QLineEdit>

TMyDialog::TMyDialog(QWidget *Owner, const std::string &KeyPath, const std::string &Name)
    : TMyForm(Owner, KeyPath, Name + "\\Dialog") {}

void TMyDialog::RegisterResize(QWidget *Control, std::uint8_t Kind, const TAnchors &Anchors) {
    TResize Entry;
    Entry.component = Control;
    Entry.Kind = Kind;
    Entry.MoveLeft = Anchors.MoveLeft;
    Entry.StretchWidth = Anchors.StretchWidth;
    Entry.MoveTop = Anchors.MoveTop;
    Entry.StretchHeight = Anchors.StretchHeight;
    if (Kind <= 6 && Control != nullptr) {
        const QRect Bounds = Control->geometry();
        Entry.LeftOffset = width() - Bounds.left();
        Entry.WidthOffset = width() - Bounds.width();
        Entry.TopOffset = height() - Bounds.top();
        Entry.HeightOffset = height() - Bounds.height();
    }
    Resizes.push_back(Entry);
}

void TMyDialog::ApplyResizes() {
    for (const TResize &Entry : Resizes) {
        if (Entry.Kind > 6 || Entry.component == nullptr)
            continue;
        QRect Bounds = Entry.component->geometry();
        // Each flag changes one edge or extent; the others stay.
        if (Entry.MoveLeft)
            Bounds.moveLeft(width() - Entry.LeftOffset);
        if (Entry.StretchWidth)
            Bounds.setWidth(width() - Entry.WidthOffset);
        if (Entry.MoveTop)
            Bounds.moveTop(height() - Entry.TopOffset);
        if (Entry.StretchHeight)
            Bounds.setHeight(height() - Entry.HeightOffset);
        Entry.component->setGeometry(Bounds);
    }
}

void TMyDialog::FormResize() {
    ApplyResizes();
}

QFileDialog *NewOpenFileDialog(QWidget *Owner, const QString &ObjectName) {
    auto *Dialog = new QFileDialog(Owner);
    Dialog->setObjectName(ObjectName);
    Dialog->setOption(QFileDialog::DontUseNativeDialog);
    Dialog->setAcceptMode(QFileDialog::AcceptOpen);
    Dialog->setFileMode(QFileDialog::AnyFile);
    // A folder may be chosen too: the check box under the name switches the
    // dialog to folders, and stays as it was left for the next browse.
    auto *FolderChoice = new QCheckBox(QObject::tr("Choose a &folder"), Dialog);
    FolderChoice->setObjectName(QStringLiteral("folderChoice"));
    if (auto *Grid = qobject_cast<QGridLayout *>(Dialog->layout()))
        Grid->addWidget(FolderChoice, Grid->rowCount(), 1);
    QObject::connect(FolderChoice, &QCheckBox::toggled, Dialog, [Dialog](bool Folders) {
        Dialog->setFileMode(Folders ? QFileDialog::Directory : QFileDialog::AnyFile);
        // Back to files, the type list would still say "Directories".
        if (!Folders)
            Dialog->setNameFilters(Dialog->nameFilters());
    });
    ShowNamesOnly(Dialog);
    // Enter on a typed name closes the dialog but not its completion list,
    // which would stay on screen over the window below and take its input.
    QObject::connect(Dialog, &QDialog::finished, Dialog, [Dialog] {
        for (QCompleter *Completer : Dialog->findChildren<QCompleter *>())
            if (Completer->popup() != nullptr)
                Completer->popup()->hide();
    });
    return Dialog;
}

std::optional<QString> BrowseForFile(QFileDialog *Dialog, const QString &Seed) {
    // The folder the seed names, when it names one that exists; the home
    // folder otherwise. A name without a folder is offered in the home folder.
    QString Folder, Name = Seed;
    if (Seed.contains(QLatin1Char('/'))) {
        const QFileInfo Info(Seed);
        const bool IsFolder = Seed.endsWith(QLatin1Char('/')) || Info.isDir();
        Folder = IsFolder ? Info.absoluteFilePath() : Info.absolutePath();
        Name = IsFolder ? QString() : Info.fileName();
    }
    if (Folder.isEmpty() || !QFileInfo(Folder).isDir())
        Folder = QDir::homePath();
    Dialog->setDirectory(Folder);
    // selectFile ignores an empty name: the last one chosen would stay.
    if (auto *NameEdit = Dialog->findChild<QLineEdit *>(QStringLiteral("fileNameEdit")))
        NameEdit->clear();
    if (!Name.isEmpty())
        Dialog->selectFile(Name);
    if (ShowModal(Dialog) != QDialog::Accepted)
        return std::nullopt;
    const QStringList Chosen = Dialog->selectedFiles();
    if (Chosen.isEmpty())
        return std::nullopt;
    return QDir::toNativeSeparators(Chosen.first());
}
