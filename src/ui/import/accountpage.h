#pragma once

#include "ui/import/importpage.h"

class QComboBox;
class QLabel;
class QListWidget;

namespace movilibro {

class DateChoiceBox;
class ImportSession;

// 3. The account the movements go to, and which of the file's accounts when
// it reports on several.
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
    QLabel* lblIban;
    QComboBox* cmbIban;
    QListWidget* lstConti;
    QLabel* lblNessunConto;
    DateChoiceBox* m_date;
};

} // namespace movilibro
