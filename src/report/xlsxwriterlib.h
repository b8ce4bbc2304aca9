#pragma once

#include <QString>

#include <xlsxwriter.h>

namespace movilibro::report {

// The libxlsxwriter functions the workbook export calls. The library is
// loaded with its own dependencies bound first: it packs with the system's
// minizip, whose zip functions QuaZip (linked for the statement readers)
// exports under the same names with other arguments.
struct XlsxWriterLib
{
#define MOVILIBRO_XLSX_FUNCTIONS(X)                                                                          \
    X(workbook_new_opt)                                                                                      \
    X(workbook_add_worksheet)                                                                                \
    X(workbook_add_format)                                                                                   \
    X(workbook_set_properties)                                                                               \
    X(workbook_close)                                                                                        \
    X(lxw_workbook_free)                                                                                     \
    X(lxw_strerror)                                                                                          \
    X(worksheet_write_string)                                                                                \
    X(worksheet_write_number)                                                                                \
    X(worksheet_set_row_opt)                                                                                 \
    X(worksheet_set_column)                                                                                  \
    X(worksheet_freeze_panes)                                                                                \
    X(worksheet_autofilter)                                                                                  \
    X(format_set_bold)                                                                                       \
    X(format_set_font_size)                                                                                  \
    X(format_set_num_format)                                                                                 \
    X(format_set_align)
#define MOVILIBRO_XLSX_POINTER(name) decltype(&::name) name = nullptr;
    MOVILIBRO_XLSX_FUNCTIONS(MOVILIBRO_XLSX_POINTER)
#undef MOVILIBRO_XLSX_POINTER
};

// The library, loaded on first use; null, with the reason in `failure`, when
// it cannot be loaded.
const XlsxWriterLib* xlsxWriterLib(QString* failure);

} // namespace movilibro::report
