#include "CursorBlinkPause.h"

#include <QEvent>
#include <QGuiApplication>
#include <QStyleHints>

TCursorBlinkPause::TCursorBlinkPause(int IdleMs) {
    FIdle.setSingleShot(true);
    FIdle.setInterval(IdleMs);
    connect(&FIdle, &QTimer::timeout, this, &TCursorBlinkPause::Pause);
    QGuiApplication::instance()->installEventFilter(this);
    FIdle.start();
}

TCursorBlinkPause::~TCursorBlinkPause() {
    Resume();
}

bool TCursorBlinkPause::eventFilter(QObject *Watched, QEvent *Event) {
    switch (Event->type()) {
    case QEvent::KeyPress:
    case QEvent::MouseButtonPress:
    case QEvent::Wheel:
    case QEvent::InputMethod:
        Resume();
        FIdle.start();
        break;
    default:
        break;
    }
    return QObject::eventFilter(Watched, Event);
}

// A flash time under 2 ms is Qt's "no blinking": the text controls stop
// their blink timers and show the cursor.
void TCursorBlinkPause::Pause() {
    QStyleHints *Hints = QGuiApplication::styleHints();
    if (FPaused || Hints->cursorFlashTime() < 2)
        return;
    FFlashTime = Hints->cursorFlashTime();
    FPaused = true;
    Hints->setCursorFlashTime(0);
}

void TCursorBlinkPause::Resume() {
    if (!FPaused)
        return;
    FPaused = false;
    QGuiApplication::styleHints()->setCursorFlashTime(FFlashTime);
}
