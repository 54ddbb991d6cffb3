#include "tools/kelbo_commands.h"

int main(int argc, char** argv)
{
    return RunKelboCommand(argc, argv);
}
