// Files put in place whole (demos): the old file stays whole until the new one is committed,
// nothing is left beside it either way, and a place that cannot be written is refused with a
// reason. Built for Windows too, where the replacing is MoveFileEx's rather than rename's.
#include "platform/CReplacingFile.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <set>
#include <string>
#include <vector>

namespace {

std::set<std::string> FilesIn(const std::string& folder) {
    std::set<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(folder))
        names.insert(entry.path().filename().string());
    return names;
}

std::vector<unsigned char> Text(const char* text) { return {text, text + std::strlen(text)}; }

void Put(CReplacingFile& file, const char* text) {
    ASSERT_EQ(std::fwrite(text, 1, std::strlen(text), file.Stream()), std::strlen(text));
}

}  // namespace

TEST(ReplacingFile, CommitReplacesTheOldFileWholeAndLeavesNothingBeside) {
    TempDir dir;
    const std::string target = dir.Write("run.pqdemo", Text("old bytes"));
    CReplacingFile file;
    std::string error;
    ASSERT_TRUE(file.Open(target, &error)) << error;
    Put(file, "the new, longer bytes");
    EXPECT_EQ(ReadFileBytes(target), Text("old bytes")) << "replaced before the commit";
    EXPECT_EQ(FilesIn(dir.path).size(), 2u) << "written beside its place";
    ASSERT_TRUE(file.Commit(&error)) << error;
    EXPECT_EQ(ReadFileBytes(target), Text("the new, longer bytes"));
    EXPECT_EQ(FilesIn(dir.path), std::set<std::string>{"run.pqdemo"});
    EXPECT_FALSE(file.Commit(&error)) << "committed twice";
}

TEST(ReplacingFile, AbandonedOrDroppedTheOldFileStaysAndNoTemporaryIsLeft) {
    TempDir dir;
    const std::string target = dir.Write("run.pqdemo", Text("old bytes"));
    std::string error;
    {
        CReplacingFile file;
        ASSERT_TRUE(file.Open(target, &error)) << error;
        Put(file, "never committed");
        file.Abandon();
        EXPECT_EQ(file.Stream(), nullptr);
        ASSERT_TRUE(file.Open(target, &error)) << error;
        Put(file, "dropped with its object");
    }
    EXPECT_EQ(ReadFileBytes(target), Text("old bytes"));
    EXPECT_EQ(FilesIn(dir.path), std::set<std::string>{"run.pqdemo"});
}

TEST(ReplacingFile, AFolderThatIsNotThereIsRefusedWithAReason) {
    TempDir dir;
    CReplacingFile file;
    std::string error;
    EXPECT_FALSE(file.Open(dir.File("missing/run.pqdemo"), &error));
    EXPECT_NE(error.find("cannot be written"), std::string::npos) << error;
    EXPECT_EQ(file.Stream(), nullptr);
    error.clear();
    EXPECT_FALSE(file.Commit(&error));
    EXPECT_FALSE(error.empty());
    EXPECT_TRUE(FilesIn(dir.path).empty());
}
