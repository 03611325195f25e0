#include <QApplication>
#include <QCommandLineParser>
#include <QDir>
#include <QFile>

#include <cstdio>
#include <cstring>
#include <string>

#include "dialog/package_folder.h"
#include "dialog/program_directory.h"
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
    QApplication application(argc, argv);
    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral("The operator's dialog for updating a device."));
    parser.addHelpOption();
    const QCommandLineOption package(
        QStringLiteral("package"),
        QStringLiteral("Use the update package in DIR. Without it: the program's folder when it holds "
                       "UpDateMng.txt, else the current folder."),
        QStringLiteral("DIR"));
    parser.addOption(package);
    const QCommandLineOption version(QStringLiteral("version"), QStringLiteral("Print the program's version."));
    parser.addOption(version);
    parser.process(application);

    const std::string programDirectory =
        parser.isSet(package)
            ? QFile::encodeName(parser.value(package)).toStdString()
            : tessel::DefaultPackageFolder(
                  tessel::ProgramDirectoryOf(QFile::encodeName(QCoreApplication::applicationFilePath()).toStdString()),
                  QFile::encodeName(QDir::currentPath()).toStdString());
    return tessel::CTesselApp().InitInstance(programDirectory);
}
