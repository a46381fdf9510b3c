#pragma once

#include <QDialog>
#include <QFont>
#include <QHash>
#include <QMargins>
#include <QRect>
#include <exception>
#include <functional>

class QAbstractButton;

// Modal results as the whole system numbers them.
enum TModalResult : int {
    mrNone = 0,
    mrOk = 1,
    mrCancel = 2,
    mrWizard = 5,
};

// The class library's form: a QDialog whose modal result is the number exec()
// returns. Esc, the close box and reject() give mrCancel, never 0. A button
// given a modal result closes the form with done(result) when clicked, before
// its click handler (connected with OnClick) runs; the result is read at
// click time, so it may change while the form is shown. An Alt+letter that
// no control of the form answers types nothing.
class TForm : public QDialog {
    Q_OBJECT
public:
    explicit TForm(QWidget *Owner = nullptr);
    ~TForm() override;

    void SetModalResult(QAbstractButton *Button, int Result);
    int ModalResult(QAbstractButton *Button) const;
    // Connects Handler to Button's click, after the modal-result step.
    void OnClick(QAbstractButton *Button, std::function<void()> Handler);

    void reject() override;

    // The outer frame in screen coordinates. Setting it makes the platform
    // window. Where the platform tells the frame only once the window is on
    // the screen, the rectangle is applied again as soon as it does.
    QRect OuterGeometry() const;
    void SetOuterGeometry(const QRect &Outer);
    // The smallest outer size the user can give the window; the client's
    // minimum follows the frame once the platform tells it.
    void SetMinimumOuterSize(const QSize &Outer);

    void setVisible(bool Visible) override;

protected:
    bool event(QEvent *Event) override;
    // Called right before the window becomes visible, after its platform
    // window (and so its frame) exists; placement rules go here.
    virtual void BeforeShow() {}
    // The frame's thickness on each side: the last the platform told, zero
    // while it never did.
    QMargins FrameMargins() const;

private:
    struct TButtonEntry {
        int Result = mrNone;
        std::function<void()> Handler;
        QMetaObject::Connection Forget; // drops the entry when the button goes
    };
    TButtonEntry &Entry(QAbstractButton *Button);
    void ApplyMinimumSize();
    void ButtonClicked(QAbstractButton *Button);
    QHash<QAbstractButton *, TButtonEntry> FButtons;
    QRect FPendingOuter;  // valid while waiting for the frame to be known
    QRect FPendingClient; // the client rectangle FPendingOuter was applied as
    mutable QMargins FKnownMargins;
    QSize FMinimumOuter; // valid once a minimum was set
};

// The font of the window designs: "MS Sans Serif" at PixelHeight pixels, or
// the platform's sans serif of that height when that face is missing.
QFont DesignFont(int PixelHeight = 11);

// The one place every modal window of the system is shown: exec() unless a
// test has installed a hook that answers in the window's stead. The hook gets
// the window (already set up, not shown) and returns the modal result; it
// may change the window's controls first, as a user would.
using TModalHook = std::function<int(QDialog *Window)>;
int ShowModal(QDialog *Window);
void SetModalHook(TModalHook Hook); // an empty hook restores exec()

// The application's standard error box: the failure's message followed by a
// full stop, the application's display name as caption, an error icon.
void ShowErrorBox(QWidget *Parent, const QString &Message);
void ShowException(QWidget *Parent, const std::exception &E);
// Runs Command; a failure that escapes it is shown in the error box and the
// program carries on. Memory that ran out says "Not enough memory for
// Operation" (for "this command" when no Operation is named).
void RunGuarded(QWidget *Parent, const std::function<void()> &Command);
void RunGuarded(QWidget *Parent, const QString &Operation, const std::function<void()> &Command);
