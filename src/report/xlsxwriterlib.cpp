#include "report/xlsxwriterlib.h"

#include <dlfcn.h>

namespace movilibro::report {

namespace {

struct Loaded
{
    XlsxWriterLib lib;
    QString failure;
    bool ok = false;
};

Loaded load()
{
    Loaded loaded;
    void* handle = dlopen("libxlsxwriter.so.4", RTLD_NOW | RTLD_LOCAL | RTLD_DEEPBIND);
    if (!handle) {
        loaded.failure = QString::fromLocal8Bit(dlerror());
        return loaded;
    }
#define MOVILIBRO_XLSX_RESOLVE(name)                                                                         \
    loaded.lib.name = reinterpret_cast<decltype(loaded.lib.name)>(dlsym(handle, #name));                     \
    if (!loaded.lib.name) {                                                                                  \
        loaded.failure = QString::fromLocal8Bit(dlerror());                                                  \
        return loaded;                                                                                       \
    }
    MOVILIBRO_XLSX_FUNCTIONS(MOVILIBRO_XLSX_RESOLVE)
#undef MOVILIBRO_XLSX_RESOLVE
    loaded.ok = true;
    return loaded;
}

} // namespace

const XlsxWriterLib* xlsxWriterLib(QString* failure)
{
    static const Loaded loaded = load();
    if (!loaded.ok && failure)
        *failure = QStringLiteral("Libreria libxlsxwriter non disponibile (%1).").arg(loaded.failure);
    return loaded.ok ? &loaded.lib : nullptr;
}

} // namespace movilibro::report
