#pragma once

#include "statement/statement.h"

#include <QWizardPage>

class QComboBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;
class QRadioButton;
class QTableView;
class QWidget;

namespace movilibro {

class ColumnRoleBar;
class ImportSession;
class PreviewModel;
class ReviewModel;

namespace importpage {
enum Id
{
    File,
    Columns,
    Account,
    Review
};
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

// Booking or value date, offered when a statement has both.
class DateChoiceBox : public QWidget
{
    Q_OBJECT
public:
    DateChoiceBox(const QString& namePrefix, QWidget* parent);
    statement::DateChoice choice() const;
    void setChoice(statement::DateChoice choice);

private:
    QRadioButton* m_booking;
    QRadioButton* m_value;
};

// 1. The statement file.
class FilePage : public ImportPage
{
    Q_OBJECT
public:
    FilePage(ImportSession& session, QWidget* parent = nullptr);

    bool isComplete() const override;
    bool validatePage() override;
    int nextId() const override;

private:
    void browse();

    ImportSession& m_session;
    QLineEdit* txtFile;
    QPushButton* cmdSfoglia;
};

// 2. The columns of a CSV file: a preview of its first rows with the role of
// each column, as guessed or remembered, for the user to correct.
class ColumnsPage : public ImportPage
{
    Q_OBJECT
public:
    ColumnsPage(ImportSession& session, QWidget* parent = nullptr);

    void initializePage() override;
    bool isComplete() const override;
    bool validatePage() override;

private:
    statement::CsvLayout chosenLayout() const;
    void onRolesChanged();

    ImportSession& m_session;
    QLabel* lblFormato;
    QTableView* tblPreview;
    PreviewModel* m_preview;
    ColumnRoleBar* m_roles;
    DateChoiceBox* m_date;
    QComboBox* cmbDecimali;
    QLabel* lblMancante;
};

// 3. The account the movements go to.
class AccountPage : public ImportPage
{
    Q_OBJECT
public:
    AccountPage(ImportSession& session, QWidget* parent = nullptr);

    void initializePage() override;
    bool isComplete() const override;
    bool validatePage() override;

private:
    ImportSession& m_session;
    QListWidget* lstConti;
    QLabel* lblNessunConto;
    DateChoiceBox* m_date;
};

// 4. Every movement with its tick; "Importa" writes the ticked ones.
class ReviewPage : public ImportPage
{
    Q_OBJECT
public:
    ReviewPage(ImportSession& session, QWidget* parent = nullptr);

    void initializePage() override;
    void cleanupPage() override;
    bool isComplete() const override;
    bool validatePage() override;

    // After a successful import: how many came in and how many were left out.
    std::optional<statement::ImportResult> result() const { return m_result; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void showCounts();

    ImportSession& m_session;
    QTableView* tblMovimenti;
    ReviewModel* m_review;
    QLabel* lblConteggio;
    std::optional<statement::ImportResult> m_result;
};

} // namespace movilibro
