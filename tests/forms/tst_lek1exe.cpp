// Normal mode through the real executable on the windowless platform: the
// host learns of an unusable configuration from the error file in the
// current directory.
#include "support/TestSupport.h"

#include <QProcess>
#include <QtTest>

class TestLek1Exe : public QObject {
    Q_OBJECT
private slots:
    void emptyConfigurationEndsWithErrorFile() {
        TestDir dir;
        const QString catalogue = dir.file(QStringLiteral("catalogue"));
        QDir().mkpath(catalogue);
        const QDir demo(QStringLiteral(KORVA_BINARY_DIR "/demo/catalogue"));
        for (const QString& f : demo.entryList(QDir::Files))
            QVERIFY(QFile::copy(demo.filePath(f), QDir(catalogue).filePath(f)));
        QFile aliases(dir.file(QStringLiteral("aliases.ini")));
        QVERIFY(aliases.open(QIODevice::WriteOnly));
        aliases.write(QStringLiteral("[KORVA_9_0]\nPATH=%1\n").arg(catalogue).toUtf8());
        aliases.close();
        QFile input(dir.file(QStringLiteral("in.ini")));
        QVERIFY(input.open(QIODevice::WriteOnly));
        input.write("[DWG]\nHangerMark=X-1\n[LOAD]\nNormal=10\n[PIPE]\nSIZE=114.3\n[MDSHangerConfig]\nConfig=0\n");
        input.close();

        QProcess korva;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        // Windowless: the boxes go to standard error, nobody answers them.
        for (const char* v : {"DISPLAY", "WAYLAND_DISPLAY"})
            env.remove(QString::fromLatin1(v));
        env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        env.insert(QStringLiteral("KORVA_ALIAS_FILE"), aliases.fileName());
        env.insert(QStringLiteral("HOME"), dir.path());
        env.insert(QStringLiteral("XDG_CONFIG_HOME"), dir.file(QStringLiteral("config")));
        korva.setProcessEnvironment(env);
        korva.setWorkingDirectory(dir.path());
        korva.start(QStringLiteral(KORVA_EXE),
                    {QStringLiteral("/IF:") + input.fileName(), QStringLiteral("/OF:") + dir.file(QStringLiteral("out.zof")),
                     QStringLiteral("/PD:") + dir.file(QStringLiteral("project"))});
        QVERIFY(korva.waitForFinished(30000));
        QCOMPARE(korva.exitStatus(), QProcess::NormalExit);
        QCOMPARE(korva.exitCode(), 0);
        QFile error(dir.file(QStringLiteral("KORVA_MDS_ERROR.Z3D")));
        QVERIFY(error.open(QIODevice::ReadOnly));
        // The message goes through the dictionary in the desk's language.
        const QByteArray bytes = error.readAll();
        QVERIFY2(bytes == QByteArray("CANCLED Der Wert f\xfcr die Halterungskonfiguration ist leer oder nicht g\xfcltig!\r\n") ||
                     bytes == QByteArray("CANCLED The value for the support configuration is empty or not valid!\r\n"),
                 bytes.constData());
        QVERIFY(!QFileInfo::exists(dir.file(QStringLiteral("out.zof"))));
        QVERIFY(QFileInfo::exists(dir.file(QStringLiteral("project/konstr8.db"))));
        QVERIFY(!korva.readAllStandardError().isEmpty());
    }
};

QTEST_GUILESS_MAIN(TestLek1Exe)
#include "tst_lek1exe.moc"
