#pragma once

#include <QObject>
#include <QTimer>

// While it lives, the text cursor of every window of the program stops
// blinking once IdleMs have passed without a key press, a click or a wheel
// turn, and blinks again at the next one, as desktops that time the blink
// out do. Every blink repaints the line under the cursor and the lines
// beside it, and Qt draws each of them whole: with lines of 100,000
// characters in the report an idle window kept a processor busy for nothing.
// The cursor stays shown while it rests.
class TCursorBlinkPause : public QObject {
public:
    explicit TCursorBlinkPause(int IdleMs = 10000);
    // Gives the application its blink back.
    ~TCursorBlinkPause() override;
    TCursorBlinkPause(const TCursorBlinkPause &) = delete;
    TCursorBlinkPause &operator=(const TCursorBlinkPause &) = delete;

    bool Paused() const { return FPaused; }

protected:
    bool eventFilter(QObject *Watched, QEvent *Event) override;

private:
    void Pause();
    void Resume();

    QTimer FIdle;
    int FFlashTime = 0; // the application's own, while paused
    bool FPaused = false;
};
