// Message boxes, debugger output and shell launches, kept in order for tests
// and the simulator.
#include "host/win32/src/RecorderState.h"
#if defined(_WIN32)
#include "host/win32/windows/SystemCapture.h"
#endif

#include <deque>
#include <mutex>
#include <utility>

namespace tvx::win32 {
namespace {

struct RecorderState {
    std::mutex lock;
    std::vector<MessageBoxRecord> messageBoxes;
    std::vector<std::u16string> debugStrings;
    std::vector<ShellLaunchRecord> shellLaunches;
    std::deque<int> answers;
    HWND foreground = nullptr;
    RecorderObserver observer;
};

// Never destroyed: packages may still write debugger output from their own
// static destructors while the process exits.
RecorderState& State()
{
    static RecorderState* state = [] {
        auto* made = new RecorderState();
#if defined(_WIN32)
        // Windows shows the boxes and writes the output; they are read back from it.
        detail::StartSystemCapture();
#endif
        return made;
    }();
    return *state;
}

template <class T>
std::vector<T> Copy(std::vector<T>& records)
{
    std::lock_guard guard(State().lock);
    return records;
}

template <class T>
std::vector<T> Take(std::vector<T>& records)
{
    std::lock_guard guard(State().lock);
    return std::exchange(records, {});
}

RecorderObserver CurrentObserver()
{
    std::lock_guard guard(State().lock);
    return State().observer;
}

} // namespace

std::vector<MessageBoxRecord> MessageBoxes() { return Copy(State().messageBoxes); }
std::vector<MessageBoxRecord> TakeMessageBoxes() { return Take(State().messageBoxes); }
std::vector<std::u16string> DebugStrings() { return Copy(State().debugStrings); }
std::vector<std::u16string> TakeDebugStrings() { return Take(State().debugStrings); }
std::vector<ShellLaunchRecord> ShellLaunches() { return Copy(State().shellLaunches); }
std::vector<ShellLaunchRecord> TakeShellLaunches() { return Take(State().shellLaunches); }

void QueueMessageBoxAnswer(int answer)
{
    std::lock_guard guard(State().lock);
    State().answers.push_back(answer);
}

void SetEmulatedForegroundWindow(HWND window)
{
    std::lock_guard guard(State().lock);
    State().foreground = window;
}

void StartRecording() { State(); }

void SetRecorderObserver(const RecorderObserver& observer)
{
    std::lock_guard guard(State().lock);
    State().observer = observer;
}

void ResetRecorder()
{
    RecorderState& state = State();
    std::lock_guard guard(state.lock);
    state.messageBoxes.clear();
    state.debugStrings.clear();
    state.shellLaunches.clear();
    state.answers.clear();
    state.foreground = nullptr;
}

namespace detail {

int RecordMessageBox(MessageBoxRecord record, int defaultAnswer)
{
    RecorderState& state = State();
    {
        std::lock_guard guard(state.lock);
        record.answer = defaultAnswer;
        if (!state.answers.empty()) {
            record.answer = state.answers.front();
            state.answers.pop_front();
        }
        state.messageBoxes.push_back(record);
    }
    RecorderObserver observer = CurrentObserver();
    if (observer.messageBox)
        observer.messageBox(observer.context, record);
    return record.answer;
}

void RecordDebugString(std::u16string text)
{
    {
        std::lock_guard guard(State().lock);
        State().debugStrings.push_back(text);
    }
    RecorderObserver observer = CurrentObserver();
    if (observer.debugString)
        observer.debugString(observer.context, text);
}

void RecordShellLaunch(ShellLaunchRecord record)
{
    {
        std::lock_guard guard(State().lock);
        State().shellLaunches.push_back(record);
    }
    RecorderObserver observer = CurrentObserver();
    if (observer.shellLaunch)
        observer.shellLaunch(observer.context, record);
}

HWND EmulatedForegroundWindow()
{
    std::lock_guard guard(State().lock);
    return State().foreground;
}

} // namespace detail
} // namespace tvx::win32
