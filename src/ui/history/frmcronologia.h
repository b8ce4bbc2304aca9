#pragma once

#include "db/periods.h"
#include "history/logtext.h"

#include <QDialog>

#include <functional>

class QComboBox;
class QLineEdit;
class QPushButton;
class QTreeView;

namespace movilibro {

class LogModel;

// The change log: the story of one entry ("Storia"), or every line written in
// a period, filtered by words and kind and exported as CSV.
class frmCronologia : public QDialog
{
    Q_OBJECT
public:
    explicit frmCronologia(QWidget* parent = nullptr);

    // Both show the one window of the run modally; nothing, after telling
    // the user, when the log cannot be read.
    static void showEntry(QWidget* parent, qint64 id);
    static void showPeriod(QWidget* parent, const DateRange& period);

private:
    using Reader = std::function<std::vector<history::LogLine>(db::Connection&)>;
    static frmCronologia& instance(QWidget* parent);
    void Mostra(const QString& title, const QString& exportName, const Reader& read);
    void applyFilter();
    void onExport();

    QLineEdit* txtFiltro;
    QComboBox* cmbTipo;
    QTreeView* lstCronologia;
    QPushButton* cmdEsporta;
    QPushButton* cmdChiudi;
    LogModel* m_model;
    std::vector<history::LogLine> m_lines;
    QString m_exportName;
};

} // namespace movilibro
