#include "settings/registrystore.h"
#include "settings/registrywrappers.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#ifdef Q_OS_UNIX
#include <csignal>
#include <sys/resource.h>
#endif

using namespace movilibro;

namespace {

const QString SettingsKey = QStringLiteral("Software\\Marlenco\\Movilibro\\Settings");
const QString CurDb = QStringLiteral("appset_curdb");
const QString StandardDescription = QStringLiteral(
    "Failed to set registry value Key: '-2147483647',Section: 'Software\\Marlenco\\Movilibro\\Settings',"
    "Key: 'appset_curdb' to value: ''");

enum class Obstacle
{
    None,
    ConfigIsFile,
    StoreIsFolder
};

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

} // namespace

Q_DECLARE_METATYPE(Obstacle)

class TestRegistry : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();

    void roundTrip_data();
    void roundTrip();
    void dwordSkipsOtherKinds_data();
    void dwordSkipsOtherKinds();
    void readingMissingCreatesNothing();
    void writeCreatesKeyPath();
    void namesIgnoreCase();
    void rootsAreSeparate();
    void valuesFromOtherWriters_data();
    void valuesFromOtherWriters();
    void writeFailures_data();
    void writeFailures();
    void descriptionNamesPreviousValue();
    void failedWriteKeepsOldFile();
    void damagedFileReadsDefaults_data();
    void damagedFileReadsDefaults();

private:
    QString storeFile() const { return m_config + QStringLiteral("/Marlenco/registry.json"); }
    QVariant readBack(qint32* type = nullptr) const;

    std::unique_ptr<QTemporaryDir> m_dir;
    QString m_config;
};

void TestRegistry::initTestCase()
{
    qputenv("MOVILIBRO_TEST_DIR", "/srv/libri");
    qunsetenv("MOVILIBRO_UNSET_VAR");
}

void TestRegistry::init()
{
    m_dir = std::make_unique<QTemporaryDir>();
    QVERIFY(m_dir->isValid());
    // Not there yet: the store must make it when it writes, and only then.
    m_config = m_dir->filePath(QStringLiteral("config"));
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(m_config));
}

void TestRegistry::cleanup()
{
    qunsetenv("XDG_CONFIG_HOME");
    m_dir.reset();
}

QVariant TestRegistry::readBack(qint32* type) const
{
    comRegistry registry;
    registry.setClassKey(HKEY_CURRENT_USER);
    registry.setSectionKey(SettingsKey);
    registry.setValueKey(CurDb);
    registry.setValueType(REG_SZ);
    registry.setDefault(QStringLiteral("default"));
    const QVariant value = registry.Value();
    if (type)
        *type = registry.ValueType();
    return value;
}

