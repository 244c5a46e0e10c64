// The real executable in configuration mode on a copy of the demo
// catalogue: it opens its main form and keeps running (the message loop)
// instead of ending after its start checks.
#include "support/TestSupport.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QtTest>

class TstConfigureMode : public QObject {
    Q_OBJECT
private slots:
    void opensTheArrangementForm() {
        const QString demo = QStringLiteral(KORVA_BINARY_DIR "/demo/catalogue");
        if (!QFile::exists(demo + "/ABHGNR.DB")) QSKIP("the demo catalogue is not built");
        TestDir dir;
        // A copy, so that nothing of the build's catalogue can change.
        QVERIFY(QDir().mkpath(dir.file("catalogue")));
        for (const QString& f : QDir(demo).entryList(QDir::Files))
            QVERIFY(QFile::copy(demo + "/" + f, dir.file("catalogue/" + f)));
        QFile alias(dir.file("aliases.ini"));
        QVERIFY(alias.open(QIODevice::WriteOnly));
        alias.write("[KORVA_9_0]\nPATH=" + dir.file("catalogue/").toUtf8() + "\n");
        alias.close();
        QVERIFY(QDir().mkpath(dir.file("tmp")));

        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("KORVA_ALIAS_FILE", alias.fileName());
        env.insert("QT_QPA_PLATFORM", "offscreen");
        env.insert("TMPDIR", dir.file("tmp"));
        env.insert("HOME", dir.path());
        QProcess p;
        p.setProcessEnvironment(env);
        p.setWorkingDirectory(dir.path());
        p.start(QStringLiteral(KORVA_EXE), {"/CONFIGURE_CONF"});
        QVERIFY(p.waitForStarted());
        // A run that ends after its start checks ends within this time.
        const bool ended = p.waitForFinished(4000);
        const QString err = QString::fromLocal8Bit(p.readAllStandardError());
        if (!ended) {
            p.kill();
            p.waitForFinished();
        }
        QVERIFY2(!ended, qPrintable(QString("exit %1: %2").arg(p.exitCode()).arg(err)));
        QVERIFY2(!err.contains("no main form"), qPrintable(err));
    }
};

QTEST_GUILESS_MAIN(TstConfigureMode)
#include "tst_configuremode.moc"
