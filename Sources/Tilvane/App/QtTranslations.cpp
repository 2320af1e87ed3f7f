#include "Tilvane/App/QtTranslations.hpp"

#include <QCoreApplication>
#include <QLibraryInfo>

namespace tilvane {

QtTranslations::QtTranslations() : QtTranslations(QLibraryInfo::path(QLibraryInfo::TranslationsPath)) {}

QtTranslations::QtTranslations(const QString& folder)
{
    installed_ =
        translator_.load(QStringLiteral("qtbase_pt_BR"), folder) && QCoreApplication::installTranslator(&translator_);
}

QtTranslations::~QtTranslations()
{
    if (installed_) QCoreApplication::removeTranslator(&translator_);
}

}  // namespace tilvane
