#include "app/seams.h"

namespace movilibro {

namespace {
std::function<QDate()> g_today;
std::function<QDateTime()> g_now;
int g_shortMs = 600;
int g_longMs = 1000;
} // namespace

QDate Clock::today()
{
    if (g_today)
        return g_today();
    // MOVILIBRO_TODAY=yyyy-mm-dd pins the day for tests that run the program itself.
    static const QDate pinned = QDate::fromString(qEnvironmentVariable("MOVILIBRO_TODAY"), Qt::ISODate);
    return pinned.isValid() ? pinned : QDate::currentDate();
}

void Clock::setToday(std::function<QDate()> source)
{
    g_today = std::move(source);
}

QDateTime Clock::now()
{
    return g_now ? g_now() : QDateTime::currentDateTime();
}

void Clock::setNow(std::function<QDateTime()> source)
{
    g_now = std::move(source);
}

void Pauses::setDurations(int shortMs, int longMs)
{
    g_shortMs = shortMs;
    g_longMs = longMs;
}

int Pauses::shortMs()
{
    return g_shortMs;
}

int Pauses::longMs()
{
    return g_longMs;
}

} // namespace movilibro
