#pragma once

#include "report/reportpages.h"

#include <QDialog>
#include <QPrinter>

#include <memory>

class QAction;

namespace movilibro::report {

class PageView;
class Report;

// The print preview of a report: pages as they will print, each laid out
// when it comes into sight; the print action "Stampa" (system print dialog)
// and the views "Larghezza" (page width) and "Pagina" (whole page).
class ReportPreview : public QDialog
{
    Q_OBJECT

public:
    // `pages` are `report`'s, planned for the default page.
    ReportPreview(std::unique_ptr<Report> report, ReportPages pages, QWidget* parent = nullptr);
    ~ReportPreview() override;

    QPrinter* printer() { return &m_printer; }
    const ReportPages& pages() const { return m_pages; }
    PageView* pageView() const { return m_view; }

public slots:
    // Opens the print dialog and prints on acceptance.
    void print();
    // Shows the pages for the printer's paper, laid out anew when it has changed.
    void updatePreview();

private:
    QWidget* buildToolBar();
    QAction* makeAction(const QString& name, const QString& text, const QKeySequence& shortcut);
    // Plans the pages again when the paper has changed; false on failure.
    bool fitPagesTo(QPrinter* printer);
    void showPages();
    void printPages(QPrinter* printer);

    std::unique_ptr<Report> m_report;
    ReportPages m_pages;
    QPrinter m_printer;
    PageView* m_view = nullptr;
};

} // namespace movilibro::report
