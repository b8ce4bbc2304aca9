#include "settings/registrystore.h"
#include "settings/registrywrappers.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include <csignal>
#include <sys/resource.h>

using namespace movilibro;

namespace {

const QString SettingsKey = QStringLiteral("Software\\Marlenco\\Movilibro\\Settings");
const QString CurDb = QStringLiteral("appset_curdb");
const QVariant Default(QStringLiteral("default"));

bool writeFile(const QString& path, const QByteArray& contents)
{
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(contents) == contents.size();
}

QByteArray readFile(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// The current folder's value as the start-up sequence reads it, and the type found.
QVariant readBack(qint32* type = nullptr)
{
    comRegistry registry;
    registry.setClassKey(HKEY_CURRENT_USER);
    registry.setSectionKey(SettingsKey);
    registry.setValueKey(CurDb);
    registry.setValueType(REG_SZ);
    registry.setDefault(Default);
    const QVariant value = registry.Value();
    if (type)
        *type = registry.ValueType();
    return value;
}

void write(qint32 type, const QVariant& value)
{
    WriteRegistryValue(HKEY_CURRENT_USER, SettingsKey, type, CurDb, value);
}

} // namespace

class TestRegistry : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        qputenv("MOVILIBRO_TEST_DIR", "/srv/libri");
        qunsetenv("MOVILIBRO_UNSET_VAR");
    }
    void init()
    {
        m_dir = std::make_unique<QTemporaryDir>();
        // Not there yet: the store must make it when it writes, and only then.
        m_config = m_dir->filePath(QStringLiteral("config"));
        qputenv("XDG_CONFIG_HOME", QFile::encodeName(m_config));
    }
    void cleanup() { qunsetenv("XDG_CONFIG_HOME"); }

    void roundTrip_data()
    {
        QTest::addColumn<qint32>("writeType");
        QTest::addColumn<QVariant>("value");
        QTest::addColumn<qint32>("storedType");
        QTest::addColumn<QVariant>("expected");
        const QVariant folder(QStringLiteral("/home/anna/Società € 100%"));
        const QByteArray bytes("\x00\x01\xfe\xff", 4);
        QTest::newRow("folder") << REG_SZ << folder << REG_SZ << folder;
        QTest::newRow("variable") << REG_SZ << QVariant("%MOVILIBRO_TEST_DIR%/dati") << REG_EXPAND_SZ
                                  << QVariant("/srv/libri/dati");
        QTest::newRow("unset variable stays") << REG_SZ << QVariant("%MOVILIBRO_UNSET_VAR%/x")
                                              << REG_EXPAND_SZ << QVariant("%MOVILIBRO_UNSET_VAR%/x");
        QTest::newRow("binary") << REG_BINARY << QVariant(bytes) << REG_BINARY << QVariant(bytes);
        QTest::newRow("dword all bits") << REG_DWORD << QVariant(0xFFFFFFFFu) << REG_DWORD << QVariant(-1);
        QTest::newRow("dword float half to even") << REG_DWORD << QVariant(2.5f) << REG_DWORD << QVariant(2);
        QTest::newRow("big-endian type stores a dword")
            << REG_DWORD_BIG_ENDIAN << QVariant(0x01020304) << REG_DWORD << QVariant(0x01020304);
        // Skipped: the key is made, the value is not.
        QTest::newRow("dword from a 64-bit integer") << REG_DWORD << QVariant(qint64(5)) << REG_SZ << Default;
    }
    void roundTrip()
    {
        QFETCH(qint32, writeType);
        QFETCH(QVariant, value);
        QFETCH(qint32, storedType);
        QFETCH(QVariant, expected);
        write(writeType, value);
        QVERIFY(RegistryStore::load().hasKey(HKEY_CURRENT_USER, SettingsKey));
        qint32 type = 0;
        QCOMPARE(readBack(&type), expected);
        QCOMPARE(type, storedType);
    }

    void readingCreatesNothing()
    {
        QCOMPARE(ReadRegistryValue(HKEY_CURRENT_USER, SettingsKey, REG_SZ, CurDb, 7), QVariant(7));
        QVERIFY(!QFileInfo::exists(m_config));
        WriteRegistryValue(HKEY_CURRENT_USER, QStringLiteral("Software\\Marlenco"), REG_SZ, CurDb,
                           QStringLiteral("y"));
        const QByteArray before = readFile(storeFile());
        QCOMPARE(ReadRegistryValue(HKEY_CURRENT_USER, SettingsKey, REG_SZ, CurDb), QVariant());
        QCOMPARE(readFile(storeFile()), before);
        QVERIFY(!RegistryStore::load().hasKey(HKEY_CURRENT_USER,
                                              QStringLiteral("Software\\Marlenco\\Movilibro")));
    }

    void namesIgnoreCaseAndRootsAreSeparate()
    {
        write(REG_SZ, QStringLiteral("first"));
        WriteRegistryValue(HKEY_CURRENT_USER, QStringLiteral("software\\MARLENCO\\movilibro\\settings"),
                           REG_SZ, QStringLiteral("APPSET_CURDB"), QStringLiteral("second"));
        WriteRegistryValue(HKEY_LOCAL_MACHINE, SettingsKey, REG_SZ, CurDb, QStringLiteral("macchina"));
        QCOMPARE(readBack(), QVariant(QStringLiteral("second")));
        QCOMPARE(ReadRegistryValue(HKEY_LOCAL_MACHINE, SettingsKey, REG_SZ, CurDb), QVariant("macchina"));
        QCOMPARE(ReadRegistryValue(HKEY_CLASSES_ROOT, SettingsKey, REG_SZ, CurDb, 0), QVariant(0));
        QCOMPARE(readFile(storeFile()).toLower().count("appset_curdb"), 2); // one value per root
    }

    // Values another program (or a hand edit) left in the store.
    void valuesFromOtherWriters_data()
    {
        QTest::addColumn<QByteArray>("entry");
        QTest::addColumn<qint32>("type");
        QTest::addColumn<QVariant>("expected");
        QTest::newRow("multi-string keeps inner zeros")
            << QByteArray(R"({"type": 7, "data": "uno\u0000due\u0000"})") << REG_MULTI_SZ
            << QVariant(QStringLiteral("uno") + QChar(0) + QStringLiteral("due") + QChar(0));
        QTest::newRow("big-endian dword")
            << QByteArray(R"({"type": 5, "data": 67305985})") << REG_DWORD_BIG_ENDIAN << QVariant(0x01020304);
        QTest::newRow("dword too large")
            << QByteArray(R"({"type": 4, "data": 4294967296})") << REG_SZ << Default;
        QTest::newRow("bad base64") << QByteArray(R"({"type": 3, "data": "!!"})") << REG_SZ << Default;
        QTest::newRow("not an object") << QByteArray(R"("x")") << REG_SZ << Default;
    }
    void valuesFromOtherWriters()
    {
        QFETCH(QByteArray, entry);
        QFETCH(qint32, type);
        QFETCH(QVariant, expected);
        QVERIFY(writeFile(storeFile(),
                          R"({"HKEY_CURRENT_USER": {"keys": {"Software": {"keys": {"Marlenco": {"keys":
            {"Movilibro": {"keys": {"Settings": {"values": {"appset_curdb": )" +
                              entry + "}}}}}}}}}}}"));
        qint32 foundType = 0;
        QCOMPARE(readBack(&foundType), expected);
        QCOMPARE(foundType, type);
    }

    void writeFailures_data()
    {
        QTest::addColumn<QString>("obstacle");
        QTest::addColumn<qint32>("valueType");
        QTest::addColumn<QVariant>("value");
        QTest::addColumn<quint32>("number");
        const QVariant folder(QStringLiteral("/dati"));
        const quint32 store = RegistryError::StoreFailed, write = RegistryError::WriteFailed;
        QTest::newRow("config folder is a file") << "config" << REG_SZ << folder << store;
        QTest::newRow("store file is a folder") << "store" << REG_SZ << folder << store;
        QTest::newRow("multi-string cannot be written") << "" << REG_MULTI_SZ << folder << write;
        QTest::newRow("float beyond 32 bits") << "" << REG_DWORD << QVariant(1e10f) << write;
        QTest::newRow("binary needs bytes") << "" << REG_BINARY << folder << store;
        QTest::newRow("disk full") << "full" << REG_SZ << QVariant(QString(4000, u'n')) << write;
    }
    // A failed write leaves the previous store whole (the file size limit stands for a full disk).
    void writeFailures()
    {
        QFETCH(QString, obstacle);
        QFETCH(qint32, valueType);
        QFETCH(QVariant, value);
        QFETCH(quint32, number);
        write(REG_SZ, QStringLiteral("/vecchia"));
        const QByteArray before = readFile(storeFile());
        if (obstacle == u"config")
            QVERIFY(QFile::remove(storeFile()) && QDir(m_config).removeRecursively() &&
                    writeFile(m_config, "not a folder"));
        if (obstacle == u"store")
            QVERIFY(QFile::remove(storeFile()) && QDir().mkpath(storeFile()));
        rlimit saved{};
        QCOMPARE(getrlimit(RLIMIT_FSIZE, &saved), 0);
        const auto previousHandler = std::signal(SIGXFSZ, SIG_IGN);
        rlimit small = saved;
        small.rlim_cur = rlim_t(before.size());
        if (obstacle == u"full")
            QCOMPARE(setrlimit(RLIMIT_FSIZE, &small), 0);
        quint32 raised = 0;
        try {
            write(valueType, value);
        } catch (const RegistryError& e) {
            raised = e.number();
        }
        setrlimit(RLIMIT_FSIZE, &saved);
        std::signal(SIGXFSZ, previousHandler);
        QCOMPARE(raised, number);
        QCOMPARE(readBack(), obstacle.isEmpty() || obstacle == u"full" ? QVariant("/vecchia") : Default);
        if (obstacle.isEmpty() || obstacle == u"full") {
            QCOMPARE(readFile(storeFile()), before);
            QCOMPARE(QDir(m_config + "/Marlenco").entryList(QDir::Files), QStringList{"registry.json"});
        }
    }

    void damagedFileReadsDefaults_data()
    {
        QTest::addColumn<QByteArray>("contents");
        QTest::addColumn<bool>("keptAside");
        QTest::newRow("cut short") << QByteArray("{\"HKEY_CURRENT_USER\": {\"keys\": {\"Soft") << true;
        QTest::newRow("root of the wrong kind") << QByteArray(R"({"HKEY_CURRENT_USER": 5})") << false;
        QTest::newRow("keys of the wrong kind")
            << QByteArray(R"({"HKEY_CURRENT_USER": {"keys": {"Software": [true]}}})") << false;
    }
    void damagedFileReadsDefaults()
    {
        QFETCH(QByteArray, contents);
        QFETCH(bool, keptAside);
        QVERIFY(writeFile(storeFile(), contents));
        QCOMPARE(readBack(), Default);
        write(REG_SZ, QStringLiteral("/nuova"));
        QCOMPARE(readBack(), QVariant(QStringLiteral("/nuova")));
        QCOMPARE(readFile(storeFile() + QStringLiteral(".damaged")), keptAside ? contents : QByteArray());
    }

private:
    QString storeFile() const { return m_config + QStringLiteral("/Marlenco/registry.json"); }

    std::unique_ptr<QTemporaryDir> m_dir;
    QString m_config;
};

QTEST_GUILESS_MAIN(TestRegistry)
#include "test_registry.moc"
