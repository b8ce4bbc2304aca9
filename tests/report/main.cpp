#include "reportfixtures.h"

#include <QApplication>
#include <QTest>

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    movilibro::test::pinItalianLocale();
    int failures = 0;
    for (const auto& make : movilibro::test::testRegistry()) {
        auto test = make();
        failures += QTest::qExec(test.get(), argc, argv);
    }
    return failures == 0 ? 0 : 1;
}
