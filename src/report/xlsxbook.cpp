#include "report/xlsxbook.h"

#include <QFile>

#include "report/xlsxwriterlib.h"

namespace movilibro::report {

namespace {

// Loaded before any book is made (writeJournalXlsx).
const XlsxWriterLib& lxw()
{
    return *xlsxWriterLib(nullptr);
}

} // namespace

void XlsxBook::Closer::operator()(lxw_workbook* book) const
{
    lxw().lxw_workbook_free(book);
}

XlsxBook::XlsxBook(const QString& path, const QString& tempFolder)
    : m_path(QFile::encodeName(path)), m_tempFolder(QFile::encodeName(tempFolder))
{
    lxw_workbook_options options{};
    options.constant_memory = LXW_TRUE;
    options.tmpdir = m_tempFolder.data();
    options.use_zip64 = LXW_TRUE; // a sheet of a million rows passes 4 GB before it is packed
    m_book.reset(lxw().workbook_new_opt(m_path.constData(), &options));
    if (!m_book)
        m_error = LXW_ERROR_MEMORY_MALLOC_FAILED;
}

XlsxBook::~XlsxBook() = default;

bool XlsxBook::check(int lxwError)
{
    if (m_error == 0 && lxwError != LXW_NO_ERROR)
        m_error = lxwError;
    return ok();
}

lxw_worksheet* XlsxBook::addSheet(const char* name)
{
    if (!ok())
        return nullptr;
    lxw_worksheet* sheet = lxw().workbook_add_worksheet(m_book.get(), name);
    if (!sheet)
        m_error = LXW_ERROR_PARAMETER_VALIDATION;
    return sheet;
}

lxw_format* XlsxBook::addFormat()
{
    return ok() ? lxw().workbook_add_format(m_book.get()) : nullptr;
}

void XlsxBook::setProperties(const QString& title)
{
    if (!ok())
        return;
    QByteArray utf8 = title.toUtf8();
    char author[] = "Movilibro";
    lxw_doc_properties properties{};
    properties.title = utf8.data();
    properties.author = author;
    check(lxw().workbook_set_properties(m_book.get(), &properties));
}

void XlsxBook::text(lxw_worksheet* sheet, int row, int column, const QByteArray& utf8, lxw_format* format)
{
    if (ok() && !utf8.isEmpty())
        check(
            lxw().worksheet_write_string(sheet, lxw_row_t(row), lxw_col_t(column), utf8.constData(), format));
}

void XlsxBook::number(lxw_worksheet* sheet, int row, int column, double value, lxw_format* format)
{
    if (ok())
        check(lxw().worksheet_write_number(sheet, lxw_row_t(row), lxw_col_t(column), value, format));
}

void XlsxBook::setLevel(lxw_worksheet* sheet, int row, int level)
{
    lxw_row_col_options options{};
    options.level = uint8_t(level);
    if (ok() && level > 0)
        check(lxw().worksheet_set_row_opt(sheet, lxw_row_t(row), LXW_DEF_ROW_HEIGHT, nullptr, &options));
}

bool XlsxBook::close()
{
    if (!m_book)
        return false;
    // Closing writes the file and frees the book, whatever the outcome.
    const lxw_error closed = lxw().workbook_close(m_book.release());
    if (ok())
        check(closed);
    return ok();
}

QString XlsxBook::failure() const
{
    return ok() ? QString() : QString::fromUtf8(lxw().lxw_strerror(lxw_error(m_error)));
}

} // namespace movilibro::report
