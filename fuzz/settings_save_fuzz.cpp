// Any record the dialog hands over (its track read from any repeat-box text), with Windows refusing a write or not:
// saving stops only at a refused write, and a complete save loads back as it was meant.
#include <fuzzer/FuzzedDataProvider.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "dialog/dialog_logic.h"
#include "fuzz/fuzz_input.h"
#include "platform/numbers.h"
#include "settings/save.h"
#include "settings/settings.h"
#include "support/fake_win_api.h"

using namespace orbi;

namespace {

const wchar_t* const kWords[] = {L"",    L" 7 ", L"30",  L"3.5", L"2.5",  L"-2.5", L"99999", L"32767.5",
                                 L"1e4", L"1e5", L"abc", L"1,0", L"&H10", L"１２", L"+.5",   L"5e-1"};

// Names the broken promise by its line before stopping.
#define Check(condition) \
    ((condition) ? (void)0 : (std::fprintf(stderr, "%s:%d: %s\n", __FILE__, __LINE__, #condition), std::abort()))

// Windows refusing the n-th write (1-based) and every one after it; 0 refuses none.
class RefusingApi : public test::FakeWinApi {
  public:
    int refuseFrom = 0;
    int writes = 0;
    int32_t WritePrivateProfileStringA(const std::wstring& section,
                                       const std::wstring& key,
                                       const std::wstring& value,
                                       const std::wstring& file) override {
        ++writes;
        writesFail = refuseFrom > 0 && writes >= refuseFrom;
        return FakeWinApi::WritePrivateProfileStringA(section, key, value, file);
    }
    bool anyFileOpens = false;
    bool CanOpenForReading(const std::wstring& path) override {
        return anyFileOpens || FakeWinApi::CanOpenForReading(path);
    }
};

std::wstring Text(FuzzedDataProvider& in, size_t maxBytes) {
    if (in.ConsumeBool())
        return kWords[in.ConsumeIntegralInRange<size_t>(0, sizeof kWords / sizeof *kWords - 1)];
    const bool wide = in.ConsumeBool();
    const std::string bytes = in.ConsumeRandomLengthString(maxBytes);
    const auto* raw = reinterpret_cast<const uint8_t*>(bytes.data());
    return wide ? fuzz::WideText(raw, bytes.size()) : fuzz::ByteText(raw, bytes.size());
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    FuzzedDataProvider in(data, size);
    RefusingApi api;
    Program p{api};
    const std::wstring path = SettingsPath(p);
    api.refuseFrom = in.ConsumeIntegralInRange<int>(0, 5);
    const int16_t speed = in.ConsumeIntegral<int16_t>();
    p.settings.BgmKind = in.ConsumeBool() ? in.ConsumeIntegralInRange<int16_t>(0, 2) : in.ConsumeIntegral<int16_t>();
    p.settings.BgmRepeat = in.ConsumeIntegral<int16_t>();
    p.settings.BgmFile = Text(in, 300);
    const bool fileExists = in.ConsumeBool();
    // What an earlier save left.
    if (in.ConsumeBool())
        api.ini[path][kSection][kKeySpeed] = L" 55";
    const std::wstring repeatText = Text(in, 40);

    // The repeat box on its own, full-width digits read as ASCII: a number rounds to its nearest track, anything
    // else is 0.
    const std::optional<int16_t> track = RepeatFromText(AsciiDigits(repeatText));
    if (const std::optional<double> n = ParseNumber(AsciiDigits(repeatText))) {
        if (track)
            Check(std::fabs(*n - *track) <= 0.5);
        else
            Check(std::fabs(*n) >= 32767.5);
    } else if (track) {
        Check(*track == 0);
    }

    if (!track)
        return 0;  // the dialog refuses it before saving
    Settings values = p.settings;
    values.Speed = speed;
    values.BgmRepeat = *track;
    const SaveOutcome saved = SaveSettings(p, values);
    const std::vector<std::wstring> writes = api.ProfileWrites();

    // One call a key; only Windows refusing one stops them, at that one, and names the file.
    const size_t expected = api.refuseFrom == 0 ? 4 : static_cast<size_t>(std::min(api.refuseFrom, 4));
    Check(writes.size() == expected);
    if (api.refuseFrom >= 1 && api.refuseFrom <= 4) {
        Check(saved.written.empty() && saved.refused == path);
        return 0;
    }
    Check(saved.written == path && saved.refused.empty());

    // A complete file reads back as what was saved; a music-file choice without a file that opens reads as none.
    api.anyFileOpens = fileExists;
    Program next{api};
    LoadSettings(next);
    Check(next.settings.Speed == speed);
    Check(next.settings.BgmRepeat == *track);
    const bool noFile = next.settings.BgmFile.empty() || !fileExists;
    Check(next.settings.BgmKind == (values.BgmKind == 2 && noFile ? 0 : values.BgmKind));
    if (!noFile)
        Check(values.BgmFile.find(next.settings.BgmFile) != std::wstring::npos);
    return 0;
}
