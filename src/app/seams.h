#pragma once

#include <QDate>

#include <functional>

namespace movilibro {

// Today's date, replaceable by tests.
class Clock
{
public:
    static QDate today();
    static void setToday(std::function<QDate()> source); // empty function restores the system clock
};

// The program's two deliberate waits. Tests set the durations to zero.
class Pauses
{
public:
    static void setDurations(int shortMs, int longMs);
    static int shortMs();
    static int longMs();
};

} // namespace movilibro
