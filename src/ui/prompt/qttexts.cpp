#include "ui/prompt/qttexts.h"

#include <QCoreApplication>
#include <QHash>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

namespace movilibro {

namespace {

// Texts Qt 6 asks under a context its Italian translation does not have yet.
class MissingQtTexts : public QTranslator
{
public:
    using QTranslator::QTranslator;

    bool isEmpty() const override { return false; }

    QString translate(const char* context, const char* source, const char* = nullptr, int = -1) const override
    {
        static const QHash<QByteArray, QString> fileTypes = {
            {"Folder", QStringLiteral("Cartella")}, {"File Folder", QStringLiteral("Cartella")},
            {"Drive", QStringLiteral("Unità")},     {"Shortcut", QStringLiteral("Collegamento")},
            {"Alias", QStringLiteral("Alias")},     {"Unknown", QStringLiteral("Sconosciuto")},
            {"File", QStringLiteral("File")},       {"%1 File", QStringLiteral("File %1")}};
        if (qstrcmp(context, "QAbstractFileIconProvider") != 0)
            return {};
        return fileTypes.value(QByteArray(source));
    }
};

} // namespace

void installItalianQtTexts()
{
    static bool installed = false;
    QCoreApplication* app = QCoreApplication::instance();
    if (installed || !app)
        return;
    installed = true;
    auto* qt = new QTranslator(app);
    if (qt->load(QLocale(QLocale::Italian, QLocale::Italy), QStringLiteral("qtbase"), QStringLiteral("_"),
                 QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        app->installTranslator(qt);
    else
        delete qt;
    app->installTranslator(new MissingQtTexts(app));
}

} // namespace movilibro
