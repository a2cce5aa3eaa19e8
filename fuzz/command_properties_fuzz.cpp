// Any stored form description: the Command button loads it without harm, in its order, with Enabled a boolean,
// and what it saves loads back and saves again unchanged.
#include <fuzzer/FuzzedDataProvider.h>

#include <array>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "controls/command/command_state.h"
#include "controls/command/property_store.h"
#include "fuzz/fuzz_input.h"
#include "support/recording_store.h"

using namespace orbi;

namespace {

// In saving order; loading reads "Font" before "FirstRun".
constexpr std::array<const wchar_t*, 6> kNames = {L"Enabled", L"Caption",    L"FirstRun",
                                                  L"Font",    L"FontColour", L"Visible"};
constexpr std::array<const wchar_t*, 6> kLoadOrder = {L"Enabled",  L"Caption",    L"Font",
                                                      L"FirstRun", L"FontColour", L"Visible"};
// Texts the converters treat specially; the fuzzer finds them much faster when offered.
constexpr std::array<const wchar_t*, 14> kWords = {
    L"True",        L"false", L" -1 ", L"0",    L"255",     L"256",      L"4294967295",
    L"-2147483649", L"1e400", L"2.5",  L"&HFF", L"Command", L"Command1", L"ＭＳ Ｐゴシック"};

// Names the broken promise by its line before stopping.
#define Check(condition) \
    ((condition) ? (void)0 : (std::fprintf(stderr, "%s:%d: %s\n", __FILE__, __LINE__, #condition), std::abort()))

struct RecordingView : CommandView {
    std::vector<Face> faces;
    void PaintFace(Face face, int16_t) override { faces.push_back(face); }
    void LabelChanged() override {}
    void RaiseClick() override {}
    void MarkChanged(const wchar_t*) override {}
};

std::wstring Text(FuzzedDataProvider& in) {
    if (in.ConsumeBool())
        return kWords[in.ConsumeIntegralInRange<size_t>(0, kWords.size() - 1)];
    const bool wide = in.ConsumeBool();
    const std::string bytes = in.ConsumeRandomLengthString(64);
    const auto* raw = reinterpret_cast<const uint8_t*>(bytes.data());
    return wide ? fuzz::WideText(raw, bytes.size()) : fuzz::ByteText(raw, bytes.size());
}

FontDesc Font(FuzzedDataProvider& in) {
    FontDesc f;
    if (in.ConsumeBool())
        return f;  // the dialog's own font
    f.face = Text(in);
    f.sizePt = in.ConsumeFloatingPoint<double>();
    f.weight = in.ConsumeIntegral<int>();
    f.charset = in.ConsumeIntegral<int>();
    f.italic = in.ConsumeBool();
    f.underline = in.ConsumeBool();
    f.strikethrough = in.ConsumeBool();
    return f;
}

PropertyValue Value(FuzzedDataProvider& in) {
    switch (in.ConsumeIntegralInRange<int>(0, 3)) {
        case 0:
            return PropertyValue(in.ConsumeIntegralInRange<int64_t>(-2, 256));
        case 1:
            return PropertyValue(in.ConsumeIntegral<int64_t>());
        case 2:
            return PropertyValue(Text(in));
        default:
            return PropertyValue(Font(in));
    }
}

// A default of another kind than the value, so that Write always stores it.
PropertyValue OtherKind(const PropertyValue& v) {
    return v.IsFont() ? PropertyValue(L"") : PropertyValue(FontDesc{});
}

bool SameStore(const PropertyStore& a, const PropertyStore& b) {
    if (a.Names() != b.Names())
        return false;
    const PropertyValue missing(FontDesc{L"\x1", -1, -1, -1, true, true, true});
    for (const std::wstring& name : a.Names()) {
        if (a.Read(name, missing) != b.Read(name, missing))
            return false;
    }
    return true;
}

bool SameLook(const CommandProperties& a, const CommandProperties& b) {
    return a.Enabled == b.Enabled && a.FirstRun == b.FirstRun && a.Font == b.Font && a.FontColour == b.FontColour &&
           a.BackStyle == b.BackStyle && a.LabelEnabled == b.LabelEnabled;
}

template <size_t N>
std::vector<std::wstring> Order(const std::array<const wchar_t*, N>& names) {
    return std::vector<std::wstring>(names.begin(), names.end());
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    FuzzedDataProvider in(data, size);
    const FontDesc ambient = Font(in);

    test::RecordingStore stored;
    const int entries = in.ConsumeIntegralInRange<int>(0, 10);
    for (int i = 0; i < entries; ++i) {
        const std::wstring name =
            in.ConsumeProbability<float>() < 0.9f ? kNames[in.ConsumeIntegralInRange<size_t>(0, 5)] : Text(in);
        const PropertyValue value = Value(in);
        stored.Write(name, value, OtherKind(value));
    }
    stored.names.clear();

    RecordingView view;
    CommandCore loaded(view);
    loaded.UserControl_ReadProperties(stored, ambient);
    const CommandProperties& p = loaded.Properties();
    Check(stored.names == Order(kLoadOrder));
    Check(p.Enabled == kTrue || p.Enabled == kFalse);
    Check(p.BackStyle == 0 || p.BackStyle == 1);
    // A missing name loads its default; a stored one that converts is taken as it is.
    const PropertyValue enabled = stored.Read(L"Enabled", kTrue);
    if (auto b = enabled.AsBoolean())
        Check(p.Enabled == *b);
    if (!stored.Contains(L"Caption"))
        Check(p.Caption == L"Command1");
    if (!stored.Contains(L"Visible"))
        Check(p.BackStyle == 1);
    // The load ends with the Normal face, painted only on an enabled button.
    Check(view.faces == (p.Enabled ? std::vector<Face>{Face::Normal} : std::vector<Face>{}));
    if (p.Enabled && p.FirstRun == 0)
        Check(p.FontColour == 0);

    // Saved and loaded again, the button looks the same; from the second save on the store no longer changes.
    // "Command" is the saving default and "Command1" the loading one: the only caption that changes on the way.
    test::RecordingStore saved;
    loaded.UserControl_WriteProperties(saved, ambient);
    Check(saved.names == Order(kNames));
    RecordingView view2, view3;
    CommandCore reloaded(view2), third(view3);
    reloaded.UserControl_ReadProperties(saved, ambient);
    PropertyStore savedAgain, savedThird;
    reloaded.UserControl_WriteProperties(savedAgain, ambient);
    third.UserControl_ReadProperties(savedAgain, ambient);
    third.UserControl_WriteProperties(savedThird, ambient);
    Check(SameLook(p, reloaded.Properties()));
    Check(reloaded.Properties().Caption == (p.Caption == L"Command" ? L"Command1" : p.Caption));
    if (p.Caption != L"Command")
        Check(SameStore(saved, savedAgain));
    Check(SameStore(savedAgain, savedThird));

    // The container then uses the properties in any order.
    while (in.remaining_bytes() > 0) {
        switch (in.ConsumeIntegralInRange<int>(0, 6)) {
            case 0: {
                const int16_t e = loaded.Enabled();
                Check(e == kTrue || e == kFalse);
                Check(loaded.CurrentFace() == (e ? Face::Normal : Face::Disable));
                break;
            }
            case 1:
                loaded.SetEnabled(in.ConsumeBool() ? kTrue : kFalse);
                break;
            case 2: {
                const uint8_t v = loaded.Visible();
                Check(v == 0 || v == 255);
                break;
            }
            case 3:
                loaded.SetVisible(in.ConsumeIntegral<uint8_t>());
                break;
            case 4:
                loaded.SetFontColour(in.ConsumeIntegral<uint32_t>());
                break;
            case 5:
                loaded.SetCaption(Text(in));
                break;
            default:
                loaded.UserControl_Resize();
                break;
        }
    }
    Check(loaded.Properties().Enabled == kTrue || loaded.Properties().Enabled == kFalse);
    return 0;
}
