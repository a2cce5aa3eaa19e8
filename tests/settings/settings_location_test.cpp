// Where the settings live: beside the program, or per user in the roaming application-data folder.
#include <gtest/gtest.h>

#include "settings/settings.h"
#include "support/fake_win_api.h"

namespace orbi {
namespace {

const std::wstring kBeside = L"C:\\Saver\\Orbimotion.ini";
const std::wstring kUser = L"C:\\Users\\me\\AppData\\Roaming\\Orbimotion\\Orbimotion.ini";

class SettingsLocation : public ::testing::Test {
  protected:
    test::FakeWinApi api;
    Program p{api};
};

TEST_F(SettingsLocation, APerUserFileWinsOverTheFileBesideTheProgram) {
    api.ini[kBeside][kSection][kKeySpeed] = L" 30";
    LoadSettings(p);
    EXPECT_EQ(p.settings.Speed, 30);

    api.ini[kUser][kSection][kKeyBgmKind] = L" 1";  // any content: a missing key gives its default
    LoadSettings(p);
    EXPECT_EQ(p.settings.Speed, 10);
    EXPECT_EQ(p.settings.BgmKind, 1);
    EXPECT_EQ(p.settings.BgmFolder, L"C:\\Saver");
}

TEST_F(SettingsLocation, AProgramInADrivesRootHasTheRootAsItsFolder) {
    api.exeDir = L"C:\\";
    EXPECT_EQ(SettingsPath(p), L"C:\\Orbimotion.ini");
    LoadSettings(p);
    EXPECT_EQ(p.settings.BgmFolder, L"C:\\");
}

TEST_F(SettingsLocation, ARoamingFolderOutsideTheCodePageGoesByItsShortName) {
    api.roamingDir = L"C:\\Users\\José\\AppData\\Roaming";
    EXPECT_EQ(UserSettingsPath(p), L"");
    EXPECT_EQ(CurrentSettingsPath(p), kBeside);
    api.shortNames[api.roamingDir] = L"C:\\Users\\JOS~1\\AppData\\Roaming";
    EXPECT_EQ(UserSettingsPath(p), L"C:\\Users\\JOS~1\\AppData\\Roaming\\Orbimotion\\Orbimotion.ini");
    api.roamingDir.clear();
    EXPECT_EQ(UserSettingsPath(p), L"");
}

}  // namespace
}  // namespace orbi