void TestRegistry::roundTrip_data()
{
    QTest::addColumn<qint32>("writeType");
    QTest::addColumn<QVariant>("value");
    QTest::addColumn<qint32>("storedType");
    QTest::addColumn<QVariant>("expected");

    const QString folder = QStringLiteral("/home/anna/Documenti/MovilibroDB");
    QTest::newRow("folder") << REG_SZ << QVariant(folder) << REG_SZ << QVariant(folder);
    const QString accented = QStringLiteral("/home/anna/Società € 2010");
    QTest::newRow("accented folder") << REG_SZ << QVariant(accented) << REG_SZ << QVariant(accented);
    QTest::newRow("empty text") << REG_SZ << QVariant(QString()) << REG_SZ << QVariant(QString());
    QTest::newRow("single percent") << REG_SZ << QVariant("/dati/100%") << REG_SZ << QVariant("/dati/100%");
    QTest::newRow("adjacent percents") << REG_SZ << QVariant("a%%b") << REG_SZ << QVariant("a%%b");
    QTest::newRow("expand type, nothing to expand")
        << REG_EXPAND_SZ << QVariant("/plain") << REG_SZ << QVariant("/plain");
    QTest::newRow("number as text") << REG_SZ << QVariant(42) << REG_SZ << QVariant("42");
    QTest::newRow("variable") << REG_SZ << QVariant("%MOVILIBRO_TEST_DIR%/dati") << REG_EXPAND_SZ
                              << QVariant("/srv/libri/dati");
    QTest::newRow("home") << REG_SZ << QVariant("%HOME%/MovilibroDB") << REG_EXPAND_SZ
                          << QVariant(qEnvironmentVariable("HOME") + QStringLiteral("/MovilibroDB"));
    QTest::newRow("two variables") << REG_EXPAND_SZ << QVariant("%MOVILIBRO_TEST_DIR%-%MOVILIBRO_TEST_DIR%")
                                   << REG_EXPAND_SZ << QVariant("/srv/libri-/srv/libri");
    QTest::newRow("unset variable stays") << REG_SZ << QVariant("%MOVILIBRO_UNSET_VAR%/x") << REG_EXPAND_SZ
                                          << QVariant("%MOVILIBRO_UNSET_VAR%/x");
    QTest::newRow("percents two apart") << REG_SZ << QVariant("%a%") << REG_EXPAND_SZ << QVariant("%a%");
    const QByteArray bytes("\x00\x01\xfe\xff", 4);
    QTest::newRow("binary") << REG_BINARY << QVariant(bytes) << REG_BINARY << QVariant(bytes);
    QTest::newRow("empty binary") << REG_BINARY << QVariant(QByteArray()) << REG_BINARY
                                  << QVariant(QByteArray());
    QTest::newRow("dword") << REG_DWORD << QVariant(123456) << REG_DWORD << QVariant(123456);
    QTest::newRow("dword negative") << REG_DWORD << QVariant(-5) << REG_DWORD << QVariant(-5);
    QTest::newRow("dword short") << REG_DWORD << QVariant::fromValue(qint16(-7)) << REG_DWORD << QVariant(-7);
    QTest::newRow("dword unsigned short")
        << REG_DWORD << QVariant::fromValue(quint16(65535)) << REG_DWORD << QVariant(65535);
    QTest::newRow("dword all bits") << REG_DWORD << QVariant(0xFFFFFFFFu) << REG_DWORD << QVariant(-1);
    QTest::newRow("dword float half to even") << REG_DWORD << QVariant(2.5f) << REG_DWORD << QVariant(2);
    QTest::newRow("dword float half up to even") << REG_DWORD << QVariant(3.5f) << REG_DWORD << QVariant(4);
    QTest::newRow("big-endian type stores a dword")
        << REG_DWORD_BIG_ENDIAN << QVariant(0x01020304) << REG_DWORD << QVariant(0x01020304);
}

void TestRegistry::roundTrip()
{
    QFETCH(qint32, writeType);
    QFETCH(QVariant, value);
    QFETCH(qint32, storedType);
    QFETCH(QVariant, expected);

    WriteRegistryValue(HKEY_CURRENT_USER, SettingsKey, writeType, CurDb, value);
    QVERIFY(QFile::exists(storeFile()));

    qint32 type = 0;
    const QVariant back = readBack(&type);
    QCOMPARE(type, storedType);
    QCOMPARE(back, expected);
}

void TestRegistry::dwordSkipsOtherKinds_data()
{
    QTest::addColumn<QVariant>("value");

    QTest::newRow("64-bit integer") << QVariant(qint64(5));
    QTest::newRow("double") << QVariant(2.0);
    QTest::newRow("text") << QVariant(QStringLiteral("12"));
    QTest::newRow("boolean") << QVariant(true);
    QTest::newRow("byte") << QVariant::fromValue(quint8(1));
}

void TestRegistry::dwordSkipsOtherKinds()
{
    QFETCH(QVariant, value);

    WriteRegistryValue(HKEY_CURRENT_USER, SettingsKey, REG_DWORD, CurDb, value);

    QCOMPARE(readBack(), QVariant(QStringLiteral("default")));
    // The key is made before the value is looked at.
    QVERIFY(RegistryStore::load().hasKey(HKEY_CURRENT_USER, SettingsKey));
}

