// Any command line: start-up takes exactly one road and never crashes.
#include <cstdlib>

#include "fuzz/fuzz_input.h"
#include "startup/startup.h"
#include "support/fake_win_api.h"

using namespace orbi;

namespace {

class CountingWindows : public ModeWindows {
  public:
    int preview = 0, dialog = 0, display = 0, ends = 0;
    double TwipsPerPixelX() override { return 15; }
    double TwipsPerPixelY() override { return 15; }
    Hwnd LoadPreview() override {
        ++preview;
        return 9;
    }
    void PlacePreview(int16_t, int16_t, double, double) override {}
    void ShowPreview() override {}
    void ShowDialogModal() override { ++dialog; }
    void LoadDisplay() override { ++display; }
    void EndProgram() override { ++ends; }
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    test::FakeWinApi api;
    api.windowRects[1234] = Rect{0, 0, 152, 112};
    Program p{api};
    CountingWindows windows;
    p.commandLine = (size > 0 && data[0] & 1) ? fuzz::WideText(data + 1, size - 1) : fuzz::ByteText(data, size);
    Main(p, windows);
    const int roads =
        windows.preview + windows.display + (windows.dialog ? 1 : 0) + (windows.dialog ? 0 : windows.ends);
    if (roads != 1)
        std::abort();
    if (windows.dialog && windows.ends != 1)
        std::abort();  // configure mode ends the program once the dialog has closed
    (void)CommandArguments(p.commandLine);
    return 0;
}
