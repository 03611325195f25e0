#pragma once

#include <QTemporaryDir>

#include <string>

namespace tessel::gui_test {

// A package folder in a fresh temporary directory, removed with the object.
class SamplePackage {
public:
    SamplePackage();

    std::string dir() const { return folder_.path().toStdString(); }
    // Writes bytes as they are.
    void write(const std::string& name, const std::string& bytes) const;
    // Writes a management file whose lines are given in UTF-8 and stored in code page 932.
    void writeManagementFile(const std::string& utf8Lines) const;

private:
    QTemporaryDir folder_;
};

}  // namespace tessel::gui_test
