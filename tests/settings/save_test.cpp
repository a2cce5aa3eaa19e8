// Which file saving writes, and what it writes there.
#include "settings/save.h"

#include <gtest/gtest.h>

#include <map>

#include "settings/settings.h"
#include "support/fake_win_api.h"

namespace orbi {
namespace {

const std::wstring kBeside = L"C:\\Saver\\Orbimotion.ini";
const std::wstring kUserFolder = L"C:\\Users\\me\\AppData\\Roaming\\Orbimotion";
const std::wstring kUser = kUserFolder + L"\\Orbimotion.ini";

Settings Values(int16_t speed, int16_t kind, int16_t repeat, const std::wstring& file) {
    Settings s;
    s.Speed = speed;
    s.BgmKind = kind;
    s.BgmRepeat = repeat;
    s.BgmFile = file;
    return s;
}

enum class Written { Beside, User, Nowhere };

struct PlaceRow {
    const char* name;
    bool userFileExists;
    bool besideWritable;
    bool userWritable;
    bool userFolderFails;
    Written to;
};

class SavePlace : public ::testing::TestWithParam<PlaceRow> {};

TEST_P(SavePlace, KeysGoWholeToOneFileOrNowhere) {
    const PlaceRow& row = GetParam();
    test::FakeWinApi api;
    Program p{api};
    if (row.userFileExists)
        api.ini[kUser][kSection][kKeySpeed] = L" 40";
    if (!row.besideWritable)
        api.unwritableFiles.insert(kBeside);
    if (!row.userWritable)
        api.unwritableFiles.insert(kUser);
    api.createFolderFails = row.userFolderFails;
    const auto before = api.ini;

    const SaveOutcome r = SaveSettings(p, Values(25, 0, 3, L""));

    const std::vector<std::wstring> writes = api.ProfileWrites();
    if (row.to == Written::Nowhere) {
        EXPECT_EQ(r.written, L"");
        // Both files are named when the per-user one was tried in place of the one beside the program.
        EXPECT_EQ(r.refused, row.userFileExists ? kUser : kBeside + L"\n" + kUser);
        EXPECT_TRUE(writes.empty());
        EXPECT_EQ(api.ini, before);
        EXPECT_EQ(api.folders.count(kUserFolder), 0u) << "a refusal leaves no empty per-user folder";
        return;
    }
    const std::wstring& path = row.to == Written::Beside ? kBeside : kUser;
    EXPECT_EQ(r.written, path);
    EXPECT_EQ(r.refused, L"");
    ASSERT_EQ(writes.size(), 4u);
    for (const std::wstring& write : writes)
        EXPECT_EQ(write.substr(write.size() - path.size() - 2), L"," + path + L")");
    // The per-user folder is made only when the per-user file is the one written and was not there yet.
    EXPECT_EQ(api.folders.count(kUserFolder) > 0, row.to == Written::User && !row.userFileExists);
}

INSTANTIATE_TEST_SUITE_P(
    Rows,
    SavePlace,
    ::testing::Values(PlaceRow{"WritableProgramFolder", false, true, true, false, Written::Beside},
                      PlaceRow{"PerUserFilePresent", true, true, true, false, Written::User},
                      PlaceRow{"ProgramFolderReadOnly", false, false, true, false, Written::User},
                      PlaceRow{"PerUserFolderCannotBeMade", false, false, true, true, Written::Nowhere},
                      PlaceRow{"NeitherWritable", false, false, false, false, Written::Nowhere},
                      PlaceRow{"PerUserFilePresentButHeld", true, true, false, false, Written::Nowhere}),
    [](const auto& info) { return std::string(info.param.name); });

// ---- What is written

class SaveTest : public testing::Test {
  protected:
    test::FakeWinApi api;
    Program p{api};
};

// The order of the keys shows in the file's bytes, end to end (dialog_wintest.cpp); here each value's text.
TEST_F(SaveTest, WritesEachValueAsANumberTextOrThePathAsItIs) {
    ASSERT_TRUE(SaveSettings(p, Values(100, 1, -4, L"C:\\Music\\a b.mp3")));
    const std::map<std::wstring, std::wstring> expected = {
        {L"速さ", L" 100"}, {L"BGM区分", L" 1"}, {L"BGMﾘﾋﾟｰﾄ", L"-4"}, {L"BGMﾌｧｲﾙ", L"C:\\Music\\a b.mp3"}};
    EXPECT_EQ(api.ini[kBeside][kSection], expected);
}

TEST_F(SaveTest, ARefusedWriteStopsAndNamesTheFile) {
    api.writesFail = true;
    const SaveOutcome r = SaveSettings(p, Values(10, 0, 3, L""));
    EXPECT_EQ(r.written, L"");
    EXPECT_EQ(r.refused, kBeside);
    EXPECT_EQ(api.ProfileWrites().size(), 1u);
    EXPECT_EQ(p.ApiResult, 0);
}

TEST_F(SaveTest, AFileThatCannotBeWrittenIsFoundBeforeAnyKeyIsWritten) {
    api.writeProbeFails = true;
    const SaveOutcome r = SaveSettings(p, Values(10, 0, 3, L""));
    EXPECT_EQ(r.refused, kBeside + L"\n" + kUser);
    EXPECT_TRUE(api.ProfileWrites().empty());
}

TEST_F(SaveTest, SavingAgainAfterARefusalWritesEverything) {
    api.writesFail = true;
    ASSERT_FALSE(SaveSettings(p, Values(10, 0, 3, L"")));
    api.writesFail = false;
    api.calls.clear();
    EXPECT_EQ(SaveSettings(p, Values(10, 0, 3, L"")).written, kBeside);
    EXPECT_EQ(api.ProfileWrites().size(), 4u);
}

}  // namespace
}  // namespace orbi
