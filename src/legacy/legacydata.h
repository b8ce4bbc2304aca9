#pragma once

#include <QDate>
#include <QList>
#include <QString>

#include <optional>
#include <stdexcept>

namespace movilibro::legacy {

// An old journal that cannot be brought over; the message is for the user.
class LegacyError : public std::runtime_error
{
public:
    explicit LegacyError(const QString& message)
        : std::runtime_error(message.toStdString()), m_message(message)
    {}
    const QString& message() const { return m_message; }

private:
    QString m_message;
};

struct LegacyAccount
{
    qint64 id = 0;
    QString name;
};

struct LegacyEntry
{
    qint64 id = 0;
    QDate date; // invalid when the old row had none
    bool hadTimeOfDay = false;
    std::optional<qint64> account;
    QString description;
    std::optional<qint64> in; // ten-thousandths, exactly as stored
    std::optional<qint64> out;
};

struct LegacyParameter
{
    QString key;
    std::optional<int> value; // empty when the stored value is not a whole number
    QString storedText;       // the value as found, for the summary
};

// Everything an old journal holds, read in full before anything is written.
struct LegacyJournal
{
    QList<LegacyAccount> accounts;
    QList<LegacyEntry> entries;
    QList<LegacyParameter> parameters;
};

} // namespace movilibro::legacy
