#pragma once

#include "statement/statement.h"
#include "ui/import/importpage.h"

class QComboBox;
class QLabel;
class QTableView;

namespace movilibro {

class ColumnRoleBar;
class DateChoiceBox;
class ImportSession;
class PreviewModel;

// 2. The columns of a table (a CSV file, a sheet of a workbook): a preview of
// its first rows with the role of each column, as guessed or remembered, for
// the user to correct; and which sheet, when a workbook has several.
class ColumnsPage : public ImportPage
{
    Q_OBJECT
public:
    ColumnsPage(ImportSession& session, QWidget* parent = nullptr);

    void initializePage() override;
    bool isComplete() const override;
    bool validatePage() override;

private:
    statement::ColumnLayout chosenLayout() const;
    void onSheetChosen();
    void onRolesChanged();
    void widenDescriptions();

    ImportSession& m_session;
    QLabel* lblFormato;
    QLabel* lblFoglio;
    QComboBox* cmbFoglio;
    QTableView* tblPreview;
    PreviewModel* m_preview;
    ColumnRoleBar* m_roles;
    DateChoiceBox* m_date;
    QComboBox* cmbDecimali;
    QComboBox* cmbOrdineDate;
    QComboBox* cmbSegno;
    QLabel* lblSegno;
    QLabel* lblMancante;
};

} // namespace movilibro
