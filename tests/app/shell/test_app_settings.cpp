// The stored settings: defaults, what garbage and out-of-range values read as, a round trip through
// the file, and the manual scanner time read from the Setting page's time field.
#include "pages/setting/manual_time.h"
#include "settings/app_settings.h"

#include <QDir>
#include <QFile>
#include <QSettings>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

using talvo::AppSettings;
using talvo::SettingKind;

class TestAppSettings : public QObject {
    Q_OBJECT

private:
    QTemporaryDir dir_;
    [[nodiscard]] QString iniPath(const char* name) const { return dir_.filePath(QLatin1String(name)); }

    // Writes raw lines of an ini file, as an editor (or a broken disk) would leave it.
    void writeIni(const QString& path, const QByteArray& body) {
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        file.write("[Setting]\n" + body);
    }

private slots:
    void firstStartGivesTheDefaults() {
        QSettings settings(iniPath("none.ini"), QSettings::IniFormat);
        const AppSettings read = AppSettings::load(settings);
        QCOMPARE(read.value(SettingKind::ConnectRetry), 3);
        QCOMPARE(read.value(SettingKind::IconTray), 1);
        QCOMPARE(read.value(SettingKind::TimeStamp), 0);
        QCOMPARE(read.value(SettingKind::RealTime), 1);
        QCOMPARE(read.value(SettingKind::TimeSync), 1);
        QCOMPARE(read.value(SettingKind::Sound), 3);
        QCOMPARE(read.value(SettingKind::TimeStampOfDownData), 1);
        QVERIFY(read == AppSettings{});
    }

    void storedValuesAreCheckedWhenRead_data() {
        QTest::addColumn<QByteArray>("line");
        QTest::addColumn<int>("kind");
        QTest::addColumn<int>("expected");
        QTest::newRow("retry in range") << QByteArray("ConnectRetry=7") << 0 << 7;
        QTest::newRow("retry above 10 is clamped") << QByteArray("ConnectRetry=11") << 0 << 10;
        QTest::newRow("retry below 0 is clamped") << QByteArray("ConnectRetry=-3") << 0 << 0;
        QTest::newRow("retry beyond 32 bits") << QByteArray("ConnectRetry=99999999999") << 0 << 3;
        QTest::newRow("retry text") << QByteArray("ConnectRetry=three") << 0 << 3;
        QTest::newRow("retry fraction") << QByteArray("ConnectRetry=2.5") << 0 << 3;
        QTest::newRow("retry list") << QByteArray("ConnectRetry=1, 2") << 0 << 3;
        QTest::newRow("retry empty") << QByteArray("ConnectRetry=") << 0 << 3;
        QTest::newRow("flag 2 takes the default") << QByteArray("TimeSync=2") << 4 << 1;
        QTest::newRow("flag -1 takes the default") << QByteArray("TimeStamp=-1") << 2 << 0;
        QTest::newRow("flag 0 is kept") << QByteArray("RealTime=0") << 3 << 0;
        QTest::newRow("sound keeps any number") << QByteArray("Sound=-12345") << 5 << -12345;
        QTest::newRow("sound garbage") << QByteArray("Sound=\"loud\"") << 5 << 3;
        QTest::newRow("binary noise") << QByteArray("TimeStampOfDownData=\x01\xff\xfe") << 6 << 1;
    }
    void storedValuesAreCheckedWhenRead() {
        QFETCH(QByteArray, line);
        QFETCH(int, kind);
        QFETCH(int, expected);
        // A file per row: QSettings keeps parsed files and may not see a rewrite of the same size.
        const QString path = dir_.filePath(QString::fromLatin1(QTest::currentDataTag()) + QStringLiteral(".ini"));
        writeIni(path, line + "\n");
        QSettings settings(path, QSettings::IniFormat);
        QCOMPARE(AppSettings::load(settings).value(static_cast<SettingKind>(kind)), expected);
    }

