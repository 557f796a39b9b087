// What the emulated system showed or started instead of doing it: message
// boxes, debugger output and shell launches, in the order they happened. Tests
// and the simulator read them here and decide how the "user" answers.
#pragma once

#include "host/win32/WinTypes.h"

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace tvx::win32 {

struct MessageBoxRecord {
    HWND owner = nullptr;
    std::u16string text;
    // As shown: Windows titles a box without caption "Error".
    std::u16string caption;
    UINT flags = 0;
    // The button MessageBoxW reported as pressed.
    int answer = 0;
};

struct ShellLaunchRecord {
    HWND owner = nullptr;
    // Null arguments stay distinguishable from empty ones: a null operation
    // means the default verb.
    std::optional<std::u16string> operation;
    std::u16string file;
    std::optional<std::u16string> parameters;
    std::optional<std::u16string> directory;
    INT showCommand = 0;
};

// Called as things happen, on the calling thread, outside the recorder's lock;
// any callback may be null.
struct RecorderObserver {
    void* context = nullptr;
    void (*messageBox)(void* context, const MessageBoxRecord& record) = nullptr;
    void (*debugString)(void* context, std::u16string_view text) = nullptr;
    void (*shellLaunch)(void* context, const ShellLaunchRecord& record) = nullptr;
};

TVX_VISIBLE std::vector<MessageBoxRecord> MessageBoxes();
TVX_VISIBLE std::vector<MessageBoxRecord> TakeMessageBoxes();
TVX_VISIBLE std::vector<std::u16string> DebugStrings();
TVX_VISIBLE std::vector<std::u16string> TakeDebugStrings();
TVX_VISIBLE std::vector<ShellLaunchRecord> ShellLaunches();
TVX_VISIBLE std::vector<ShellLaunchRecord> TakeShellLaunches();

// Answers are used one per message box, first queued first; with none queued
// a box answers with its default button.
TVX_VISIBLE void QueueMessageBoxAnswer(int answer);
TVX_VISIBLE void SetEmulatedForegroundWindow(HWND window);

// Replaces the observer; pass {} to remove it.
TVX_VISIBLE void SetRecorderObserver(const RecorderObserver& observer);

// Makes the recorder hear the system from now on. The stand-in records by
// itself; on Windows the boxes and output are read back from the system, for
// boxes only on the calling thread, which must be the one that shows them.
TVX_VISIBLE void StartRecording();

// Forgets every record, queued answer and the foreground window; the observer stays.
TVX_VISIBLE void ResetRecorder();

} // namespace tvx::win32
