#pragma once

#include <QDate>
#include <QDateTime>

#include <functional>

namespace movilibro {

// Today's date, replaceable by tests.
class Clock
{
public:
    static QDate today();
    static void setToday(std::function<QDate()> source); // empty function restores the system clock
    // The time of a write, as the change log and the bin keep it.
    static QDateTime now();
    static void setNow(std::function<QDateTime()> source);
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
