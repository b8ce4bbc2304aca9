#include "dialogfixture.h"

#include "app/mainmod.h"
#include "app/seams.h"
#include "db/connstring.h"

#include <QTest>

namespace movilibro::test {

DialogFixture::DialogFixture(const QDate& today) : m_journal(m_home.defaultDbFolder())
{
    pinItalianLocale();
    Pauses::setDurations(0, 0);
    Clock::setToday([today] { return today; });
    mainmod::DBFolder = m_journal.folder();
    mainmod::ConnString = db::connStringFor(m_journal.folder());
    mainmod::AppTitle = mainmod::ApplicationTitle;
    m_window = std::make_unique<frmMain>();
    QObject::connect(m_window.get(), &frmMain::settaAmbienteDone, [this] { m_reloads << "SettaAmbiente"; });
    QObject::connect(m_window.get(), &frmMain::gexsBindDone, [this] { m_reloads << "gexsBind"; });
    m_window->show();
    if (!QTest::qWaitForWindowActive(m_window.get()))
        qWarning("the main window did not become active");
}

DialogFixture::~DialogFixture()
{
    m_window.reset();
    Clock::setToday({});
}

QStringList DialogFixture::messageTexts() const
{
    QStringList texts;
    for (const auto& shown : m_prompt.messages)
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
