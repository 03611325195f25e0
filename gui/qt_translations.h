#pragma once

#include <QTranslator>

namespace tessel {

// Qt's own texts (the buttons of message boxes, the edit fields' context menu) in the system's language, from
// the translations Qt ships; English where there are none. Installed for the life of the object.
class QtTranslations {
public:
    QtTranslations();
    QtTranslations(const QtTranslations&) = delete;
    QtTranslations& operator=(const QtTranslations&) = delete;

    bool loaded() const { return loaded_; }

private:
    // Removes itself from the application when it goes.
    QTranslator translator_;
    bool loaded_ = false;
};

}  // namespace tessel
