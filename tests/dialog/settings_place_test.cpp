// Which file saving writes, and which music path the picker leaves in the settings.
#include <gtest/gtest.h>

#include "dialog/dialog_logic.h"
#include "settings/settings.h"
#include "support/fake_win_api.h"

namespace orbi {
namespace {

const std::wstring kBeside = L"C:\\Saver\\Orbimotion.ini";
const std::wstring kUserFolder = L"C:\\Users\\me\\AppData\\Roaming\\Orbimotion";
const std::wstring kUser = kUserFolder + L"\\Orbimotion.ini";

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

    const SaveResult r = SaveSettings(p, 25, L"3");

    const std::vector<std::wstring> writes = api.CallsStartingWith(L"WritePrivateProfileStringA");
    if (row.to == Written::Nowhere) {
        EXPECT_EQ(r.outcome, SaveOutcome::WriteRefused);
        EXPECT_NE(r.message.find(L"保存できませんでした"), std::wstring::npos);
        EXPECT_TRUE(writes.empty());
        EXPECT_EQ(api.ini, before);
        EXPECT_EQ(api.folders.count(kUserFolder), 0u) << "a refusal leaves no empty per-user folder";
        return;
    }
    const std::wstring& path = row.to == Written::Beside ? kBeside : kUser;
    EXPECT_EQ(r.outcome, SaveOutcome::Saved);
    EXPECT_TRUE(r.message.empty()) << "the dialog closes without a word";
    ASSERT_EQ(writes.size(), 4u);
    EXPECT_EQ(writes[0], L"WritePrivateProfileStringA(Section,速さ, 25," + path + L")");
    EXPECT_EQ(writes[3], L"WritePrivateProfileStringA(Section,BGMﾌｧｲﾙ,," + path + L")");
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

// ---- The picked path

struct PickRow {
    const char* name;
    std::wstring chosen;
    std::wstring shortName;  // empty: the file has none
    std::wstring stored;     // empty: BgmFile stays as it was
    bool refused;            // with a message
};

class PickedPath : public ::testing::TestWithParam<PickRow> {};

TEST_P(PickedPath, IsStoredAsTheCodePageCarriesIt) {
    const PickRow& row = GetParam();
    test::FakeWinApi api;
    Program p{api};
    p.settings.BgmFile = L"C:\\old.wav";
    p.settings.BgmFolder = L"C:\\Saver";
    api.openFileResult = 1;
    api.openFilePath = row.chosen;
    if (!row.shortName.empty())
        api.shortNames[row.chosen] = row.shortName;

    const PickResult r = PickMusicFile(p, 0x50, 0x400000);

    EXPECT_EQ(r.picked, !row.stored.empty());
    EXPECT_EQ(p.settings.BgmFile, row.stored.empty() ? L"C:\\old.wav" : row.stored);
    EXPECT_EQ(r.refusal.empty(), !row.refused) << std::string(r.refusal.begin(), r.refusal.end());
    if (row.refused) {
        EXPECT_NE(r.refusal.find(L"ファイル名は使用できません"), std::wstring::npos);
    }
    if (row.stored.empty()) {
        EXPECT_EQ(p.settings.BgmFolder, L"C:\\Saver");
    }
}

// 3 + 247 + 4 = 254 bytes fit the 255-byte buffer with their NUL; one more does not.
const std::wstring kLong254 = L"C:\\" + std::wstring(247, L'A') + L".WAV";
const std::wstring kLong255 = L"C:\\" + std::wstring(248, L'A') + L".WAV";

INSTANTIATE_TEST_SUITE_P(
    Rows,
    PickedPath,
    ::testing::Values(PickRow{"JapaneseNameAsChosen", L"C:\\音楽\\曲 ﾃｽﾄ.wav", L"C:\\9A1E~1\\4B2F~1.WAV",
                              L"C:\\音楽\\曲 ﾃｽﾄ.wav", false},
                      PickRow{"AccentsGoByTheShortName", L"C:\\Música\\Beyoncé tone.wav", L"C:\\MSICA~1\\BEYONC~1.WAV",
                              L"C:\\MSICA~1\\BEYONC~1.WAV", false},
                      PickRow{"NoShortNameIsRefused", L"C:\\Música\\new.wav", L"", L"", true},
                      PickRow{"ShortNameOf254BytesFits", L"C:\\é\\x.wav", kLong254, kLong254, false},
                      PickRow{"ShortNameOf255BytesIsRefused", L"C:\\é\\x.wav", kLong255, L"", true},
                      PickRow{"CarriedPathOf255BytesIsACancel", kLong255, L"", L"", false}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace orbi
