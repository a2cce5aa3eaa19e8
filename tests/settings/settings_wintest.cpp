// The settings file through the real profile functions under code page 932.
#include <windows.h>

#include <gtest/gtest.h>

#include "platform/numbers.h"
#include "platform/win_api_win.h"
#include "settings/settings.h"
#include "support/files_win.h"

namespace orbi {
namespace {

// The real call layer, with the program's folder moved to a scratch folder.
class ScratchApi : public Win32Api {
  public:
    explicit ScratchApi(std::wstring dir) : dir_(std::move(dir)) {}
    std::wstring ExeDirectory() override { return dir_; }

  private:
    std::wstring dir_;
};

class SettingsFile : public ::testing::Test {
  protected:
    test::TempDir dir;
    ScratchApi api{dir.path()};
    Program p{api};
    std::string Bytes() const { return dir.ReadBytes(L"Orbimotion.ini"); }
    void WriteFile(const std::string& bytes) const { dir.WriteBytes(L"Orbimotion.ini", bytes); }
};

TEST_F(SettingsFile, RunsUnderCodePage932) {
    EXPECT_EQ(GetACP(), 932u) << "the test session must run Wine with a Japanese locale";
}

TEST_F(SettingsFile, WhatTheProgramWritesReadsBackAsWritten) {
    test::TempDir music;
    music.WriteBytes(L"曲 ﾃｽﾄ.mp3", "ID3");
    const std::wstring song = music.File(L"曲 ﾃｽﾄ.mp3");
    const std::wstring path = SettingsPath(p);
    WriteSetting(p, kSection, kKeySpeed, NumberText(37), path);
    WriteSetting(p, kSection, kKeyBgmKind, NumberText(2), path);
    WriteSetting(p, kSection, kKeyBgmRepeat, NumberText(-4), path);
    WriteSetting(p, kSection, kKeyBgmFile, song, path);
    LoadSettings(p);
    EXPECT_EQ(p.settings.Speed, 37);
    EXPECT_EQ(p.settings.BgmKind, 2);
    EXPECT_EQ(p.settings.BgmRepeat, -4);
    EXPECT_EQ(p.settings.BgmFile, song);
    EXPECT_EQ(p.settings.BgmFolder, music.path());
}

TEST_F(SettingsFile, NoFileGivesTheDefaultsWithTheProgramsFolderAndMakesNoFile) {
    LoadSettings(p);
    EXPECT_EQ(p.settings.Speed, 10);
    EXPECT_EQ(p.settings.BgmKind, 0);
    EXPECT_EQ(p.settings.BgmRepeat, 0);
    EXPECT_EQ(p.settings.BgmFile, L"");
    EXPECT_EQ(p.settings.BgmFolder, dir.path());
    EXPECT_FALSE(dir.Exists(L"Orbimotion.ini"));
}

// How each value's text converts is a table of settings_test.cpp; here the system's cut of a long value.
TEST_F(SettingsFile, AHandEditedPathIsCutAt255Bytes) {
    WriteFile(test::SettingsText({{L"BGM区分", L"2"}, {L"BGMﾌｧｲﾙ", std::wstring(300, L'x')}}));
    LoadSettings(p);
    EXPECT_EQ(p.settings.BgmKind, 0);  // the 255-byte path names no file
    EXPECT_EQ(p.settings.BgmFile, L"");
    EXPECT_EQ(ReadSetting(p, kSection, kKeyBgmFile, SettingsPath(p)), std::wstring(255, L'x'));
}

TEST_F(SettingsFile, BrokenBytesAnotherSectionAndAFolderAsMusicPathDoNotHurt) {
    std::string ini = "[Other]\r\n" + test::Cp932(L"速さ") + "=50\r\n[Section]\r\n";
    ini += test::Cp932(L"速さ") + "=\x82\r\n";  // a lone lead byte
    ini += test::Cp932(L"BGM区分") + "=99999999\r\n";
    ini += test::Cp932(L"BGMﾌｧｲﾙ") + "=" + test::Cp932(dir.path()) + "\\\r\n";
    ini += "\xFF\xFE\x80garbage=\xFD\r\n";
    WriteFile(ini);
    LoadSettings(p);
    EXPECT_EQ(p.settings.Speed, 0);
    EXPECT_EQ(p.settings.BgmKind, 0);
    EXPECT_EQ(p.settings.BgmFile, L"");
}

// The 255-character cut above and the file test below are the system's: the real functions show them.
TEST(FileExistsReal, FoldersAndEmptyPathsAreNotFiles) {
    test::TempDir dir;
    Win32Api api;
    Program p{api};
    dir.WriteBytes(L"a.wav", "RIFF");
    EXPECT_EQ(FileExists(p, dir.File(L"a.wav")), -1);
    EXPECT_EQ(FileExists(p, dir.File(L"a.wav") + L"\\"), -1);
    EXPECT_EQ(FileExists(p, dir.path()), 0);
    EXPECT_EQ(FileExists(p, dir.File(L"missing.wav")), 0);
    EXPECT_EQ(FileExists(p, L""), 0);
}

TEST(WriteProbe, AnswersWithoutLeavingAFileBehind) {
    test::TempDir dir;
    Win32Api api;
    EXPECT_TRUE(api.CanOpenForWriting(dir.File(L"new.ini")));
    EXPECT_FALSE(dir.Exists(L"new.ini"));
    dir.WriteBytes(L"old.ini", "[Section]\r\n");
    EXPECT_TRUE(api.CanOpenForWriting(dir.File(L"old.ini")));
    EXPECT_EQ(dir.ReadBytes(L"old.ini"), "[Section]\r\n");
    EXPECT_FALSE(api.CanOpenForWriting(dir.File(L"missing folder\\x.ini")));
    EXPECT_FALSE(api.CanOpenForWriting(dir.path()));
    // Another program holding the file without sharing it.
    HANDLE held =
        CreateFileW(dir.File(L"old.ini").c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(held, INVALID_HANDLE_VALUE);
    EXPECT_FALSE(api.CanOpenForWriting(dir.File(L"old.ini")));
    CloseHandle(held);
}

}  // namespace
}  // namespace orbi
