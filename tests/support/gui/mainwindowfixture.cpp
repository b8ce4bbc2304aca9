#include "mainwindowfixture.h"

#include "app/mainmod.h"
#include "app/seams.h"
#include "db/connstring.h"
#include "journal/journalcolumns.h"
#include "ui/grid/gridmodel.h"
#include "ui/grid/groupedgrid.h"

#include <QTest>

namespace movilibro::test {

MainWindowFixture::MainWindowFixture(const QDate& today) : m_journal(m_home.defaultDbFolder())
{
    pinItalianLocale();
    Pauses::setDurations(0, 0);
    Clock::setToday([today] { return today; });
    mainmod::DBFolder = m_journal.folder();
    mainmod::ConnString = db::connStringFor(m_journal.folder());
    mainmod::AppTitle = mainmod::ApplicationTitle;
    db::Connection::setBusyTimeout(50);
}

MainWindowFixture::~MainWindowFixture()
{
    m_window.reset();
    Clock::setToday({});
}

frmMain& MainWindowFixture::open()
{
    m_window = std::make_unique<frmMain>();
    m_reloads.clear();
    QObject::connect(m_window.get(), &frmMain::settaAmbienteDone, [this] { m_reloads << "SettaAmbiente"; });
    QObject::connect(m_window.get(), &frmMain::gexsBindDone, [this] { m_reloads << "gexsBind"; });
    m_window->show();
    if (!QTest::qWaitForWindowActive(m_window.get()))
        QTest::qFail("the main window never became active", __FILE__, __LINE__);
    return *m_window;
}

QString MainWindowFixture::shown(int p, int column) const
{
    const auto* model = m_window->journalGrid()->model();
    return model->data(model->indexOf(p, column), Qt::DisplayRole).toString();
}

qint64 MainWindowFixture::balance(int p) const
{
    return m_window->journalGrid()->value(p, journal::JournalColumn::Saldo).value<Currency>().raw();
}

qint64 MainWindowFixture::idAt(int p) const
{
    return m_window->journalGrid()->value(p, journal::JournalColumn::Id).toLongLong();
}

} // namespace movilibro::test
