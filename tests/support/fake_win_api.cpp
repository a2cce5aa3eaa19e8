#include "support/fake_win_api.h"

#include <algorithm>

namespace orbi::test {

namespace {

std::wstring N(int64_t v) {
    return std::to_wstring(v);
}

std::wstring Trim(const std::wstring& s) {
    size_t a = s.find_first_not_of(L' ');
    if (a == std::wstring::npos)
        return std::wstring();
    size_t b = s.find_last_not_of(L' ');
    return s.substr(a, b - a + 1);
}

// Writes text into a fixed buffer the way Windows does: at most length-1 characters and a NUL after them; the
// characters beyond stay as they were.
void Fill(FixedBuffer& buffer, const std::wstring& text, size_t length) {
    if (length == 0)
        return;
    size_t n = std::min(text.size(), length - 1);
    n = std::min(n, buffer.chars.size() > 0 ? buffer.chars.size() - 1 : 0);
    for (size_t i = 0; i < n; ++i)
        buffer.chars[i] = text[i];
    if (n < buffer.chars.size())
        buffer.chars[n] = L'\0';
}

}  // namespace

std::vector<std::wstring> FakeWinApi::CallsStartingWith(const std::wstring& prefix) const {
    std::vector<std::wstring> out;
    for (const auto& c : calls) {
        if (c.compare(0, prefix.size(), prefix) == 0)
            out.push_back(c);
    }
    return out;
}

uint32_t FakeWinApi::GetPrivateProfileStringA(const std::wstring& section,
                                              const std::wstring& key,
                                              const std::wstring& defaultValue,
                                              FixedBuffer& buffer,
                                              const std::wstring& file) {
    Log(L"GetPrivateProfileStringA(" + section + L"," + key + L"," + file + L")");
    std::wstring value = defaultValue;
    auto f = ini.find(file);
    if (f != ini.end()) {
        auto s = f->second.find(section);
        if (s != f->second.end()) {
            auto k = s->second.find(key);
            if (k != s->second.end())
                value = Trim(k->second);
        }
    }
    Fill(buffer, value, buffer.chars.size());
    return static_cast<uint32_t>(std::min(value.size(), buffer.chars.size() - 1));
}

int32_t FakeWinApi::WritePrivateProfileStringA(const std::wstring& section,
                                               const std::wstring& key,
                                               const std::wstring& value,
                                               const std::wstring& file) {
    Log(L"WritePrivateProfileStringA(" + section + L"," + key + L"," + value + L"," + file + L")");
    if (writesFail)
        return 0;
    ini[file][section][key] = value;
    return 1;
}

bool FakeWinApi::CanOpenForWriting(const std::wstring& path) {
    Log(L"CanOpenForWriting(" + path + L")");
    return !writeProbeFails && unwritableFiles.count(path) == 0;
}

bool FakeWinApi::IsExistingFile(const std::wstring& path) {
    return ini.count(path) > 0 || readableFiles.count(path) > 0;
}

bool FakeWinApi::CreateFolder(const std::wstring& path) {
    Log(L"CreateFolder(" + path + L")");
    if (createFolderFails)
        return false;
    folders.insert(path);
    return true;
}

bool FakeWinApi::IsExistingFolder(const std::wstring& path) {
    return folders.count(path) > 0;
}

bool FakeWinApi::RemoveEmptyFolder(const std::wstring& path) {
    Log(L"RemoveEmptyFolder(" + path + L")");
    const std::wstring inside = path + L"\\";
    for (const auto& [file, sections] : ini) {
        if (file.compare(0, inside.size(), inside) == 0)
            return false;
    }
    return folders.erase(path) > 0;
}

std::wstring FakeWinApi::ShortPathName(const std::wstring& path) {
    auto it = shortNames.find(path);
    return it == shortNames.end() ? std::wstring() : it->second;
}

std::wstring FakeWinApi::RoamingAppDataFolder() {
    return roamingDir;
}

std::wstring FakeWinApi::AnsiRoundTrip(const std::wstring& text) {
    std::wstring out = text;
    for (wchar_t& c : out) {
        const bool carried = c < 0x80 || (c >= 0x3000 && c <= 0x9FFF) || (c >= 0xFF01 && c <= 0xFF9F);
        if (!carried)
            c = L'?';
    }
    return out;
}

size_t FakeWinApi::AnsiLength(const std::wstring& text) {
    size_t bytes = 0;
    for (wchar_t c : text)
        bytes += (c < 0x80 || (c >= 0xFF61 && c <= 0xFF9F)) ? 1 : 2;
    return bytes;
}

bool FakeWinApi::CanOpenForReading(const std::wstring& path) {
    Log(L"CanOpenForReading(" + path + L")");
    return readableFiles.count(path) > 0;
}

std::wstring FakeWinApi::ExeDirectory() {
    return exeDir;
}

void FakeWinApi::Sleep(uint32_t milliseconds) {
    if (!quietSleeps)
        Log(L"Sleep(" + N(milliseconds) + L")");
    ++sleeps;
    sleptTotal += milliseconds;
    if (onSleep)
        onSleep(milliseconds);
}

uint32_t FakeWinApi::mciSendStringA(const std::wstring& command,
                                    FixedBuffer* reply,
                                    uint32_t replyLength,
                                    Hwnd callback) {
    Log(L"mciSendStringA(" + command + L"," + N(replyLength) + (callback ? L",cb" : L"") + L")");
    if (onMci)
        onMci(command, reply);
    MciAnswer answer = mciDefault;
    if (winmm) {
        answer.code = winmm->mciSendStringA(command, reply, replyLength, callback);
    } else {
        if (mciHandler) {
            answer = mciHandler(command);
        } else {
            auto it = mci.find(command);
            if (it != mci.end())
                answer = it->second;
        }
        if (answer.code == 0 && reply && answer.unterminated)
            std::copy_n(answer.reply.begin(), std::min(answer.reply.size(), reply->chars.size()), reply->chars.begin());
        else if (answer.code == 0 && reply)
            Fill(*reply, answer.reply, replyLength);
    }
    mciSent.push_back({command, answer.code});
    return answer.code;
}

int32_t FakeWinApi::mciGetErrorStringA(uint32_t code, FixedBuffer& buffer, uint32_t length) {
    Log(L"mciGetErrorStringA(" + N(code) + L"," + N(length) + L")");
    if (onMciError)
        onMciError(buffer);
    if (winmm)
        return winmm->mciGetErrorStringA(code, buffer, length);
    auto it = mciErrorTexts.find(code);
    if (it == mciErrorTexts.end())
        return 0;
    Fill(buffer, it->second, length);
    return 1;
}

int32_t FakeWinApi::PlaySoundA(const std::wstring* name, Hinst module, uint32_t flags) {
    Log(L"PlaySoundA(" + (name ? *name : std::wstring(L"<null>")) + L"," + N(static_cast<int64_t>(module)) + L"," +
        N(flags) + L")");
    return winmm ? winmm->PlaySoundA(name, module, flags) : playSoundResult;
}

uint32_t FakeWinApi::waveOutGetNumDevs() {
    Log(L"waveOutGetNumDevs()");
    return winmm ? winmm->waveOutGetNumDevs() : waveDevices;
}

uint32_t FakeWinApi::timeBeginPeriod(uint32_t milliseconds) {
    Log(L"timeBeginPeriod(" + std::to_wstring(milliseconds) + L")");
    return 0;
}

uint32_t FakeWinApi::timeEndPeriod(uint32_t milliseconds) {
    Log(L"timeEndPeriod(" + std::to_wstring(milliseconds) + L")");
    return 0;
}

Hwnd FakeWinApi::FindWindowA(const std::wstring* className, const std::wstring* title) {
    Log(L"FindWindowA(" + (className ? *className : std::wstring(L"<null>")) + L"," +
        (title ? *title : std::wstring(L"<null>")) + L")");
    return 0;  // no other copy runs
}

int32_t FakeWinApi::GetWindowRect(Hwnd window, Rect& rect) {
    Log(L"GetWindowRect(" + N(static_cast<int64_t>(window)) + L")");
    auto it = windowRects.find(window);
    if (it == windowRects.end())
        return 0;
    rect = it->second;
    return 1;
}

int32_t FakeWinApi::GetWindowLongA(Hwnd window, int32_t index) {
    Log(L"GetWindowLongA(" + N(static_cast<int64_t>(window)) + L"," + N(index) + L")");
    return 0;
}

int32_t FakeWinApi::SetWindowLongA(Hwnd window, int32_t index, int32_t value) {
    Log(L"SetWindowLongA(" + N(static_cast<int64_t>(window)) + L"," + N(index) + L"," + N(value) + L")");
    return 0;
}

Hwnd FakeWinApi::SetParent(Hwnd child, Hwnd parent) {
    Log(L"SetParent(" + N(static_cast<int64_t>(child)) + L"," + N(static_cast<int64_t>(parent)) + L")");
    return 0;
}

int32_t FakeWinApi::ShowCursor(bool show) {
    cursorCount += show ? 1 : -1;
    Log(std::wstring(L"ShowCursor(") + (show ? L"TRUE" : L"FALSE") + L")");
    return cursorCount;
}

int32_t
FakeWinApi::SetWindowPos(Hwnd window, Hwnd after, int32_t x, int32_t y, int32_t cx, int32_t cy, uint32_t flags) {
    Log(L"SetWindowPos(" + N(static_cast<int64_t>(window)) + L"," + N(static_cast<intptr_t>(after)) + L"," + N(x) +
        L"," + N(y) + L"," + N(cx) + L"," + N(cy) + L"," + N(flags) + L")");
    return 1;
}

int32_t FakeWinApi::GetCursorPos(Point& point) {
    Log(L"GetCursorPos()");
    if (cursorFails)
        return 0;
    point = cursor;
    return 1;
}

Hwnd FakeWinApi::WindowFromPoint(Point point) {
    Log(L"WindowFromPoint(" + N(point.x) + L"," + N(point.y) + L")");
    return windowAtCursor;
}

int32_t FakeWinApi::DrawAnimatedRects(Hwnd window, int32_t animation, const Rect& from, const Rect& to) {
    Log(L"DrawAnimatedRects(" + N(static_cast<int64_t>(window)) + L"," + N(animation) + L"," + N(from.left) + L"," +
        N(from.top) + L"," + N(from.right) + L"," + N(from.bottom) + L"," + N(to.left) + L"," + N(to.top) + L"," +
        N(to.right) + L"," + N(to.bottom) + L")");
    return 1;
}

Hwnd FakeWinApi::GetWindow(Hwnd window, uint32_t command) {
    Log(L"GetWindow(" + N(static_cast<int64_t>(window)) + L"," + N(command) + L")");
    return 0;
}

int32_t FakeWinApi::PostMessageA(Hwnd window, uint32_t message, uintptr_t wParam, intptr_t lParam) {
    Log(L"PostMessageA(" + N(static_cast<int64_t>(window)) + L"," + N(message) + L"," +
        N(static_cast<int64_t>(wParam)) + L"," + N(lParam) + L")");
    return 1;
}

int32_t FakeWinApi::GetOpenFileNameW(const OpenFileRequest& request, std::wstring& path) {
    Log(L"GetOpenFileNameW(" + request.initialDir + L"," + request.title + L")");
    lastOpenFile = request;
    if (openFileResult > 0)
        path = openFilePath;
    return openFileResult;
}

intptr_t FakeWinApi::ShellExecuteA(Hwnd window,
                                   const std::wstring& verb,
                                   const std::wstring& file,
                                   const std::wstring& parameters,
                                   const std::wstring& directory,
                                   int32_t show) {
    if (onShellExecute)
        onShellExecute();
    Log(L"ShellExecuteA(" + N(static_cast<int64_t>(window)) + L"," + verb + L"," + file + L"," + parameters + L"," +
        directory + L"," + N(show) + L")");
    return 33;
}

}  // namespace orbi::test
