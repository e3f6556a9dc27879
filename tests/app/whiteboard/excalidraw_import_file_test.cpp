#include "whiteboard/editor/excalidraw_import_file.h"

#include "fakes/temporary_directory.h"

#include <QFile>

#include <gtest/gtest.h>

namespace zentrel {
namespace {

QString writeFile(const std::filesystem::path &path, qint64 size)
{
    QFile file(QString::fromStdString(path.string()));
    EXPECT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("{}");
    // Sparse: the size is there without the disk space.
    EXPECT_TRUE(file.resize(size));
    return file.fileName();
}

TEST(ExcalidrawImportFileTest, ReadsUpToSixtyFourMebibytesAndRefusesMore)
{
    TemporaryDirectory folder;
    const auto small = readExcalidrawImportFile(writeFile(folder.path() / "small.excalidraw", 2));
    ASSERT_TRUE(small);
    EXPECT_EQ(*small, QByteArray("{}"));

    const auto limit = readExcalidrawImportFile(
        writeFile(folder.path() / "limit.excalidraw", largestExcalidrawImport));
    ASSERT_TRUE(limit);
    EXPECT_EQ(limit->size(), largestExcalidrawImport);

    const auto large = readExcalidrawImportFile(
        writeFile(folder.path() / "large.excalidraw", largestExcalidrawImport + 1));
    ASSERT_FALSE(large);
    EXPECT_EQ(large.error(), "The file is larger than 64 MiB.");

    EXPECT_FALSE(
        readExcalidrawImportFile(QString::fromStdString((folder.path() / "missing").string())));
}

} // namespace
} // namespace zentrel
