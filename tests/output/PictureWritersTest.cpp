// The picture writers module as a program finds and loads it.

#include "output/PictureWriters.h"
#include "support/TempDir.h"

#include <QCoreApplication>
#include <QDir>
#include <gtest/gtest.h>

using kavra::PictureWritersModule;

TEST(PictureWriters, AreLoadedFromTheFirstFolderHoldingThemOrRefusedWithTheReason)
{
    TempDir empty, garbage;
    garbage.write("kavra-picture-writers.so", "not a shared object");
    const QString emptyPath = QString::fromStdString(empty.path());
    const QString garbagePath = QString::fromStdString(garbage.path());
    const QString program = QCoreApplication::applicationDirPath();
    const QString other = QStringLiteral(KAVRA_OTHER_WRITERS_DIR);
    const struct {
        QStringList folders;
        QString error;  // empty: loaded
    } cases[] = {
        {{emptyPath, program}, {}},
        {{program, other}, {}},
        {{emptyPath}, "Kavra's picture writers (kavra-picture-writers.so) were not found in " + emptyPath},
        {{emptyPath, emptyPath + "/lib"},
         "Kavra's picture writers (kavra-picture-writers.so) were not found in " + emptyPath + " or " + emptyPath +
             "/lib"},
        {{garbagePath, program}, "Kavra's picture writers could not be loaded: " + garbagePath},
        {{other, program},
         other + "/kavra-picture-writers.so belongs to Kavra 0.9.0, not to this Kavra " KAVRA_VERSION_TEXT},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.folders.join(' ').toStdString());
        const PictureWritersModule module(c.folders);
        if (c.error.isEmpty()) {
            ASSERT_TRUE(module.writers()) << module.error().toStdString();
            EXPECT_STREQ(module.writers()->version, KAVRA_VERSION_TEXT);
        } else {
            EXPECT_FALSE(module.writers());
            EXPECT_TRUE(module.error().startsWith(c.error)) << module.error().toStdString();
        }
    }
}

TEST(PictureWriters, TheProgramsFolderComesBeforeTheInstalledOne)
{
    const QStringList folders = kavra::pictureWritersFolders();
    ASSERT_EQ(folders.size(), 2);
    EXPECT_EQ(folders[0], QCoreApplication::applicationDirPath());
    EXPECT_TRUE(folders[1].endsWith(QStringLiteral("/kavra"))) << folders[1].toStdString();
}
