#include "dialogfixture.h"

#include <QTest>

namespace movilibro::test {

DialogFixture::DialogFixture(const QDate& today) : m_base(today)
{
    frmMain& window = m_base.open();
    QObject::connect(&window, &frmMain::settaAmbienteDone, [this] { m_reloads << "SettaAmbiente"; });
    QObject::connect(&window, &frmMain::gexsBindDone, [this] { m_reloads << "gexsBind"; });
    if (!QTest::qWaitForWindowActive(&window))
        qWarning("the main window did not become active");
}

QStringList DialogFixture::messageTexts() const
{
    QStringList texts;
    for (const auto& shown : m_base.prompt().messages)
        texts << shown.text;
    return texts;
}

WriteLock::WriteLock(const Journal& journal) : m_conn(journal.open())
{
    m_conn.exec(QStringLiteral("BEGIN IMMEDIATE"));
}

void WriteLock::release()
{
    if (m_held)
        m_conn.exec(QStringLiteral("ROLLBACK"));
    m_held = false;
}

} // namespace movilibro::test
