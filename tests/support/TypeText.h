#pragma once

#include <QCoreApplication>
#include <QKeyEvent>
#include <QWidget>

// Types text into a widget as key presses; unlike QTest::keyClicks it also
// takes characters outside ASCII.
inline void typeText(QWidget *widget, const QString &text)
{
    for (const QChar c : text) {
        QKeyEvent press(QEvent::KeyPress, 0, Qt::NoModifier, QString(c));
        QCoreApplication::sendEvent(widget, &press);
        QKeyEvent release(QEvent::KeyRelease, 0, Qt::NoModifier, QString(c));
        QCoreApplication::sendEvent(widget, &release);
    }
}
