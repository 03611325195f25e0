#include <QApplication>
#include <QCommandLineParser>
#include <QFile>

#include <string>

#include "dialog/program_directory.h"
#include "gui/tessel_app.h"

int main(int argc, char** argv) {
    QApplication application(argc, argv);
    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral("The operator's dialog for updating a device."));
    parser.addHelpOption();
    const QCommandLineOption package(QStringLiteral("package"),
                                     QStringLiteral("Use the update package in DIR instead of the program's folder."),
                                     QStringLiteral("DIR"));
    parser.addOption(package);
    parser.process(application);

    const std::string programDirectory =
        parser.isSet(package)
            ? QFile::encodeName(parser.value(package)).toStdString()
            : tessel::ProgramDirectoryOf(QFile::encodeName(QCoreApplication::applicationFilePath()).toStdString());
    return tessel::CTesselApp().InitInstance(programDirectory);
}
