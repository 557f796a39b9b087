// Message boxes, the foreground window and the recorder that replaces the screen.
#include "host/win32/Recorder.h"
#include "host/win32/Win32.h"
#include "tests/support/TestSupport.h"

namespace {

using tvx::win32::MessageBoxRecord;

HWND FakeWindow(std::uintptr_t value) { return reinterpret_cast<HWND>(value); }

class UserTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        tvx::win32::ResetRecorder();
        tvx::win32::SetRecorderObserver({});
    }
};

// Catches message boxes not recorded, recorded out of order or with the
// wrong owner, text, caption or flags.
TEST_F(UserTest, MessageBoxesAreRecordedInOrder)
{
    EXPECT_EQ(MessageBoxW(FakeWindow(0x10), u"Package failed", u"Talvix", MB_OK | MB_ICONERROR), IDOK);
    EXPECT_EQ(MessageBoxW(nullptr, nullptr, nullptr, MB_OK), IDOK);
    auto boxes = tvx::win32::TakeMessageBoxes();
    ASSERT_EQ(boxes.size(), 2u);
    EXPECT_EQ(boxes[0].owner, FakeWindow(0x10));
    EXPECT_EQ(boxes[0].text, u"Package failed");
    EXPECT_EQ(boxes[0].caption, u"Talvix");
    EXPECT_EQ(boxes[0].flags, UINT(MB_OK | MB_ICONERROR));
    EXPECT_EQ(boxes[0].answer, IDOK);
    // Windows titles a box without caption "Error".
    EXPECT_EQ(boxes[1].caption, u"Error");
    EXPECT_EQ(boxes[1].text, u"");
    EXPECT_TRUE(tvx::win32::MessageBoxes().empty());
}

// Catches a default answer that is not the box's default button.
TEST_F(UserTest, UnansweredBoxesPressTheDefaultButton)
{
    struct Case {
        UINT type;
        int answer;
    } const cases[] = {
        {MB_OK, IDOK},
        {MB_OKCANCEL | MB_DEFBUTTON2, IDCANCEL},
        {MB_YESNO, IDYES},
        {MB_YESNO | MB_DEFBUTTON2, IDNO},
        {MB_YESNOCANCEL | MB_DEFBUTTON3, IDCANCEL},
        {MB_ABORTRETRYIGNORE | MB_DEFBUTTON3, IDIGNORE},
        {MB_RETRYCANCEL, IDRETRY},
        {MB_CANCELTRYCONTINUE | MB_DEFBUTTON2, IDTRYAGAIN},
        {MB_OK | MB_DEFBUTTON3, IDOK},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << std::hex << c.type);
        EXPECT_EQ(MessageBoxW(nullptr, u"?", u"?", c.type), c.answer);
    }
}

// Catches queued answers ignored, used twice, or used out of order.
TEST_F(UserTest, QueuedAnswersAreUsedOnceInOrder)
{
    tvx::win32::QueueMessageBoxAnswer(IDNO);
    tvx::win32::QueueMessageBoxAnswer(IDCANCEL);
    EXPECT_EQ(MessageBoxW(nullptr, u"1", u"", MB_YESNO), IDNO);
    EXPECT_EQ(MessageBoxW(nullptr, u"2", u"", MB_OKCANCEL), IDCANCEL);
    EXPECT_EQ(MessageBoxW(nullptr, u"3", u"", MB_OKCANCEL), IDOK);
    auto boxes = tvx::win32::MessageBoxes();
    ASSERT_EQ(boxes.size(), 3u);
    EXPECT_EQ(boxes[0].answer, IDNO);
    EXPECT_EQ(boxes[2].answer, IDOK);
}

// Catches an invalid button style shown anyway instead of failing.
TEST_F(UserTest, InvalidStyleFailsWithoutABox)
{
    SetLastError(0);
    EXPECT_EQ(MessageBoxW(nullptr, u"x", u"x", 0x7), 0);
    EXPECT_EQ(GetLastError(), DWORD(ERROR_INVALID_MSGBOX_STYLE));
    EXPECT_TRUE(tvx::win32::MessageBoxes().empty());
}

struct SeenBoxes {
    std::vector<MessageBoxRecord> boxes;
    std::size_t recordedWhenCalled = 0;
};

// Catches an observer not called, called before the box is recorded, or
// deadlocking when it reads the recorder.
TEST_F(UserTest, ObserverSeesEachBoxAsItIsShown)
{
    SeenBoxes seen;
    tvx::win32::RecorderObserver observer;
    observer.context = &seen;
    observer.messageBox = [](void* context, const MessageBoxRecord& record) {
        auto* s = static_cast<SeenBoxes*>(context);
        s->boxes.push_back(record);
        s->recordedWhenCalled = tvx::win32::MessageBoxes().size();
    };
    tvx::win32::SetRecorderObserver(observer);
    tvx::win32::QueueMessageBoxAnswer(IDNO);
    MessageBoxW(nullptr, u"Retry?", u"Talvix", MB_YESNO);
    ASSERT_EQ(seen.boxes.size(), 1u);
    EXPECT_EQ(seen.boxes[0].text, u"Retry?");
    EXPECT_EQ(seen.boxes[0].answer, IDNO);
    EXPECT_EQ(seen.recordedWhenCalled, 1u);

    tvx::win32::SetRecorderObserver({});
    MessageBoxW(nullptr, u"unseen", u"", MB_OK);
    EXPECT_EQ(seen.boxes.size(), 1u);
}

// Catches a foreground window that cannot be set or survives a reset.
TEST_F(UserTest, ForegroundWindowIsTheEmulatedOne)
{
    EXPECT_EQ(GetForegroundWindow(), nullptr);
    tvx::win32::SetEmulatedForegroundWindow(FakeWindow(0x20));
    EXPECT_EQ(GetForegroundWindow(), FakeWindow(0x20));
    tvx::win32::QueueMessageBoxAnswer(IDCANCEL);
    OutputDebugStringW(u"line");
    tvx::win32::ResetRecorder();
    EXPECT_EQ(GetForegroundWindow(), nullptr);
    EXPECT_TRUE(tvx::win32::DebugStrings().empty());
    EXPECT_EQ(MessageBoxW(nullptr, u"x", u"x", MB_OKCANCEL), IDOK);
}

} // namespace
