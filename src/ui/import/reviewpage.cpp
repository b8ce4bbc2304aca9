#include "ui/import/reviewpage.h"

#include "db/backup.h"
#include "db/connection.h"
#include "statement/notices.h"
#include "ui/dialogs/dbmessages.h"
#include "ui/import/importsession.h"
#include "ui/import/reviewmodel.h"

#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QTableView>
#include <QVBoxLayout>

namespace movilibro {

using importpage::movementTable;
using importpage::tell;
using importpage::wrappedLabel;

ReviewPage::ReviewPage(ImportSession& session, QWidget* parent) : ImportPage(parent), m_session(session)
{
    setTitle(QStringLiteral("Movimenti da importare"));
    setSubTitle(
        QStringLiteral("Vengono importati i movimenti spuntati. Quelli già presenti nel giornale sono "
                       "proposti senza spunta."));
    tblMovimenti = movementTable(QStringLiteral("tblMovimenti"), this);
    m_review = new ReviewModel(this);
    tblMovimenti->setModel(m_review);
    tblMovimenti->setSelectionBehavior(QAbstractItemView::SelectRows);
    tblMovimenti->setSelectionMode(QAbstractItemView::SingleSelection);
    tblMovimenti->verticalHeader()->hide();
    QHeaderView* header = tblMovimenti->horizontalHeader();
    header->setSectionResizeMode(QHeaderView::Interactive);
    header->setSectionResizeMode(ReviewModel::Description, QHeaderView::Stretch);
    const int digit = tblMovimenti->fontMetrics().horizontalAdvance(u'0');
    header->resizeSection(ReviewModel::Tick, 3 * digit);
    header->resizeSection(ReviewModel::Date, 12 * digit);
    header->resizeSection(ReviewModel::In, 13 * digit);
    header->resizeSection(ReviewModel::Out, 13 * digit);
    header->resizeSection(ReviewModel::Note, 22 * digit);
    tblMovimenti->installEventFilter(this);
    setFirstControl(tblMovimenti);
    lblConteggio = wrappedLabel(QString(), this);
    lblConteggio->setObjectName(QStringLiteral("lblConteggio"));

    auto* page = new QVBoxLayout(this);
    page->addWidget(tblMovimenti, 1);
    page->addWidget(lblConteggio);
    connect(m_review, &ReviewModel::ticksChanged, this, &ReviewPage::showCounts);
    connect(m_review, &ReviewModel::ticksChanged, this, &QWizardPage::completeChanged);
}

void ReviewPage::initializePage()
{
    m_result.reset();
    QString subtitle =
        QStringLiteral("Conto: %1. Vengono importati i movimenti spuntati; quelli già presenti "
                       "nel giornale, o forse già presenti, sono proposti senza spunta.")
            .arg(m_session.accountName());
    if (const QString currency = statement::currencyNotice(m_session.statement()); !currency.isEmpty())
        subtitle += QStringLiteral(" Attenzione: ") + currency + u'.';
    setSubTitle(subtitle);
    m_review->setMovements(&m_session.movements());
    if (m_review->rowCount() > 0)
        tblMovimenti->setCurrentIndex(m_review->index(0, ReviewModel::Date));
}

// Going back may read the file again: the list lets go of the movements first.
void ReviewPage::cleanupPage()
{
    m_review->setMovements(nullptr);
}

void ReviewPage::showCounts()
{
    QString text =
        QStringLiteral("Movimenti nel file: %1 · da importare: %2 · già presenti: %3 · scartati: %4")
            .arg(m_review->rowCount())
            .arg(m_review->tickedCount())
            .arg(m_review->duplicateCount())
            .arg(m_review->refusedCount());
    if (const int repeats = m_review->possibleRepeatCount(); repeats > 0)
        text += QStringLiteral(" · possibili doppioni: %1").arg(repeats);
    if (const int pending = m_session.statement().pending(); pending > 0)
        text += QStringLiteral(" · movimenti non ancora contabilizzati tralasciati: %1").arg(pending);
    if (const int leftOut = m_session.statement().leftOut; leftOut > 0)
        text += QStringLiteral(" · righe senza movimento (saldi, totali) tralasciate: %1").arg(leftOut);
    lblConteggio->setText(text);
}

bool ReviewPage::isComplete() const
{
    return m_review->tickedCount() > 0;
}

bool ReviewPage::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == tblMovimenti && event->type() == QEvent::KeyPress) {
        auto* key = static_cast<QKeyEvent*>(event);
        if (key->key() == Qt::Key_Space && key->modifiers() == Qt::NoModifier) {
            m_review->toggle(tblMovimenti->currentIndex().row());
            return true;
        }
    }
    return ImportPage::eventFilter(watched, event);
}

bool ReviewPage::validatePage()
{
    try {
        m_result = m_session.importTicked(m_review->ticks());
        return true;
    } catch (const db::DbError& e) {
        tell(
            this,
            databaseFailureText(
                QStringLiteral("Impossibile importare i movimenti: il giornale non è stato modificato."), e));
    } catch (const db::BackupError& e) {
        tell(this, e.message() + QStringLiteral("\r\nNessun movimento è stato importato."));
    } catch (const statement::StatementError& e) {
        tell(this, e.message() + QStringLiteral("\r\nNessun movimento è stato importato."));
    }
    return false;
}

} // namespace movilibro
