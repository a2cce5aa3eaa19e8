#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "controls/command/command_state.h"
#include "controls/command/property_store.h"
#include "support/recording_store.h"

namespace orbi {
namespace {

struct CountingView : CommandView {
    std::vector<Face> faces;
    std::vector<std::wstring> changed;
    void PaintFace(Face face, int16_t) override { faces.push_back(face); }
    void LabelChanged() override {}
    void RaiseClick() override {}
    void MarkChanged(const wchar_t* name) override { changed.push_back(name); }
};

FontDesc DialogFont() {
    return FontDesc{L"ＭＳ Ｐゴシック", 9.75, 400, 128, false, false, false};
}

// The orders in which the control saves and loads its names.
const std::vector<std::wstring> kSaveOrder{L"Enabled", L"Caption", L"FirstRun", L"Font", L"FontColour", L"Visible"};
const std::vector<std::wstring> kLoadOrder{L"Enabled", L"Caption", L"Font", L"FirstRun", L"FontColour", L"Visible"};

// ---- The store ----

TEST(PropertyStore, ValueEqualToDefaultIsLeftOutAndReadsAsDefault) {
    PropertyStore store;
    store.Write(L"FirstRun", 1, L"1");
    EXPECT_FALSE(store.Contains(L"FirstRun"));
    store.Write(L"FirstRun", 0, L"1");
    EXPECT_TRUE(store.Contains(L"FirstRun"));
    EXPECT_EQ(PropertyValue(0), store.Read(L"FirstRun", L"1"));
    // Writing the default again removes what an earlier save stored.
    store.Write(L"FirstRun", 1, L"1");
    EXPECT_FALSE(store.Contains(L"FirstRun"));
    EXPECT_EQ(PropertyValue(L"x"), store.Read(L"Missing", L"x"));
}

TEST(PropertyValue, ComparesByValue) {
    EXPECT_EQ(PropertyValue(1), PropertyValue(L"1"));
    EXPECT_EQ(PropertyValue(-1), PropertyValue(L" -1 "));
    EXPECT_NE(PropertyValue(1), PropertyValue(L"one"));
    EXPECT_NE(PropertyValue(L"Command"), PropertyValue(L"command"));
    EXPECT_EQ(PropertyValue(DialogFont()), PropertyValue(DialogFont()));
    FontDesc bold = DialogFont();
    bold.weight = 700;
    EXPECT_NE(PropertyValue(bold), PropertyValue(DialogFont()));
    EXPECT_NE(PropertyValue(DialogFont()), PropertyValue(L"ＭＳ Ｐゴシック"));
}

TEST(PropertyValue, ConvertsOnlyValuesThatFitTheAskedType) {
    EXPECT_EQ(kTrue, PropertyValue(L"True").AsBoolean());
    EXPECT_EQ(kFalse, PropertyValue(L"false").AsBoolean());
    EXPECT_EQ(kTrue, PropertyValue(5).AsBoolean());
    EXPECT_FALSE(PropertyValue(L"yes").AsBoolean());
    EXPECT_EQ(uint8_t{255}, PropertyValue(255).AsByte());
    EXPECT_FALSE(PropertyValue(256).AsByte());
    EXPECT_FALSE(PropertyValue(-1).AsByte());
    EXPECT_FALSE(PropertyValue(40000).AsInt16());
    EXPECT_EQ(int32_t(0x80000012), PropertyValue(int64_t{0x80000012}).AsInt32());
    EXPECT_EQ(std::wstring(L"Arial"), PropertyValue(FontDesc{L"Arial"}).AsText());
    EXPECT_FALSE(PropertyValue(L"Arial").AsFont());
}

// A newly placed control (never loaded, FirstRun 0); Load() gives it an empty store.
struct Core : ::testing::Test {
    CountingView view;
    CommandCore core{view};
    void Load() { core.UserControl_ReadProperties(PropertyStore{}, DialogFont()); }
};
using CommandStore = Core;
using CommandProperty = Core;

// ---- Saving and loading ----

TEST_F(CommandStore, SavesInOrderAndLoadsInOrder) {
    test::RecordingStore store;
    core.UserControl_WriteProperties(store, DialogFont());
    EXPECT_EQ(kSaveOrder, store.names);
    store.names.clear();
    core.UserControl_ReadProperties(store, DialogFont());
    EXPECT_EQ(kLoadOrder, store.names);
}

TEST_F(CommandStore, DefaultsAreNotStoredSoTheCaptionCommandComesBackAsCommand1) {
    Load();
    core.SetCaption(L"Command");
    PropertyStore store;
    core.UserControl_WriteProperties(store, DialogFont());
    EXPECT_TRUE(store.Names().empty()) << store.Names().size() << " names stored";
    CountingView view2;
    CommandCore loaded(view2);
    loaded.UserControl_ReadProperties(store, DialogFont());
    EXPECT_EQ(L"Command1", loaded.Caption());
}

TEST_F(CommandStore, RoundTripKeepsEveryProperty) {
    Load();
    core.SetCaption(L"ｷｬﾝｾﾙ");
    core.SetFontColour(0x0000FF);
    core.SetVisible(0);
    core.SetEnabled(kFalse);
    PropertyStore store;
    core.UserControl_WriteProperties(store, DialogFont());
    EXPECT_EQ((std::vector<std::wstring>{L"Enabled", L"Caption", L"FontColour", L"Visible"}), store.Names());

    CountingView view2;
    CommandCore loaded(view2);
    loaded.UserControl_ReadProperties(store, DialogFont());
    EXPECT_EQ(kFalse, loaded.Properties().Enabled);
    EXPECT_EQ(L"ｷｬﾝｾﾙ", loaded.Caption());
    EXPECT_EQ(0x0000FFu, loaded.Properties().FontColour);
    EXPECT_EQ(0, loaded.Properties().BackStyle);
    EXPECT_EQ(1, loaded.FirstRun());
    // Disabled: loading paints nothing.
    EXPECT_TRUE(view2.faces.empty());
}

TEST_F(CommandStore, OnlyTheFaceNameOfAStoredFontIsTakenAndWithoutOneTheAmbientFontsFaceName) {
    PropertyStore store;
    store.Write(L"Font", FontDesc{L"Arial", 20, 700, 0, true, true, false}, DialogFont());
    core.UserControl_ReadProperties(store, DialogFont());
    const FontDesc f = core.Font();
    EXPECT_EQ(L"Arial", f.face);
    EXPECT_EQ(9.75, f.sizePt);
    EXPECT_EQ(400, f.weight);
    EXPECT_EQ(128, f.charset);
    EXPECT_FALSE(f.italic);
    EXPECT_FALSE(f.underline);
    core.UserControl_ReadProperties(PropertyStore{}, FontDesc{L"Tahoma", 8, 400, 0});
    EXPECT_EQ(L"Tahoma", core.Font().face);
    EXPECT_EQ(9.75, core.Font().sizePt);
}

TEST_F(CommandStore, UnconvertibleValuesKeepThePreviousOnes) {
    Load();
    PropertyStore bad;
    bad.Write(L"FirstRun", L"many", L"1");
    bad.Write(L"FontColour", L"red", L"0");
    bad.Write(L"Visible", 7, L"1");
    bad.Write(L"Enabled", L"maybe", kTrue);
    bad.Write(L"Caption", L"OK", L"Command");
    core.UserControl_ReadProperties(bad, DialogFont());
    EXPECT_EQ(1, core.FirstRun());
    EXPECT_EQ(0u, core.Properties().FontColour);
    EXPECT_EQ(1, core.Properties().BackStyle);
    EXPECT_EQ(kTrue, core.Properties().Enabled);
    EXPECT_EQ(L"OK", core.Caption());
}

TEST_F(CommandStore, LoadAndSaveEndWithTheNormalFace) {
    Load();
    ASSERT_FALSE(view.faces.empty());
    EXPECT_EQ(Face::Normal, view.faces.back());
    core.UserControl_MouseMove(0, 0, 0, 0);
    core.UserControl_GotFocus();
    PropertyStore store;
    core.UserControl_WriteProperties(store, DialogFont());
    EXPECT_EQ(Face::Normal, view.faces.back());
}

// ---- Property procedures ----

TEST_F(CommandProperty, VisibleReads255AfterWriting1) {
    Load();
    core.SetVisible(0);
    view.faces.clear();
    EXPECT_EQ(0, core.Visible());
    EXPECT_TRUE(view.faces.empty());
    core.SetVisible(1);
    EXPECT_EQ(Face::Normal, view.faces.back());
    EXPECT_EQ(255, core.Visible());
    EXPECT_EQ((std::vector<std::wstring>{L"Visible", L"Visible"}), view.changed);
}

TEST_F(CommandProperty, FontColourWrittenBeforeFirstRunEndsBlackAndLastsOnceLoaded) {
    core.SetEnabled(kTrue);
    core.SetFontColour(0x00FF00);
    EXPECT_EQ(0u, core.FontColour());
    EXPECT_EQ(0, core.FirstRun());
    Load();
    core.SetFontColour(0x00FF00);
    EXPECT_EQ(0x00FF00u, core.FontColour());
    EXPECT_EQ(L"FontColour", view.changed.back());
}

TEST_F(CommandProperty, FirstReadOfEnabledAppliesTheDefaults) {
    core.SetFontColour(0x00FF00);  // disabled: nothing resets it yet
    EXPECT_EQ(kTrue, core.Enabled());
    EXPECT_EQ(1, core.FirstRun());
    EXPECT_EQ(Face::Normal, view.faces.back());
    EXPECT_EQ(0x00FF00u, core.Properties().FontColour);
}

TEST_F(CommandProperty, DisabledPaintsDisableAndReadingRepaintsIt) {
    Load();
    core.SetEnabled(kFalse);
    EXPECT_EQ(Face::Disable, view.faces.back());
    EXPECT_FALSE(core.Properties().LabelEnabled);
    const size_t painted = view.faces.size();
    EXPECT_EQ(kFalse, core.Enabled());
    EXPECT_EQ(painted + 1, view.faces.size());
    EXPECT_EQ(Face::Disable, view.faces.back());
    core.SetEnabled(kTrue);
    EXPECT_EQ(Face::Normal, view.faces.back());
    EXPECT_TRUE(core.Properties().LabelEnabled);
}

TEST_F(CommandProperty, ResizeRepaintsTheEnabledState) {
    core.UserControl_Resize();
    EXPECT_EQ(Face::Disable, view.faces.back());  // never loaded: Enabled is still 0
    Load();
    core.UserControl_Resize();
    EXPECT_EQ(Face::Normal, view.faces.back());
}

TEST_F(CommandProperty, CaptionAndFontMarkChanged) {
    core.SetCaption(L"参照");
    core.SetFont(FontDesc{L"Arial"});
    EXPECT_EQ(L"参照", core.Caption());
    EXPECT_EQ(L"Arial", core.Font().face);
    EXPECT_EQ((std::vector<std::wstring>{L"Caption", L"Font"}), view.changed);
}

}  // namespace
}  // namespace orbi
