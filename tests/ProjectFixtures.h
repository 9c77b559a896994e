#pragma once

#include <QFile>
#include <QString>

// The bytes of a project file kept in tests/data/project.
inline QByteArray projectFixture(const char *name)
{
    QFile file(QStringLiteral(VORMIK_TEST_DATA "/project/") + QLatin1String(name));
    if (!file.open(QIODevice::ReadOnly))
        qFatal("missing fixture %s", name);
    return file.readAll();
}