    void anUnreadableFileGivesTheDefaults() {
        // A folder where the file should be cannot be read as settings (nor written).
        const QString path = iniPath("folder.ini");
        QVERIFY(QDir().mkpath(path));
        QSettings settings(path, QSettings::IniFormat);
        QVERIFY(AppSettings::load(settings) == AppSettings{});
        AppSettings changed;
        changed.setValue(SettingKind::ConnectRetry, 5);
        QVERIFY(!changed.save(settings));
    }

    void valuesSurviveAWriteAndARead() {
        const QString path = iniPath("roundtrip.ini");
        AppSettings written;
        written.setValue(SettingKind::ConnectRetry, 0);
        written.setValue(SettingKind::RealTime, 0);
        written.setValue(SettingKind::TimeSync, 0);
        written.setValue(SettingKind::Sound, 42);
        {
            QSettings settings(path, QSettings::IniFormat);
            QVERIFY(written.save(settings));
        }
        QSettings again(path, QSettings::IniFormat);
        QVERIFY(AppSettings::load(again) == written);
        QCOMPARE(again.value(QStringLiteral("Setting/ConnectRetry")).toInt(), 0);
    }

    void theWorkingCopyTakesAndGivesAllSeven() {
        AppSettings values;
        values.setValue(SettingKind::ConnectRetry, 9);
        values.setValue(SettingKind::TimeSync, 0);
        talvo::SharedSettings shared(values);
        QCOMPARE(shared.connectRetry(), 9);
        QCOMPARE(shared.timeSync(), false);
        shared.setValue(SettingKind::TimeSync, 1);
        QVERIFY(shared.timeSync());
        QCOMPARE(shared.snapshot().value(SettingKind::ConnectRetry), 9);
    }

    void manualTimeReadsFourteenDigits() {
        const QDateTime now(QDate(2024, 5, 15), QTime(8, 9, 10));  // a Wednesday
        const talvo::ScannerTimeBytes time = talvo::manualScannerTime(QStringLiteral("20091231235959"), now);
        // 31 December 2009, 23:59:59, with the day of the week of the local time, not of the date typed.
        const talvo::ScannerTimeBytes expected{109, 11, 31, 23, 59, 59, 3};
        QCOMPARE(time, expected);
    }

    void manualTimeFallsBackToTheLocalTime_data() {
        QTest::addColumn<QString>("text");
        QTest::newRow("13 digits") << QStringLiteral("2009123123595");
        QTest::newRow("15 digits") << QStringLiteral("200912312359590");
        QTest::newRow("empty") << QString();
        QTest::newRow("letters") << QStringLiteral("2009123123595x");
        QTest::newRow("spaces") << QStringLiteral("2009 231235959");
        QTest::newRow("sign") << QStringLiteral("+009123123595");
        QTest::newRow("other digits") << QStringLiteral("٢٠٠٩١٢٣١٢٣٥٩٥٩");
    }
    void manualTimeFallsBackToTheLocalTime() {
        QFETCH(QString, text);
        const QDateTime now(QDate(2026, 12, 6), QTime(23, 0, 1));  // a Sunday
        const talvo::ScannerTimeBytes expected{126, 11, 6, 23, 0, 1, 0};
        QCOMPARE(talvo::manualScannerTime(text, now), expected);
    }

    void manualTimeDigitsAreNotCheckedForADate() {
        // Out-of-range fields go to the scanner as typed (it refuses them); the year wraps at 256.
        const QDateTime now(QDate(2024, 5, 18), QTime(0, 0));  // a Saturday
        const talvo::ScannerTimeBytes expected{144, 255, 0, 99, 99, 99, 6};
        QCOMPARE(talvo::manualScannerTime(QStringLiteral("23000000999999"), now), expected);
    }

    void fourteenDigitFormat() {
        QCOMPARE(talvo::fourteenDigitTime(QDateTime(QDate(2010, 3, 5), QTime(14, 7, 9))),
                 QStringLiteral("20100305140709"));
    }
};

QTEST_GUILESS_MAIN(TestAppSettings)
#include "test_app_settings.moc"
