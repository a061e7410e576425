#include "ToolkitSetup.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QSettings>
#include <QTranslator>

#include <clocale>

bool InstallKoreanToolkitTexts(QCoreApplication& application)
{
    auto* translator = new QTranslator(&application);
    if (!translator->load(QStringLiteral("qtbase_ko"), QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
        delete translator;
        return false;
    }
    return QCoreApplication::installTranslator(translator);
}

void KeepToolkitStateUnsaved()
{
    // The program keeps its own settings without QSettings, so only Qt's
    // windows would write there; a folder that cannot exist makes every such
    // save fail quietly and every read find nothing.
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, QStringLiteral("/dev/null"));
}

void UseUserLanguageForSystemTexts()
{
    std::setlocale(LC_MESSAGES, "");
}
