#include "UMyForm.h"

#include "SettingsRootKey.h"
#include "TRegistry.h"
#include "TRegistryTransaction.h"

#include <QEvent>
#include <QGuiApplication>
#include <QScreen>
#include <algorithm>

namespace {

// Stored coordinates are clamped to what a widget can hold, so that no sum
// of a huge left edge and width overflows.
constexpr int CoordinateLimit = QWIDGETSIZE_MAX / 2;

int ClampCoordinate(int Value) {
    return std::clamp(Value, -CoordinateLimit, CoordinateLimit);
}
// No window grows beyond the desktop, as on platforms that cap a window at
// its screens' size; a huge stored size would otherwise cost a huge buffer.
int ClampExtent(int Value, int Desktop) {
    return std::clamp(Value, 0, std::max(Desktop, 1));
}

constexpr Qt::WindowStates NotNormal =
    Qt::WindowMinimized | Qt::WindowMaximized | Qt::WindowFullScreen;

} // namespace

TMyForm::TMyForm(QWidget *Owner, const std::string &KeyPath, const std::string &Section)
    : TForm(Owner), IniFile(std::make_unique<TMyIniFile>(KeyPath)), Section(Section) {}

TMyForm::~TMyForm() = default;

void TMyForm::KeepDesignSize() {
    if (!FDesignSize.isValid())
        FDesignSize = size();
}

QRect TMyForm::NormalOuterGeometry() const {
    if (FRestoreOuter.isValid())
        return FRestoreOuter;
    if ((windowState() & NotNormal) && normalGeometry().isValid())
        return normalGeometry().marginsAdded(FrameMargins());
    return OuterGeometry();
}

int TMyForm::StateNumber() const {
    if (windowState() & Qt::WindowMinimized)
        return 1;
    if (windowState() & (Qt::WindowMaximized | Qt::WindowFullScreen))
        return 2;
    return 0;
}

void TMyForm::SetDesignPosition(int Rule) {
    FPosition = (Rule >= 0 && Rule <= 4) ? Rule : 0;
}

void TMyForm::LoadFromIniFile() {
    KeepDesignSize();
    // With its platform window made, the window knows its frame where the
    // platform tells it before showing, and remembers the normal rectangle
    // of a state set below.
    if (windowHandle() == nullptr)
        create();
    const QRect Current = NormalOuterGeometry();
    const int Left = ClampCoordinate(IniFile->ReadInteger(Section, "Left", Current.left()));
    const int Top = ClampCoordinate(IniFile->ReadInteger(Section, "Top", Current.top()));
    const QSize Desktop =
        screen() != nullptr ? screen()->virtualSize() : QSize(CoordinateLimit, CoordinateLimit);
    const int Height =
        ClampExtent(IniFile->ReadInteger(Section, "Height", Current.height()), Desktop.height());
    const int Width =
        ClampExtent(IniFile->ReadInteger(Section, "Width", Current.width()), Desktop.width());
    const int State = IniFile->ReadInteger(Section, "State", StateNumber());
    const int Rule = IniFile->ReadInteger(Section, "Position", FPosition);

    // Unchanged values are not applied again: a window never moved keeps
    // letting the platform place it. The rectangle is the normal one; a
    // window that is not normal now, or will not be, keeps it to return to:
    // platforms forget a rectangle set while a window is hidden.
    const QRect Wanted(Left, Top, Width, Height);
    const bool WasNormal = !(windowState() & NotNormal);
    if (Wanted != Current) {
        if (WasNormal)
            SetOuterGeometry(Wanted);
        else
            FRestoreOuter = Wanted;
    }
    Qt::WindowStates NewState = windowState() & ~NotNormal;
    if (State == 1)
        NewState |= Qt::WindowMinimized;
    else if (State == 2)
        NewState |= Qt::WindowMaximized;
    if ((NewState & NotNormal) && WasNormal)
        FRestoreOuter = Wanted;
    if (NewState != windowState())
        setWindowState(NewState);
    SetDesignPosition(Rule);

    LoadLocalFromIniFile();
}

void TMyForm::SaveToIniFile() {
    TRegistryTransaction Transaction;
    const QRect Outer = NormalOuterGeometry();
    IniFile->WriteInteger(Section, "Left", Outer.left());
    IniFile->WriteInteger(Section, "Top", Outer.top());
    IniFile->WriteInteger(Section, "Height", Outer.height());
    IniFile->WriteInteger(Section, "Width", Outer.width());
    IniFile->WriteInteger(Section, "State", StateNumber());
    IniFile->WriteInteger(Section, "Position", FPosition);
    SaveLocalToIniFile();
    // The writes above only reach the disk with the commit; a commit that
    // fails must not pass for a save.
    if (!Transaction.Commit())
        throw TRegistry::SaveFailure();
}

void TMyForm::LoadLocalFromIniFile() {}

void TMyForm::SaveLocalToIniFile() {}

void TMyForm::UseConfiguration(const std::string &Name) {
    // The new store is made first: should that fail, the window keeps the
    // store it had and never is without one.
    auto Store = std::make_unique<TMyIniFile>(std::string(OthersKey) + "\\" + Name);
    IniFile = std::move(Store);
}

void TMyForm::resizeEvent(QResizeEvent *Event) {
    TForm::resizeEvent(Event);
    FormResize();
}

void TMyForm::changeEvent(QEvent *Event) {
    TForm::changeEvent(Event);
    if (Event->type() != QEvent::WindowStateChange || (windowState() & NotNormal) ||
        !FRestoreOuter.isValid())
        return;
    const QRect Outer = FRestoreOuter;
    FRestoreOuter = QRect();
    SetOuterGeometry(Outer);
}

void TMyForm::BeforeShow() {
    KeepDesignSize();
    // A maximised or minimised window keeps its restore rectangle as stored.
    if (windowState() & NotNormal)
        return;
    switch (FPosition) {
    case 1:
        resize(FDesignSize);
        setAttribute(Qt::WA_Moved, false); // the dialog then places itself
        break;
    case 2:
        setAttribute(Qt::WA_Moved, false);
        break;
    case 3:
        resize(FDesignSize);
        break;
    case 4: {
        const QScreen *Screen = screen();
        if (Screen == nullptr)
            break;
        QRect Outer = OuterGeometry();
        Outer.moveCenter(Screen->availableGeometry().center());
        SetOuterGeometry(Outer);
        break;
    }
    default:
        break;
    }
}

QRect FirstStartGeometry(const QScreen *Screen) {
    if (Screen == nullptr)
        Screen = QGuiApplication::primaryScreen();
    if (Screen == nullptr)
        return QRect();
    const QRect Available = Screen->availableGeometry();
    const QSize Size(Available.width() * 2 / 3, Available.height() * 2 / 3);
    return QRect(Available.topLeft() + QPoint((Available.width() - Size.width()) / 2,
                                              (Available.height() - Size.height()) / 2),
                 Size);
}