void TestRegistry::readingMissingCreatesNothing()
{
    QCOMPARE(ReadRegistryValue(HKEY_CURRENT_USER, SettingsKey, REG_SZ, CurDb, QStringLiteral("/def")),
             QVariant(QStringLiteral("/def")));
    QCOMPARE(ReadRegistryValue(HKEY_CURRENT_USER, SettingsKey, REG_SZ, CurDb), QVariant());
    QVERIFY(!QFileInfo::exists(m_config));

    // A store holding other keys only.
    WriteRegistryValue(HKEY_CURRENT_USER, QStringLiteral("Software\\Marlenco"), REG_SZ, QStringLiteral("x"),
                       QStringLiteral("y"));
    const QByteArray before = readFile(storeFile());
    QCOMPARE(ReadRegistryValue(HKEY_CURRENT_USER, SettingsKey, REG_SZ, CurDb, 7), QVariant(7));
    QCOMPARE(ReadRegistryValue(HKEY_CURRENT_USER, QStringLiteral("Software\\Marlenco"), REG_SZ, CurDb, 8),
             QVariant(8));
    QCOMPARE(readFile(storeFile()), before);
    QVERIFY(
        !RegistryStore::load().hasKey(HKEY_CURRENT_USER, QStringLiteral("Software\\Marlenco\\Movilibro")));
}

void TestRegistry::writeCreatesKeyPath()
{
    WriteRegistryValue(HKEY_CURRENT_USER, SettingsKey, REG_SZ, CurDb, QStringLiteral("/dati"));

    const RegistryStore store = RegistryStore::load();
    for (const char* key : {"Software", "Software\\Marlenco", "Software\\Marlenco\\Movilibro",
                            "Software\\Marlenco\\Movilibro\\Settings"})
        QVERIFY2(store.hasKey(HKEY_CURRENT_USER, QString::fromLatin1(key)), key);
    QVERIFY(!store.hasKey(HKEY_CURRENT_USER, QStringLiteral("Software\\Altro")));
}

void TestRegistry::namesIgnoreCase()
{
    WriteRegistryValue(HKEY_CURRENT_USER, SettingsKey, REG_SZ, CurDb, QStringLiteral("first"));
    WriteRegistryValue(HKEY_CURRENT_USER, QStringLiteral("software\\MARLENCO\\movilibro\\settings"), REG_SZ,
                       QStringLiteral("APPSET_CURDB"), QStringLiteral("second"));

    QCOMPARE(ReadRegistryValue(HKEY_CURRENT_USER, QStringLiteral("SOFTWARE\\marlenco\\Movilibro\\Settings"),
                               REG_SZ, QStringLiteral("AppSet_CurDb")),
             QVariant(QStringLiteral("second")));
    // One value and one key path, spelt as first written.
    const QByteArray contents = readFile(storeFile());
    QCOMPARE(contents.count("appset_curdb"), 1);
    QCOMPARE(contents.toLower().count("appset_curdb"), 1);
    QCOMPARE(contents.toLower().count("\"marlenco\""), 1);
}

void TestRegistry::rootsAreSeparate()
{
    WriteRegistryValue(HKEY_CURRENT_USER, SettingsKey, REG_SZ, CurDb, QStringLiteral("utente"));
    WriteRegistryValue(HKEY_LOCAL_MACHINE, SettingsKey, REG_SZ, CurDb, QStringLiteral("macchina"));

    QCOMPARE(readBack(), QVariant(QStringLiteral("utente")));
    QCOMPARE(ReadRegistryValue(HKEY_LOCAL_MACHINE, SettingsKey, REG_SZ, CurDb),
             QVariant(QStringLiteral("macchina")));
    QCOMPARE(ReadRegistryValue(HKEY_CLASSES_ROOT, SettingsKey, REG_SZ, CurDb, 0), QVariant(0));
}

