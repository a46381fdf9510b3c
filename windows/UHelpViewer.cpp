#include "UHelpViewer.h"

#include "TForm.h"

#include <QAction>
#include <QApplication>
#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QMessageBox>
#include <QPointer>
#include <QPushButton>
#include <QScreen>
#include <QScrollBar>
#include <QTextBrowser>
#include <QVBoxLayout>
#include <algorithm>

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

// Puts Viewer a little below and right of Asker's top-left corner, wholly on
// Asker's screen where it fits.
void PlaceNear(QWidget *Viewer, const QWidget *Asker) {
    if (Asker == nullptr || Asker->screen() == nullptr)
        return;
    const QRect Screen = Asker->screen()->availableGeometry();
    QRect Wanted(Asker->frameGeometry().topLeft() + QPoint(40, 40), Viewer->frameGeometry().size());
    Wanted.moveRight(std::min(Wanted.right(), Screen.right()));
    Wanted.moveBottom(std::min(Wanted.bottom(), Screen.bottom()));
    Wanted.moveLeft(std::max(Wanted.left(), Screen.left()));
    Wanted.moveTop(std::max(Wanted.top(), Screen.top()));
    Viewer->move(Wanted.topLeft());
}

} // namespace

THelpViewer::THelpViewer(QWidget *Owner) : QWidget(Owner, Qt::Window) {
    setWindowTitle(QStringLiteral("Help"));
    Browser = new QTextBrowser(this);
    Browser->setOpenExternalLinks(true);
    BackButton = new QPushButton(QStringLiteral("&Back"), this);
    ForwardButton = new QPushButton(QStringLiteral("&Forward"), this);
    for (QPushButton *Button : {BackButton, ForwardButton})
        Button->setEnabled(false);
    connect(BackButton, &QPushButton::clicked, this, [this] { Go(&QTextBrowser::backward); });
    connect(ForwardButton, &QPushButton::clicked, this, [this] { Go(&QTextBrowser::forward); });
    connect(Browser, &QTextBrowser::backwardAvailable, BackButton, &QPushButton::setEnabled);
    connect(Browser, &QTextBrowser::forwardAvailable, ForwardButton, &QPushButton::setEnabled);

    // Window-wide, so they work whichever control has the focus.
    const auto AddKeys = [this](const QList<QKeySequence> &Keys, auto Slot) {
        auto *Action = new QAction(this);
        Action->setShortcuts(Keys);
        addAction(Action);
        connect(Action, &QAction::triggered, this, Slot);
    };
    AddKeys({QKeySequence(Qt::ALT | Qt::Key_Left)}, [this] { Go(&QTextBrowser::backward); });
    AddKeys({QKeySequence(Qt::ALT | Qt::Key_Right)}, [this] { Go(&QTextBrowser::forward); });
    AddKeys({QKeySequence(Qt::Key_Escape), QKeySequence(Qt::CTRL | Qt::Key_W)},
            [this] { close(); });

    auto *Buttons = new QHBoxLayout;
    Buttons->setContentsMargins(4, 4, 4, 0);
    Buttons->addWidget(BackButton);
    Buttons->addWidget(ForwardButton);
    Buttons->addStretch();
    auto *Layout = new QVBoxLayout(this);
    Layout->setContentsMargins(0, 0, 0, 0);
    Layout->addLayout(Buttons);
    Layout->addWidget(Browser);
    setFocusProxy(Browser);
    resize(640, 480);
}

void THelpViewer::OpenFile(const QString &FileName, const QString &Section) {
    Browser->clearHistory();
    // The name ends in .hlp, so the type is named rather than guessed.
    Browser->setSource(QUrl(), QTextDocument::HtmlResource);
    Browser->setSource(QUrl::fromLocalFile(FileName), QTextDocument::HtmlResource);
    // Cleared again: the empty page just left is no page to go back to.
    Browser->clearHistory();
    if (!Browser->documentTitle().isEmpty())
        setWindowTitle(Browser->documentTitle());
    Browser->verticalScrollBar()->setValue(0);
    Browser->horizontalScrollBar()->setValue(0);
    if (!Section.isEmpty())
        Browser->scrollToAnchor(Section);
    Browser->setFocus();
}

void THelpViewer::Go(void (QTextBrowser::*Step)()) {
    // A link followed leaves the text cursor on it, as a focus frame, also
    // once the page has moved on to the link's target; the history keeps
    // that frame with the place a page is left, and scrolls to it on the
    // way back, far from that place. So the cursor first goes to the view.
    QScrollBar *Across = Browser->horizontalScrollBar(), *Down = Browser->verticalScrollBar();
    const int Left = Across->value(), Top = Down->value();
    Browser->setTextCursor(Browser->cursorForPosition(QPoint(0, 0)));
    Across->setValue(Left);
    Down->setValue(Top);
    (Browser->*Step)();
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

void ShowHelp(const QString &Section) {
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
    const QWidget *Asker = Owner;
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
        Viewer()->OpenFile(Place, Section);
        if (!Viewer()->isVisible())
            PlaceNear(Viewer(), Asker);
        Viewer()->show();
        Viewer()->raise();
        Viewer()->activateWindow();
        return;
    }

    // The program's one message of its own, not a failure of a command: so
    // not the standard error box, whose caption is the program's name and
    // whose text ends with a full stop.
    QMessageBox Box(QMessageBox::Critical, QStringLiteral("Error"),
                    QStringLiteral("Can't find the help file"), QMessageBox::Ok,
                    QApplication::activeWindow());
    ShowModal(&Box);
}
