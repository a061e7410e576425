#include "QtResources.h"

#include "ResourceIds.h"

#include <QFile>

QString QtResourcePath(int id)
{
    switch (id) {
    case IDR_MAINFRAME: return QStringLiteral(":/res/IDR_MAINFRAME.png");
    case IDR_RELEASE_NOTES: return QStringLiteral(":/res/release-notes.txt");
    default: return {};
    }
}

std::optional<std::string> LoadQtTextResource(int id)
{
    QFile resource(QtResourcePath(id));
    if (!resource.open(QIODevice::ReadOnly))
        return std::nullopt;
    return resource.readAll().toStdString();
}
