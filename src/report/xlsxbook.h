#pragma once

#include <QByteArray>
#include <QString>

#include <memory>

struct lxw_workbook;
struct lxw_worksheet;
struct lxw_format;

namespace movilibro::report {

// A workbook written by libxlsxwriter in its constant-memory mode: each row
// leaves memory when the next one begins, so rows go in order. The first
// failure is kept; the calls after it do nothing and close() reports it.
class XlsxBook
{
public:
    // The file is made at close(); the writer keeps its own temporary files
    // in `tempFolder`.
    XlsxBook(const QString& path, const QString& tempFolder);
    ~XlsxBook();
    XlsxBook(const XlsxBook&) = delete;
    XlsxBook& operator=(const XlsxBook&) = delete;

    lxw_worksheet* addSheet(const char* name);
    // A new cell format for the caller to set up (nullptr after a failure).
    lxw_format* addFormat();
    // The title and the program as author.
    void setProperties(const QString& title);

    // Text is always stored as text, never read as a formula; empty text
    // leaves the cell empty.
    void text(lxw_worksheet* sheet, int row, int column, const QByteArray& utf8,
              lxw_format* format = nullptr);
    void text(lxw_worksheet* sheet, int row, int column, const QString& text, lxw_format* format = nullptr)
    {
        this->text(sheet, row, column, text.toUtf8(), format);
    }
    void number(lxw_worksheet* sheet, int row, int column, double value, lxw_format* format);
    // The outline level of a row, before its cells are written.
    void setLevel(lxw_worksheet* sheet, int row, int level);

    // Takes a libxlsxwriter result; false once anything failed.
    bool check(int lxwError);
    bool ok() const { return m_error == 0; }
    // Writes the file. False when it or anything before failed.
    bool close();
    // What failed, in words.
    QString failure() const;

private:
    struct Closer
    {
        void operator()(lxw_workbook* book) const;
    };
    QByteArray m_path, m_tempFolder;
    std::unique_ptr<lxw_workbook, Closer> m_book;
    int m_error = 0;
};

} // namespace movilibro::report
