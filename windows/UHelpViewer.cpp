#include "UHelpViewer.h"

#include "TForm.h"
#include "UMyDialog.h"

#include <QApplication>
#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QMessageBox>
#include <QPointer>
#include <QScrollBar>
#include <QTextBrowser>
#include <QVBoxLayout>

namespace {

QString &ProgramFolderOverride() {
    static QString Folder;
    return Folder;
}

QString &LastHelpFile() {
    static QString FileName;
    return FileName;
}

QPointer<THelpViewer> &Viewer() {
    static QPointer<THelpViewer> Instance;
    return Instance;
}

const QString HelpName = QStringLiteral("Tarnwells.hlp");

} // namespace

THelpViewer::THelpViewer(QWidget *Owner) : QWidget(Owner, Qt::Window) {
    setWindowTitle(QStringLiteral("Help"));
    Browser = new QTextBrowser(this);
    Browser->setOpenExternalLinks(true);
    auto *Layout = new QVBoxLayout(this);
    Layout->setContentsMargins(0, 0, 0, 0);
    Layout->addWidget(Browser);
    resize(640, 480);
}

void THelpViewer::OpenFile(const QString &FileName) {
    Browser->clearHistory();
    // The name ends in .hlp, so the type is named rather than guessed.
    Browser->setSource(QUrl(), QTextDocument::HtmlResource);
    Browser->setSource(QUrl::fromLocalFile(FileName), QTextDocument::HtmlResource);
    if (!Browser->documentTitle().isEmpty())
        setWindowTitle(Browser->documentTitle());
    Browser->verticalScrollBar()->setValue(0);
    Browser->horizontalScrollBar()->setValue(0);
}

THelpViewer *HelpViewer() {
    return Viewer().data();
}

void SetHelpProgramFolder(const QString &Folder) {
    ProgramFolderOverride() = Folder;
}

QString HelpFileName() {
    return LastHelpFile();
}

void ShowHelp() {
    const QString Program = ProgramFolderOverride().isEmpty()
                                ? QCoreApplication::applicationDirPath()
                                : ProgramFolderOverride();
    const QDir Folder(Program);
    QDir Parent(Program);
    Parent.cdUp();
    const QString Places[] = {
        Folder.filePath(HelpName),
        Parent.filePath(HelpName),
        QDir::cleanPath(Folder.filePath(QStringLiteral("../share/tarnwell/") + HelpName)),
    };

    // A window modal at the moment would block a viewer that is not its
    // own; so the viewer belongs to the modal window (or the active one).
    QWidget *Owner = QApplication::activeModalWidget();
    if (Owner == nullptr)
        Owner = QApplication::activeWindow();
    if (Viewer() != nullptr && Viewer()->isAncestorOf(Owner))
        Owner = nullptr;

    for (const QString &Place : Places) {
        LastHelpFile() = Place;
        if (!QFileInfo(Place).isFile())
            continue;
        if (Viewer() == nullptr)
            Viewer() = new THelpViewer(Owner);
        else if (Owner != nullptr && Viewer()->parentWidget() != Owner)
            Viewer()->setParent(Owner, Qt::Window);
        Viewer()->OpenFile(Place);
        Viewer()->show();
        Viewer()->raise();
        Viewer()->activateWindow();
        return;
    }

    QMessageBox Box(QMessageBox::Critical, QStringLiteral("Error"),
                    QStringLiteral("Can't find the help file"), QMessageBox::Ok,
                    QApplication::activeWindow());
    ShowModal(&Box);
}
