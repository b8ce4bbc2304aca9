#include "app/commandline.h"
#include "app/startup.h"

#include <QApplication>
#include <QCoreApplication>
#include <QGuiApplication>

namespace {

template <typename Application> int runTasksOn(int argc, char* argv[])
{
    using namespace movilibro;
    Application app(argc, argv);
    setUpApplication(app);
    return runTasks().value_or(cli::Failed);
}

} // namespace

// The application object is chosen before it is made: files need no platform
// plugin, the PDF needs fonts but no display, charts need the widgets module
// but no window; only the windows need a display.
int main(int argc, char* argv[])
{
    using namespace movilibro;
    switch (cli::needsOf(cli::argumentsOf(argc, argv))) {
    case cli::Needs::Console:
        return runTasksOn<QCoreApplication>(argc, argv);
    case cli::Needs::Painting:
        cli::chooseHeadlessPlatform();
        return runTasksOn<QGuiApplication>(argc, argv);
    case cli::Needs::Charts:
        cli::chooseHeadlessPlatform();
        return runTasksOn<QApplication>(argc, argv);
    case cli::Needs::Windows:
        break;
    }
    return runWindows(argc, argv);
}