// Values another program (or a hand edit) left in the store, as the file keeps them.
void TestRegistry::valuesFromOtherWriters_data()
{
    QTest::addColumn<QByteArray>("entry");
    QTest::addColumn<qint32>("type");
    QTest::addColumn<QVariant>("expected");

    const qint32 unchanged = REG_SZ;
    QTest::newRow("multi-string keeps inner zeros")
        << QByteArray(R"({"type": 7, "data": "uno\u0000due\u0000"})") << REG_MULTI_SZ
        << QVariant(QStringLiteral("uno") + QChar(0) + QStringLiteral("due") + QChar(0));
    QTest::newRow("big-endian dword")
        << QByteArray(R"({"type": 5, "data": 67305985})") << REG_DWORD_BIG_ENDIAN << QVariant(0x01020304);
    QTest::newRow("dword stored unsigned")
        << QByteArray(R"({"type": 4, "data": 4294967294})") << REG_DWORD << QVariant(-2);
    QTest::newRow("expand string") << QByteArray(R"({"type": 2, "data": "%MOVILIBRO_TEST_DIR%"})")
                                   << REG_EXPAND_SZ << QVariant(QStringLiteral("/srv/libri"));
    QTest::newRow("no type") << QByteArray(R"({"type": 0, "data": "AAE="})") << 0
                             << QVariant(QByteArray("\x00\x01", 2));
    QTest::newRow("quad word as bytes") << QByteArray(R"({"type": 11, "data": "AQAAAAAAAAA="})") << 11
                                        << QVariant(QByteArray("\x01\0\0\0\0\0\0\0", 8));
    QTest::newRow("text with a number")
        << QByteArray(R"({"type": 1, "data": 5})") << unchanged << QVariant(QStringLiteral("default"));
    QTest::newRow("dword with text") << QByteArray(R"({"type": 4, "data": "5"})") << unchanged
                                     << QVariant(QStringLiteral("default"));
    QTest::newRow("dword with fraction")
        << QByteArray(R"({"type": 4, "data": 1.5})") << unchanged << QVariant(QStringLiteral("default"));
    QTest::newRow("dword too large") << QByteArray(R"({"type": 4, "data": 4294967296})") << unchanged
                                     << QVariant(QStringLiteral("default"));
    QTest::newRow("bad base64") << QByteArray(R"({"type": 3, "data": "!!"})") << unchanged
                                << QVariant(QStringLiteral("default"));
    QTest::newRow("missing type") << QByteArray(R"({"data": "x"})") << unchanged
                                  << QVariant(QStringLiteral("default"));
    QTest::newRow("not an object") << QByteArray(R"("x")") << unchanged
                                   << QVariant(QStringLiteral("default"));
}

