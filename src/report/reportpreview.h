#pragma once

#include "report/document.h"

#include <QDialog>
#include <QPrinter>

#include <memory>

class QAction;
class QPrintPreviewWidget;

namespace movilibro::report {

class Report;

// The print preview of a report: pages as they will print, the print action
// "Stampa" (system print dialog) and the views "Larghezza" (page width) and
// "Pagina" (whole page).
class ReportPreview : public QDialog
{
    Q_OBJECT

public:
    // `document` is `report` already laid out for the default page.
    ReportPreview(std::unique_ptr<Report> report, ReportDocument document, QWidget* parent = nullptr);
    ~ReportPreview() override;

    QPrinter* printer() { return &m_printer; }
    const ReportDocument& document() const { return m_document; }
    QPrintPreviewWidget* previewWidget() const { return m_preview; }

public slots:
    // Opens the print dialog and prints on acceptance.
    void print();

private:
    QWidget* buildToolBar();
    QAction* makeAction(const QString& name, const QString& text, const QKeySequence& shortcut);
    void paint(QPrinter* printer);
    // Lays the report out again when the paper has changed; false on failure.
    bool fitDocumentTo(QPrinter* printer);
    void printDocument(QPrinter* printer);

    std::unique_ptr<Report> m_report;
    ReportDocument m_document;
    QPrinter m_printer;
    QPrintPreviewWidget* m_preview = nullptr;
};

} // namespace movilibro::report
