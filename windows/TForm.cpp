#include "TForm.h"

#include "StrayAccessKeys.h"
#include <QAbstractButton>
#include <QEvent>
#include <QFontDatabase>
#include <QGuiApplication>
#include <QMessageBox>
#include <QPointer>
#include <QWindow>
#include <new>

TForm::TForm(QWidget *Owner) : QDialog(Owner) {}

// The buttons are children, destroyed after this destructor has run: they
// must not reach the button table any more.
TForm::~TForm() {
    for (const TButtonEntry &Button : std::as_const(FButtons))
        disconnect(Button.Forget);
}

TForm::TButtonEntry &TForm::Entry(QAbstractButton *Button) {
    auto It = FButtons.find(Button);
    if (It != FButtons.end())
        return *It;
    // One connection per button: the result and handler are looked up at
    // click time, so changing them later needs no reconnection.
    connect(Button, &QAbstractButton::clicked, this, [this, Button] { ButtonClicked(Button); });
    TButtonEntry Added;
    Added.Forget =
        connect(Button, &QObject::destroyed, this, [this, Button] { FButtons.remove(Button); });
    return *FButtons.insert(Button, Added);
}

void TForm::SetModalResult(QAbstractButton *Button, int Result) {
    if (Button != nullptr)
        Entry(Button).Result = Result;
}

int TForm::ModalResult(QAbstractButton *Button) const {
    auto It = FButtons.constFind(Button);
    return It == FButtons.constEnd() ? int(mrNone) : It->Result;
}

void TForm::OnClick(QAbstractButton *Button, std::function<void()> Handler) {
    if (Button != nullptr)
        Entry(Button).Handler = std::move(Handler);
}

// The modal result closes the form before the handler runs; a handler may
// destroy the form or the button, so nothing of either is touched after it.
void TForm::ButtonClicked(QAbstractButton *Button) {
    const TButtonEntry Current = FButtons.value(Button);
    if (Current.Result != mrNone)
        done(Current.Result);
    if (Current.Handler)
        Current.Handler();
}

void TForm::reject() {
    done(mrCancel);
}

// Platforms that tell the frame only while the window is on the screen
// forget it once it hides; a window's frame stays the same, so the last one
// told stands in, or a save after closing would shrink the window by it.
QMargins TForm::FrameMargins() const {
    const QWindow *Window = windowHandle();
    const QMargins Told = Window != nullptr ? Window->frameMargins() : QMargins();
    if (!Told.isNull())
        FKnownMargins = Told;
    return FKnownMargins;
}

// The rectangle set while the frame was unknown stands for the window only
// while nothing has moved or resized it since; after that the window's own
// rectangle is the truth, also where the platform never tells the frame.
QRect TForm::OuterGeometry() const {
    if (FPendingOuter.isValid() && geometry() == FPendingClient)
        return FPendingOuter;
    return geometry().marginsAdded(FrameMargins());
}

void TForm::SetOuterGeometry(const QRect &Wanted) {
    const QRect Outer = Wanted; // may be FPendingOuter itself, which changes below
    // The platform window is made first: where the platform knows the frame
    // before showing, the client size is final at once, so controls laid
    // out against it do not move when the window is shown.
    if (windowHandle() == nullptr)
        create();
    // A frame still unknown may become known when shown: keep the rectangle
    // to apply again then. Sizes below 1 are left to the platform's minimum.
    if (FrameMargins().isNull() && Outer.width() > 0 && Outer.height() > 0)
        FPendingOuter = Outer;
    else
        FPendingOuter = QRect();
    ApplyMinimumSize();
    // A window only resized keeps letting the platform place it.
    const QRect Client = Outer.marginsRemoved(FrameMargins());
    if (Client.topLeft() == geometry().topLeft())
        resize(Client.size());
    else
        setGeometry(Client);
    FPendingClient = geometry();
}

void TForm::SetMinimumOuterSize(const QSize &Outer) {
    FMinimumOuter = Outer;
    ApplyMinimumSize();
}

