#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QSettings>

#include "platform/folders_qt.h"
#include "platform/qt_settings_store.h"
#include "support/temp_dir.h"

using namespace wexon;

TEST(QtSettingsStore, KeysLiveInTheSettingsGroupAndSurviveAReopen) {
    test::TempDir dir;
    const QString ini = QString::fromStdString(dir.file("TARNO_Software.ini"));
    {
        platform::QtSettingsStore store(ini);
        EXPECT_EQ(store.read("UserVemoOption", "0"), "0");
        store.write("UserVemoOption", "1");
        store.write("UserCallSign", "DL\xe9X"); // an 8-bit character survives
    }
    platform::QtSettingsStore again(ini);
    EXPECT_EQ(again.read("UserVemoOption", "0"), "1");
    EXPECT_EQ(again.read("UserCallSign", ""), "DL\xe9X");
    QSettings raw(ini, QSettings::IniFormat);
    EXPECT_EQ(raw.value("Settings/UserVemoOption").toString(), "1");
}

TEST(DocumentsFolder, IsMadeUnderTheHomeFolderWhenMissing) {
    test::TempDir dir;
    const QByteArray oldHome = qgetenv("HOME");
    const QByteArray oldConfig = qgetenv("XDG_CONFIG_HOME");
    qputenv("HOME", QByteArray::fromStdString(dir.path()));
    qputenv("XDG_CONFIG_HOME", QByteArray::fromStdString(dir.file("config")));
    QString docs = platform::documentsFolder();
    qputenv("HOME", oldHome);
    if (oldConfig.isEmpty()) {
        qunsetenv("XDG_CONFIG_HOME");
    } else {
        qputenv("XDG_CONFIG_HOME", oldConfig);
    }
    EXPECT_EQ(docs, QString::fromStdString(dir.file("Documents")));
    EXPECT_TRUE(QDir(docs).exists());
}
