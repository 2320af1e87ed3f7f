#pragma once

#include <QString>
#include <QTranslator>

namespace tilvane {

// Qt's own Brazilian Portuguese texts (file panels and their questions, alerts' standard buttons), read from Qt's
// translations folder and installed for as long as the object lives. Without the catalogue Qt's texts stay English.
class QtTranslations {
public:
    QtTranslations();
    explicit QtTranslations(const QString& folder);
    ~QtTranslations();
    QtTranslations(const QtTranslations&) = delete;
    QtTranslations& operator=(const QtTranslations&) = delete;

    bool isInstalled() const { return installed_; }

private:
    QTranslator translator_;
    bool installed_ = false;
};

}  // namespace tilvane
