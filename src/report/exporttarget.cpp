#include "report/exporttarget.h"

#include <QFileInfo>

#include <csignal>

namespace movilibro::report {

ExportTarget::ExportTarget(const QString& path)
    : m_direct(QFileInfo::exists(path) && !QFileInfo(path).isFile()), m_replace(path), m_stream(path)
{}

bool ExportTarget::open()
{
    if (!m_direct)
        return m_replace.open(QIODevice::WriteOnly);
    // A pipe whose reader has gone fails the write instead of ending the
    // program without a word.
    std::signal(SIGPIPE, SIG_IGN);
    // Unbuffered: a device that refuses the bytes (a full disk, /dev/full)
    // fails the write itself, not a flush nobody checks.
    return m_stream.open(QIODevice::WriteOnly | QIODevice::Unbuffered);
}

QIODevice& ExportTarget::device()
{
    return m_direct ? static_cast<QIODevice&>(m_stream) : m_replace;
}

bool ExportTarget::commit()
{
    if (!m_direct)
        return m_replace.commit();
    // Closing forgets an earlier write error: keep its reason.
    m_failure = m_stream.error() == QFileDevice::NoError ? QString() : m_stream.errorString();
    m_stream.close();
    if (m_failure.isEmpty() && m_stream.error() != QFileDevice::NoError)
        m_failure = m_stream.errorString();
    return m_failure.isEmpty();
}

void ExportTarget::cancel()
{
    if (m_direct)
        m_stream.close();
    else
        m_replace.cancelWriting();
}

QString ExportTarget::errorString() const
{
    if (!m_failure.isEmpty())
        return m_failure;
    return m_direct ? m_stream.errorString() : m_replace.errorString();
}

} // namespace movilibro::report
