#include "app/WinMain.h"
#include "platform/os/Window.h"

int main()
{
    return WinMain(nullptr, nullptr, nullptr, SW_SHOWNORMAL);
}
