#pragma once

#include <QByteArray>
#include <QFile>
#include <QString>
#include <QTest>

// Whether a tool the test needs is there. tools/run-tests installs them all, so in CI a missing
// one fails the test; elsewhere it skips. Returns false then.
inline bool have(const QString &path, const char *what)
{
    if (!path.isEmpty() && QFile::exists(path))
        return true;
    const QByteArray message = QByteArray(what) + " is missing (tools/run-tests installs it)";
    if (qEnvironmentVariableIsSet("CI"))
        QTest::qFail(message.constData(), __FILE__, __LINE__);
    else
        QTest::qSkip(message.constData(), __FILE__, __LINE__);
    return false;
}