// Before any resize to a client size made from a newly told frame, or the
// old minimum would hold the window at the outer size plus the frame.
void TForm::ApplyMinimumSize() {
    if (FMinimumOuter.isValid())
        setMinimumSize(FMinimumOuter.shrunkBy(FrameMargins()));
}

static bool IsNormal(const QWidget *Window) {
    return !(Window->windowState() &
             (Qt::WindowMinimized | Qt::WindowMaximized | Qt::WindowFullScreen));
}

void TForm::setVisible(bool Visible) {
    if (Visible && !isVisible()) {
        if (windowHandle() == nullptr)
            create();
        // The frame may have become known since the rectangle was set; a
        // window moved or resized since keeps what was made of it.
        if (FPendingOuter.isValid() && IsNormal(this))
            SetOuterGeometry(OuterGeometry());
        BeforeShow();
        SwallowStrayAccessKeys(this);
    }
    QDialog::setVisible(Visible);
}

// Some platforms tell the frame only once the window is on the screen, and
// not always with a move or resize: the outer rectangle is applied again at
// the first event that finds the frame known, or the window would grow by
// its frame at every save and restore. A window moved meanwhile (by the
// platform or the user) stays where it is; one resized keeps its size.
bool TForm::event(QEvent *Event) {
    const bool Handled = QDialog::event(Event);
    if (FMinimumOuter.isValid() && !FrameMargins().isNull())
        ApplyMinimumSize();
    if (FPendingOuter.isValid() && isVisible() && IsNormal(this) && !FrameMargins().isNull()) {
        if (geometry().size() != FPendingClient.size())
            FPendingOuter = QRect();
        else if (geometry().topLeft() != FPendingClient.topLeft())
            SetOuterGeometry(QRect(frameGeometry().topLeft(), FPendingOuter.size()));
        else
            SetOuterGeometry(FPendingOuter);
    }
    return Handled;
}

QFont DesignFont(int PixelHeight) {
    static const QString Face = QStringLiteral("MS Sans Serif");
    QFont Font;
    if (QFontDatabase::families().contains(Face, Qt::CaseInsensitive))
        Font.setFamily(Face);
    else
        Font.setFamily(QFontDatabase::systemFont(QFontDatabase::GeneralFont).family());
    Font.setStyleHint(QFont::SansSerif);
    Font.setPixelSize(PixelHeight);
    return Font;
}

static TModalHook &ModalHook() {
    static TModalHook Hook;
    return Hook;
}

int ShowModal(QDialog *Window) {
    if (Window == nullptr)
        return mrNone;
    if (ModalHook())
        return ModalHook()(Window);
    return Window->exec();
}

void SetModalHook(TModalHook Hook) {
    ModalHook() = std::move(Hook);
}

void ShowErrorBox(QWidget *Parent, const QString &Message) {
    QString Text = Message;
    if (!Text.endsWith(QLatin1Char('.')))
        Text += QLatin1Char('.');
    QMessageBox Box(QMessageBox::Critical, QGuiApplication::applicationDisplayName(), Text,
                    QMessageBox::Ok, Parent);
    ShowModal(&Box);
}

void ShowException(QWidget *Parent, const std::exception &E) {
    ShowErrorBox(Parent, QString::fromUtf8(E.what()));
}

void RunGuarded(QWidget *Parent, const std::function<void()> &Command) {
    RunGuarded(Parent, QString(), Command);
}

void RunGuarded(QWidget *Parent, const QString &Operation, const std::function<void()> &Command) {
    try {
        Command();
    } catch (const std::bad_alloc &) {
        // What failed is gone with the unwinding: the box has room again.
        ShowErrorBox(Parent,
                     QStringLiteral("Not enough memory for %1")
                         .arg(Operation.isEmpty() ? QStringLiteral("this command") : Operation));
    } catch (const std::exception &E) {
        ShowException(Parent, E);
    }
}
