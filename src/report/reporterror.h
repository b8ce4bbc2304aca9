#pragma once

#include <QString>

#include <stdexcept>

namespace movilibro::report {

// A report that could not be produced or written; the message is for the user.
class ReportError : public std::runtime_error
{
public:
    explicit ReportError(const QString& message)
        : std::runtime_error(message.toStdString()), m_message(message)
    {}
    const QString& message() const { return m_message; }

private:
    QString m_message;
};

} // namespace movilibro::report
