#include <QApplication>
#include <QDir>
#include <QFile>

#include <cstdio>
#include <cstring>
#include <optional>
#include <string>

#include "dialog/package_folder.h"
#include "dialog/program_directory.h"
#include "gui/command_line.h"
#include "gui/tessel_app.h"
#include "version/tessel_version.h"

namespace {

// --version answers without a window system, so that it also works over a plain terminal.
bool AsksForVersion(int argc, char** argv) {
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--version") == 0) return true;
    }
    return false;
}

}  // namespace

int main(int argc, char** argv) {
    if (AsksForVersion(argc, argv)) {
        std::printf("tessel %s\n", std::string(tessel::kTesselVersion).c_str());
        return 0;
    }
    if (tessel::TesselCommandLine::AsksForHelp(argc, argv)) {
        // The help text ends the process in parse(); a plain application needs no window system.
        QCoreApplication application(argc, argv);
        tessel::TesselCommandLine().parse(application);
    }
    QApplication application(argc, argv);
    tessel::TesselCommandLine commandLine;
    if (const std::optional<QString> error = commandLine.parse(application)) {
        std::fprintf(stderr, "tessel: %s\n", qPrintable(*error));
        return tessel::TesselCommandLine::kUsageError;
    }
    const std::optional<QString> package = commandLine.packageFolder();
    const std::string programDirectory =
        package ? QFile::encodeName(*package).toStdString()
            : tessel::DefaultPackageFolder(
                  tessel::ProgramDirectoryOf(QFile::encodeName(QCoreApplication::applicationFilePath()).toStdString()),
                  QFile::encodeName(QDir::currentPath()).toStdString());
    return tessel::CTesselApp().InitInstance(programDirectory, commandLine.ports());
}
