#include "CursorBlinkPause.h"
#include "WindowsTest.h"

#include <QDeadlineTimer>
#include <QKeyEvent>
#include <QLineEdit>
#include <QStyleHints>

// Idle, the cursor rests (a flash time of 0 is Qt's "no blinking"); a key
// press makes it blink again at the application's own rate until the next
// rest, and the end of the pause gives that rate back for good.
TEST(CursorBlinkPause, RestsWhenIdleAndBlinksAgainAtAKey) {
    QStyleHints *Hints = QGuiApplication::styleHints();
    Hints->setCursorFlashTime(1200);
    QLineEdit Box;
    Box.show();
    const auto Rests = [&] {
        for (QDeadlineTimer Patience(5000);
             Hints->cursorFlashTime() != 0 && !Patience.hasExpired();)
            QApplication::processEvents(QEventLoop::WaitForMoreEvents, 50);
        return Hints->cursorFlashTime() == 0;
    };
    {
        TCursorBlinkPause Pause(50);
        ASSERT_TRUE(Rests());
        QKeyEvent Key(QEvent::KeyPress, Qt::Key_A, Qt::NoModifier, QStringLiteral("a"));
        QApplication::sendEvent(&Box, &Key);
        EXPECT_EQ(Hints->cursorFlashTime(), 1200);
        EXPECT_TRUE(Rests());
    }
    EXPECT_EQ(Hints->cursorFlashTime(), 1200);
}
