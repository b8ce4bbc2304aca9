#pragma once

#include <QWizardPage>

class QLabel;
class QTableView;

namespace movilibro {

namespace importpage {
enum Id
{
    File,
    Columns,
    Account,
    Review
};

// A message box over the page, with only "OK".
void tell(QWidget* parent, const QString& text);
// The kinds of statement files the open-file dialog offers.
QStringList statementFilters();
QLabel* wrappedLabel(const QString& text, QWidget* parent);
// The read-only table of movements the columns and review pages show.
QTableView* movementTable(const QString& name, QWidget* parent);
} // namespace importpage

// A page of the assistant, with the control that takes the focus when it shows.
class ImportPage : public QWizardPage
{
    Q_OBJECT
public:
    using QWizardPage::QWizardPage;
    QWidget* firstControl() const { return m_first; }

protected:
    void setFirstControl(QWidget* control) { m_first = control; }

private:
    QWidget* m_first = nullptr;
};

} // namespace movilibro
