#include "platform/os/MessageBox.h"

#include <gtest/gtest.h>

#include <SDL.h>
#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <string>
#include <thread>

namespace
{
struct Captured
{
    int calls = 0;
    HWND owner = nullptr;
    std::string text, caption;
    UINT type = 0;
} s_Captured;

int Capture(HWND owner, const char* text, const char* caption, UINT type)
{
    ++s_Captured.calls;
    s_Captured.owner = owner;
    s_Captured.text = text;
    s_Captured.caption = caption;
    s_Captured.type = type;
    return 7;
}

TEST(MessageBoxTest, HookReceivesTheCallAndGivesTheResult)
{
    s_Captured = Captured();
    SetMessageBoxHook(Capture);
    HWND owner = reinterpret_cast<HWND>(0x1234);
    EXPECT_EQ(MessageBoxA(owner, "Could't save game!", "SaveGame() error!", 48), 7);
    SetMessageBoxHook(nullptr);
    EXPECT_EQ(s_Captured.calls, 1);
    EXPECT_EQ(s_Captured.owner, owner);
    EXPECT_EQ(s_Captured.text, "Could't save game!");
    EXPECT_EQ(s_Captured.caption, "SaveGame() error!");
    EXPECT_EQ(s_Captured.type, 48u);
}

TEST(MessageBoxTest, HeadlessRunNeverBlocks)
{
    // Tests run with SDL_VIDEODRIVER=offscreen: no box, the text on stderr.
    setenv("SDL_VIDEODRIVER", "offscreen", 1);
    testing::internal::CaptureStderr();
    const auto start = std::chrono::steady_clock::now();
    EXPECT_EQ(MessageBoxA(nullptr, "Sound device failed!", "Sound error!", MB_ICONWARNING), IDOK);
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(2));
    const std::string err = testing::internal::GetCapturedStderr();
    EXPECT_NE(err.find("Sound error!"), std::string::npos);
    EXPECT_NE(err.find("Sound device failed!"), std::string::npos);
}

// A box that stays up, as one does until the player closes it.
int s_Ready = -1;
int BoxThatStaysUp(HWND, const char*, const char*, UINT)
{
    const char up = 1;
    if (write(s_Ready, &up, 1) != 1)
        _exit(3);
    for (;;)
        pause();
}

// With SDL's own handlers in place (they turn the signal into a quit that the
// game's loop would see only after the box), a kill signal still ends the
// program while the box is up.
TEST(MessageBoxTest, AKillSignalEndsTheProgramWhileABoxIsUp)
{
    for (int sig : {SIGTERM, SIGINT})
    {
        int fds[2];
        ASSERT_EQ(pipe(fds), 0);
        std::fflush(nullptr);
        const pid_t child = fork();
        ASSERT_GE(child, 0);
        if (child == 0)
        {
            close(fds[0]);
            setenv("SDL_VIDEODRIVER", "offscreen", 1);
            if (SDL_Init(SDL_INIT_VIDEO) != 0)
                _exit(2);
            struct sigaction now = {};
            sigaction(sig, nullptr, &now);
            if (now.sa_handler == SIG_DFL)
                _exit(4);   // SDL put no handler in: the case is not made
            s_Ready = fds[1];
            SetMessageBoxHook(BoxThatStaysUp);
            MessageBoxA(nullptr, "DirectSoundCreate8() failed!", "Sound error!", MB_ICONEXCLAMATION);
            _exit(0);
        }
        close(fds[1]);
        pollfd ready = {fds[0], POLLIN, 0};
        ASSERT_EQ(poll(&ready, 1, 20000), 1) << "the box never came up";
        close(fds[0]);
        ASSERT_EQ(kill(child, sig), 0);
        int status = 0;
        pid_t ended = 0;
        for (int waited = 0; waited < 100 && ended == 0; ++waited)
        {
            ended = waitpid(child, &status, WNOHANG);
            if (ended == 0)
                std::this_thread::sleep_for(std::chrono::milliseconds(50));
        }
        if (ended == 0)
        {
            kill(child, SIGKILL);
            waitpid(child, &status, 0);
            ADD_FAILURE() << "signal " << sig << " did not end the program while the box was up";
            continue;
        }
        ASSERT_TRUE(WIFSIGNALED(status)) << "exited with " << WEXITSTATUS(status);
        EXPECT_EQ(WTERMSIG(status), sig);
    }
}
}   // namespace