void TestRegistry::valuesFromOtherWriters()
{
    QFETCH(QByteArray, entry);
    QFETCH(qint32, type);
    QFETCH(QVariant, expected);

    const QByteArray contents =
        R"({"HKEY_CURRENT_USER": {"keys": {"Software": {"keys": {"Marlenco": {"keys": {
        "Movilibro": {"keys": {"Settings": {"values": {"appset_curdb": )" +
        entry + "}}}}}}}}}}}";
    QVERIFY(writeFile(storeFile(), contents));

    qint32 foundType = 0;
    QCOMPARE(readBack(&foundType), expected);
    QCOMPARE(foundType, type);
}

void TestRegistry::writeFailures_data()
{
    QTest::addColumn<Obstacle>("obstacle");
    QTest::addColumn<qint32>("valueType");
    QTest::addColumn<QVariant>("value");
    QTest::addColumn<quint32>("number");
    QTest::addColumn<QString>("description");

    const QVariant folder(QStringLiteral("/dati"));
    QTest::newRow("config folder is a file")
        << Obstacle::ConfigIsFile << REG_SZ << folder << RegistryError::StoreFailed << StandardDescription;
    QTest::newRow("store file is a folder")
        << Obstacle::StoreIsFolder << REG_SZ << folder << RegistryError::StoreFailed << StandardDescription;
    QTest::newRow("multi-string cannot be written")
        << Obstacle::None << REG_MULTI_SZ << folder << RegistryError::WriteFailed << StandardDescription;
    QTest::newRow("no type cannot be written")
        << Obstacle::None << qint32(0) << folder << RegistryError::WriteFailed << StandardDescription;
    QTest::newRow("float beyond 32 bits") << Obstacle::None << REG_DWORD << QVariant(1e10f)
                                          << RegistryError::WriteFailed << StandardDescription;
    QTest::newRow("binary needs bytes")
        << Obstacle::None << REG_BINARY << folder << RegistryError::StoreFailed << QString();
}

void TestRegistry::writeFailures()
{
    QFETCH(Obstacle, obstacle);
    QFETCH(qint32, valueType);
    QFETCH(QVariant, value);
    QFETCH(quint32, number);
    QFETCH(QString, description);

    if (obstacle == Obstacle::ConfigIsFile)
        QVERIFY(writeFile(m_config, "not a folder"));
    if (obstacle == Obstacle::StoreIsFolder)
        QVERIFY(QDir().mkpath(storeFile()));

    try {
        WriteRegistryValue(HKEY_CURRENT_USER, SettingsKey, valueType, CurDb, value);
        QFAIL("no error raised");
    } catch (const RegistryError& e) {
        QCOMPARE(e.number(), number);
        QCOMPARE(e.source(), QStringLiteral("test_registry.comRegistry"));
        QCOMPARE(e.description(), description);
    }
    QCOMPARE(readBack(), QVariant(QStringLiteral("default")));
}

void TestRegistry::descriptionNamesPreviousValue()
{
    comRegistry registry;
    registry.setClassKey(HKEY_CURRENT_USER);
    registry.setSectionKey(SettingsKey);
    registry.setValueKey(CurDb);
    registry.setValueType(REG_SZ);
    registry.setValue(QStringLiteral("/primo"));

    QVERIFY(writeFile(m_dir->filePath(QStringLiteral("blocked")), "file"));
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(m_dir->filePath(QStringLiteral("blocked"))));
    try {
        registry.setValue(QStringLiteral("/secondo"));
        QFAIL("no error raised");
    } catch (const RegistryError& e) {
        QCOMPARE(e.number(), RegistryError::StoreFailed);
        QCOMPARE(e.description(),
                 QStringLiteral("Failed to set registry value Key: '-2147483647',Section: "
                                "'Software\\Marlenco\\Movilibro\\Settings',Key: 'appset_curdb' "
                                "to value: '/primo'"));
    }
}

// A write that fails halfway (here: the file size limit stops it) leaves the
// previous store whole.
void TestRegistry::failedWriteKeepsOldFile()
{
#ifdef Q_OS_UNIX
    WriteRegistryValue(HKEY_CURRENT_USER, SettingsKey, REG_SZ, CurDb, QStringLiteral("/vecchia"));
    const QByteArray before = readFile(storeFile());

    rlimit saved{};
    QCOMPARE(getrlimit(RLIMIT_FSIZE, &saved), 0);
    const auto previousHandler = std::signal(SIGXFSZ, SIG_IGN);
    rlimit small = saved;
    small.rlim_cur = rlim_t(before.size());
    QCOMPARE(setrlimit(RLIMIT_FSIZE, &small), 0);
    quint32 number = 0;
    try {
        WriteRegistryValue(HKEY_CURRENT_USER, SettingsKey, REG_SZ, CurDb, QString(4000, u'n'));
    } catch (const RegistryError& e) {
        number = e.number();
    }
    setrlimit(RLIMIT_FSIZE, &saved);
    std::signal(SIGXFSZ, previousHandler);

    QCOMPARE(number, RegistryError::WriteFailed);
    QCOMPARE(readFile(storeFile()), before);
    QCOMPARE(readBack(), QVariant(QStringLiteral("/vecchia")));
    QCOMPARE(QDir(QFileInfo(storeFile()).absolutePath()).entryList(QDir::Files),
             QStringList{"registry.json"});
#else
    QSKIP("needs a file size limit");
#endif
}

void TestRegistry::damagedFileReadsDefaults_data()
{
    QTest::addColumn<QByteArray>("contents");
    QTest::addColumn<bool>("keptAside");

    QTest::newRow("cut short") << QByteArray(R"({"HKEY_CURRENT_USER": {"keys": {"Soft)") << true;
    QTest::newRow("empty file") << QByteArray() << true;
    QTest::newRow("binary junk") << QByteArray("\x00\xff\x13\x37garbage", 11) << true;
    QTest::newRow("array") << QByteArray("[1, 2]") << true;
    QTest::newRow("root of the wrong kind") << QByteArray(R"({"HKEY_CURRENT_USER": 5})") << false;
    QTest::newRow("keys of the wrong kind")
        << QByteArray(R"({"HKEY_CURRENT_USER": {"keys": {"Software": [true]}}})") << false;
}

void TestRegistry::damagedFileReadsDefaults()
{
    QFETCH(QByteArray, contents);
    QFETCH(bool, keptAside);

    QVERIFY(writeFile(storeFile(), contents));
    QCOMPARE(readBack(), QVariant(QStringLiteral("default")));

    WriteRegistryValue(HKEY_CURRENT_USER, SettingsKey, REG_SZ, CurDb, QStringLiteral("/nuova"));
    QCOMPARE(readBack(), QVariant(QStringLiteral("/nuova")));
    const QString aside = storeFile() + QStringLiteral(".damaged");
    QCOMPARE(QFileInfo::exists(aside), keptAside);
    if (keptAside)
        QCOMPARE(readFile(aside), contents);
}

QTEST_GUILESS_MAIN(TestRegistry)
#include "test_registry.moc"
