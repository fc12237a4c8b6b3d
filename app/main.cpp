#include "app/startup.h"

int WINAPI WinMain(HINSTANCE instance, HINSTANCE previousInstance, LPSTR, int showCommand)
{
    return MokureMain(instance, previousInstance, showCommand);
}
