#include "ui/import/filepage.h"

#include "ui/import/importsession.h"
#include "ui/prompt/prompt.h"

#include <QDir>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace movilibro {

using importpage::tell;

FilePage::FilePage(ImportSession& session, QWidget* parent) : ImportPage(parent), m_session(session)
{
    setTitle(QStringLiteral("File dell'estratto conto"));
    setSubTitle(QStringLiteral("Scegliere il file scaricato dalla banca: CSV o TXT, Excel (XLSX, XLS), OFX "
                               "(QFX) oppure XML ISO 20022 (camt.052, camt.053, camt.054)."));
    txtFile = new QLineEdit(this);
    txtFile->setObjectName(QStringLiteral("txtFile"));
    cmdSfoglia = new QPushButton(QStringLiteral("&Sfoglia…"), this);
    cmdSfoglia->setObjectName(QStringLiteral("cmdSfoglia"));
    cmdSfoglia->setAutoDefault(false);
    auto* label = new QLabel(QStringLiteral("&File:"), this);
    label->setBuddy(txtFile);

    auto* row = new QHBoxLayout;
    row->addWidget(txtFile, 1);
    row->addWidget(cmdSfoglia);
    auto* page = new QVBoxLayout(this);
    page->addWidget(label);
    page->addLayout(row);
    page->addStretch();

    setFirstControl(txtFile);
    connect(txtFile, &QLineEdit::textChanged, this, &QWizardPage::completeChanged);
    connect(cmdSfoglia, &QPushButton::clicked, this, &FilePage::browse);
}

void FilePage::browse()
{
    const QString path = Prompt::instance().openFile(this, importpage::statementFilters(), txtFile->text().trimmed());
    if (path.isEmpty())
        return;
    txtFile->setText(QDir::toNativeSeparators(path));
    // Enter now goes on with the file chosen.
    txtFile->setFocus(Qt::OtherFocusReason);
}

bool FilePage::isComplete() const
{
    return !txtFile->text().trimmed().isEmpty();
}

bool FilePage::validatePage()
{
    const QString path = QDir::fromNativeSeparators(txtFile->text().trimmed());
    const QFileInfo file(path);
    if (!file.isFile()) {
        tell(this, QStringLiteral("Il file indicato non esiste:\r\n") + QDir::toNativeSeparators(path));
        txtFile->setFocus(Qt::OtherFocusReason);
        return false;
    }
    try {
        m_session.open(file.absoluteFilePath());
    } catch (const statement::StatementError& e) {
        tell(this, QStringLiteral("Impossibile leggere l'estratto conto.\r\n") + e.message());
        txtFile->setFocus(Qt::OtherFocusReason);
        return false;
    }
    return true;
}

int FilePage::nextId() const
{
    return m_session.isTable() ? importpage::Columns : importpage::Account;
}

} // namespace movilibro
